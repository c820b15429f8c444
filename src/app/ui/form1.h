#pragma once
// The main window: five tabs with every registration field, the review pages, the look-up tabs and
// the main menu. The controls are built by the app subsystem; the other subsystems attach their
// behaviour to them (see attach.h): the registration pages' controls through the record pages
// the window hands them (recordpage.h), any other control by its name.
#include "app/ui/recordpage.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <vector>

class QTabWidget;
struct Record;
class TmsMessage;
class TmsSMTP;
class TlcIPPort;
class TpvlUrl;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // A control of this window by its name; null when there is none of that type.
    template <class T> T* Control(const QString& name) const { return findChild<T*>(name); }

    // The registration pages, one per kind, as the window hands them to the subsystems.
    const TRecordPages& RecordPages() const { return recordPages_; }

    // Paths held by the window.
    QString SettingsFile;
    QString DomainFormFile, DomainRecordFile;
    QString HostFormFile, HostRecordFile;
    QString ContactFormFile, ContactRecordFile;

    // Non-visual components, created by the subsystems that own them.
    TmsMessage* msMessage1 = nullptr;
    TmsSMTP* msSMTP1 = nullptr;
    TlcIPPort* IPPort1 = nullptr;
    TlcIPPort* IPPort2 = nullptr;
    TpvlUrl* gourl = nullptr;

    // The form viewer window (templates subsystem): AttachTemplates may set the factory; start-up
    // then creates the viewer right after the main window and keeps it for the program's life.
    std::function<QWidget*()> CreateFormView;
    QWidget* FormView = nullptr;

    // The Setup dialog's "Security..." button, given the dialog's "SMTP Server" text as it stands
    // (the mail subsystem sets it).
    std::function<void(const QString& server)> MailSecurityCommand;

    // Asked by a mail button before its confirmation box (the name-server check sets it); false
    // stops the send.
    std::function<bool(const Record& record)> BeforeMailConfirmation;

    // Steps the subsystems add to the window's life cycle, run in the order added.
    std::vector<std::function<void()>> CreateSteps;   // end of FormCreate
    std::vector<std::function<void()>> ActivateSteps; // FormActivate
    std::vector<std::function<void()>> CloseSteps;    // FormClose; the first failure ends them

    // The bar above the pages that points a first start to Setup (the store shows it while no
    // mail server is set); the window grows by its height.
    void ShowSetupBar(bool show);

    void FormCreate();
    void FormActivate();
    // Runs the close steps; false (with the error box shown) when one failed.
    bool FormClose();

    // Menu commands of the shell.
    void Exit1Click();
    void Help2Click();
    void About1Click();

signals:
    // The window has closed (its close steps all succeeded).
    void Closed();

protected:
    void FitToClient();
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* setupBar_ = nullptr; // the first-start bar above the pages
    TRecordPages recordPages_;
};
