#include "app/ui/form1.h"

#include "app/ui/aboutbox.h"
#include "app/ui/attach.h"
#include "app/ui/distinctnames.h"
#include "app/ui/enterkey.h"
#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "app/ui/mainmenu.h"
#include "app/ui/pages.h"
#include "app/ui/setupbar.h"
#include "app/ui/windowaccessible.h"
#include "app/ui/windowfont.h"
#include "platform/guard.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int kClientWidth = 538;
constexpr int kClientHeight = 384;
} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    InstallWindowAccessibility();
    setWindowTitle("Regiscribe 1.71");
    // Fixed single border with the system menu and minimise button only.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(WindowFont());
    const MainMenuCommands menu = BuildMainMenu(*this);
    connect(menu.exit, &QAction::triggered, this, [this] { Guarded([this] { Exit1Click(); }); });
    connect(menu.contents, &QAction::triggered, this,
            [this] { Guarded([this] { Help2Click(); }); });
    connect(menu.about, &QAction::triggered, this, [this] { Guarded([this] { About1Click(); }); });
    auto* pages = new QTabWidget(this);
    pages->setObjectName("PageControl1");
    // The five pages; the look-up subsystem builds the WhoIs and Finger controls on theirs.
    const char* sheets[][2] = {{"DomainRegSheet", "Domain Reg"},
                               {"HostRegSheet", "Host Reg"},
                               {"ContactRegSheet", "Contact Reg"},
                               {"WhoIsSheet", "WhoIs"},
                               {"FingerSheet", "Finger"}};
    for (auto& sheet : sheets) {
        auto* page = new QWidget(pages);
        page->setObjectName(sheet[0]);
        pages->addTab(page, sheet[1]);
    }
    auto addPage = [this](TRecordPage page, QString& formFile, QString& recordFile) {
        page.formFile = &formFile;
        page.recordFile = &recordFile;
        recordPages_.Add(page);
    };
    addPage(BuildDomainPage(pages->widget(0)), DomainFormFile, DomainRecordFile);
    addPage(BuildHostPage(pages->widget(1)), HostFormFile, HostRecordFile);
    addPage(BuildContactPage(pages->widget(2)), ContactFormFile, ContactRecordFile);
    pages->setFixedSize(kClientWidth, kClientHeight);
    // The pages below the first-start bar, which shows only while no mail server is set.
    auto* client = new QWidget(this);
    client->setObjectName("Client");
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setupBar_ = MakeSetupBar(client, menu.setup);
    column->addWidget(setupBar_);
    column->addWidget(pages);
    setCentralWidget(client);
    FitToClient();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    EnterPressesFocusedButton();
    AssignMainWindowHelpTopics(this);
    InstallHelpKey(this);
    TTemplates& templates = AttachTemplates(*this, recordPages_);
    AttachEditing(*this, recordPages_);
    TStore& store = AttachStore(*this, recordPages_, templates);
    TMailSubmission& mail = AttachMail(*this, recordPages_, store);
    AttachLookups(*this);
    AttachDecor(*this);
    AttachNameServerCheck(*this);
    AttachReplies(*this, store, mail);
    AttachObjects(*this, store, mail);
    MakeNamesDistinct(this);
    FormCreate();
}

TForm1::~TForm1() {
    // The behaviours (the window's children that are no widgets) receive the controls' signals.
    // Their connections are cut while the window is still whole: a control that signals while
    // the widgets are destroyed (a tab page leaving its tab widget changes the current tab) then
    // reaches no handler that would call into this half-destroyed window.
    QObjectList behaviours;
    for (QObject* child : children())
        if (!child->isWidgetType()) behaviours << child;
    for (QWidget* control : findChildren<QWidget*>())
        for (QObject* behaviour : behaviours)
            QObject::disconnect(control, nullptr, behaviour, nullptr);
}

void TForm1::ShowSetupBar(bool show) {
    if (!setupBar_ || setupBar_->isVisibleTo(this) == show) return;
    setupBar_->setVisible(show);
    FitToClient();
}

void TForm1::FitToClient() {
    const int barHeight =
        setupBar_ && setupBar_->isVisibleTo(this) ? setupBar_->sizeHint().height() : 0;
    setFixedSize(kClientWidth, kClientHeight + barHeight + menuBar()->sizeHint().height());
}

void TForm1::FormCreate() {
    for (auto& step : CreateSteps)
        Guarded(step);
}

void TForm1::FormActivate() {
    for (auto& step : ActivateSteps)
        Guarded(step);
}

bool TForm1::FormClose() {
    for (auto& step : CloseSteps)
        if (!Guarded(step)) return false;
    return true;
}

void TForm1::Exit1Click() {
    // The same path as the close box, so the close steps run.
    close();
}

void TForm1::Help2Click() {
    ShowHelpContents();
}

void TForm1::About1Click() {
    TAboutBox box(this);
    box.SetSettingsFile(SettingsFile);
    box.exec();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A settings file that cannot be written has shown its error box by now; the window closes
    // all the same, or the program could not be quit at all.
    FormClose();
    event->accept();
    emit Closed();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    QMainWindow::changeEvent(event);
}
