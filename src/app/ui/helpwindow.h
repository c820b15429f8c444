#pragma once
// The help viewer: the application's help file is a set of pages compiled into the program, one
// per topic number plus a contents page, shown in one help window that is reused.
#include <QUrl>
#include <QWidget>

class QTextBrowser;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    void Show(const QUrl& page);
    QUrl Page() const;

private:
    QTextBrowser* browser_;
};

// The application's help file: the folder of its pages.
void SetHelpFile(const QString& folder);
QString HelpFile();
QUrl HelpContentsUrl();
QUrl HelpTopicUrl(int topic);

void ShowHelpContents();
// Opens the help window at `topic`; false (and nothing opens) when the help file has no such
// topic.
bool ShowHelpTopic(int topic);
// The help window once it has been opened, else null.
THelpWindow* HelpWindow();

// F1 in `window` opens the topic of the focused control (or of its nearest enclosing control
// with one); nothing opens when there is none.
void InstallHelpKey(QWidget* window);
// What F1 does, for the control given.
void ShowHelpFor(const QWidget* control);
