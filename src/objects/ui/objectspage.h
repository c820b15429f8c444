#pragma once
// The "Database Objects" page of the main window: a registry's database object filled in, checked
// as the registry's software checks it, fetched from its WHOIS server, kept as a record and
// mailed to its robot (objects/ui/objectsending.h). The rules, the check, the message and the
// records are the objects subsystem's; this page only shows them.
#include "objects/checkline.h"
#include "objects/objectmessage.h"
#include "objects/registry.h"
#include "objects/ruletable.h"
#include "platform/tasks.h"

#include <QHash>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSplitter;
class QToolButton;
class TAttributeTable;
class TForm1;
class TStatusLine;
class TStore;

inline constexpr int ObjectsPageHelpTopic = 1060;
inline constexpr int ObjectEditorHelpTopic = 1061;

class TObjectsPage : public QWidget {
    Q_OBJECT
public:
    // The store owns the settings: Setup's OpenPGP key is read there.
    TObjectsPage(TForm1& form, const TStore& store, QWidget* parent);
    // A fetch still running is stopped: its worker ends at once instead of waiting for the server.
    ~TObjectsPage() override;

    QComboBox* RegistryBox;
    QComboBox* ClassBox;
    QRadioButton* CreateRadio;
    QRadioButton* ModifyRadio;
    QRadioButton* DeleteRadio;
    QWidget* OtherRegistryRow;
    QLineEdit* RobotEdit;
    QLineEdit* SourceEdit;
    QLineEdit* WhoisEdit;
    QComboBox* KeyBox;
    QPushButton* FetchButton;
    QPushButton* SaveButton;
    QPushButton* MakeButton;
    QPushButton* ImportKeyButton;
    TAttributeTable* Attributes;
    QComboBox* AddAttributeBox;
    QToolButton* AddButton;
    QToolButton* RemoveButton;
    QToolButton* UpButton;
    QToolButton* DownButton;
    QPlainTextEdit* ObjectText;
    QListWidget* CheckList;
    QListWidget* MessageList;
    QPushButton* AddToMessageButton;
    QPushButton* ShowMessageButton;
    QPushButton* MailButton;
    QProgressBar* Progress;
    TStatusLine* Status;

    // The settings file's "Objects" section: read when the window is made, the registry written
    // back when the window closes (only when the user chose another one).
    void ReadSettings(const QString& settingsFile);
    void WriteSettings(const QString& settingsFile);

    // What the page holds now.
    const Registry& CurrentRegistry() const { return registry_; }
    const RuleTable* Rules() const { return rules_.get(); }
    RpslObject CurrentObject() const;
    ObjectAction CurrentAction() const;
    // The objects collected by Add to Message, in order.
    const std::vector<MessageObject>& Message() const { return message_; }
    // The objects the next Mail sends: the collected ones, else the one in the editor (a
    // deletion's reason asked for); empty when the user gave none.
    std::vector<MessageObject> ObjectsToMail();
    // After a message was accepted: the message emptied, the name list read afresh.
    void MessageSent();
    // Shows `lines` under the object text (with a heading line when `title` is given).
    void ShowCheckLines(const ObjectCheckLines& lines, const QString& title = QString(),
                        bool append = false);
    void SetStatus(const QString& text);
    const TStore& Store() const { return store_; }
    // While a message goes out: Mail, Add to Message and the message's list disabled.
    void SetMessageLocked(bool locked);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Wire();
    void ChooseRegistry(int index);
    void ChooseClass(const QString& className);
    void Refresh();
    void KeyEdited(const QString& key);
    void LoadNameList();
    void FetchClick();
    void FetchDone(Result<RpslObject> fetched);
    void SaveClick();
    void MakeClick();
    void ImportKeyClick();
    void AddToMessageClick();
    void ShowMessageClick();
    void ShowObject(const RpslObject& object);
    // Removes the message's object at `row` from it; nothing for no such row.
    std::optional<MessageObject> TakeOut(int row);
    void TakeBack(int row);
    std::optional<QString> AskDeleteReason();
    // The editor's object with its action, a deletion's reason asked for; nothing when the user
    // gave none.
    std::optional<MessageObject> EditorObject();
    std::optional<bool> KeyHeld(const QString& keyId);

    TForm1& form_;
    const TStore& store_;
    std::vector<Registry> registries_;
    Registry registry_;
    std::shared_ptr<const RuleTable> rules_;
    QString className_;
    QString readRegistry_; // the registry the settings named
    std::vector<MessageObject> message_;
    std::optional<CancelToken> fetching_;
    QHash<QString, std::optional<bool>> keysHeld_;
    bool refreshing_ = false;
    QSplitter* shownColumn_ = nullptr; // the object's text, the check's lines, the message
    bool sized_ = false;
};
