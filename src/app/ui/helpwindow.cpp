#include "app/ui/helpwindow.h"

#include "app/ui/helptopics.h"
#include "app/ui/windowaccessible.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

// The help pages live in a static library, so their resource is registered by hand.
static void RegisterHelpPages() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)registered;
}

namespace {
QString& HelpFolder() {
    static QString folder = ":/help";
    return folder;
}

QPointer<THelpWindow>& TheWindow() {
    static QPointer<THelpWindow> window;
    return window;
}

QUrl PageUrl(const QString& file) {
    QUrl url;
    url.setScheme("qrc");
    url.setPath(HelpFolder().mid(1) + "/" + file);
    return url;
}

QString ResourcePath(const QUrl& url) {
    RegisterHelpPages();
    return ":" + url.path();
}

THelpWindow& OpenWindow() {
    RegisterHelpPages();
    if (!TheWindow()) {
        TheWindow() = new THelpWindow;
        TheWindow()->setAttribute(Qt::WA_DeleteOnClose);
    }
    // A modal dialog blocks every window but its own: Help asked for from one opens as that
    // dialog's window, above it and usable; asked for elsewhere it is a window of its own again.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == TheWindow()) modal = nullptr;
    if (TheWindow()->parentWidget() != modal) {
        const QSize size = TheWindow()->size();
        TheWindow()->setParent(modal, Qt::Window);
        TheWindow()->resize(size);
        if (modal) TheWindow()->move(modal->frameGeometry().center() - QPoint(size.width() / 2, 0));
    }
    return *TheWindow();
}
} // namespace

namespace {
// Tab selects the next link and Enter follows it. The text view does not tell a screen reader
// which link the keyboard is on (and signals nothing): its description names it, and changes with
// it.
class THelpText : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

protected:
    bool focusNextPrevChild(bool next) override {
        const bool moved = QTextBrowser::focusNextPrevChild(next);
        const QTextCursor at = textCursor();
        const bool link = at.hasSelection() && at.charFormat().isAnchor();
        setAccessibleDescription(link ? "Link: " + at.selectedText() : QString());
        return moved;
    }
};
} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpWindow");
    InstallWindowAccessibility();
    setWindowTitle("Regiscribe Help");
    setAccessibleName("Regiscribe Help");
    resize(520, 420);
    browser_ = new THelpText(this);
    browser_->setObjectName("HelpText");
    browser_->setOpenLinks(true);
    browser_->setAccessibleName("Help text");
    ReadHelpLinksFrom(this, browser_);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        browser_->setAccessibleDescription(QString());
        TellHelpLinksChanged(this);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    // Escape closes it, as it closes the program's other windows.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void THelpWindow::Show(const QUrl& page) {
    browser_->setSource(page);
    show();
    raise();
    activateWindow();
}

QUrl THelpWindow::Page() const {
    return browser_->source();
}

void SetHelpFile(const QString& folder) {
    HelpFolder() = folder;
}

QString HelpFile() {
    return HelpFolder();
}

QUrl HelpContentsUrl() {
    return PageUrl("contents.html");
}

QUrl HelpTopicUrl(int topic) {
    return PageUrl(QString("topic%1.html").arg(topic));
}

void ShowHelpContents() {
    OpenWindow().Show(HelpContentsUrl());
}

bool ShowHelpTopic(int topic) {
    const QUrl page = HelpTopicUrl(topic);
    if (topic <= 0 || !QFile::exists(ResourcePath(page))) return false;
    OpenWindow().Show(page);
    return true;
}

THelpWindow* HelpWindow() {
    return TheWindow();
}

void ShowHelpFor(const QWidget* control) {
    if (int topic = HelpTopicFor(control)) ShowHelpTopic(topic);
}

void InstallHelpKey(QWidget* window) {
    auto* help = new QAction(window);
    help->setObjectName("HelpKey");
    help->setShortcut(Qt::Key_F1);
    help->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(help, &QAction::triggered, window, [window] {
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus->window() == window) ShowHelpFor(focus);
    });
    window->addAction(help);
}
