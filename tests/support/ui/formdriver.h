#pragma once
// Drives the real main window the way a user does: mouse clicks on buttons, radios and tabs,
// keystrokes into edits and combo boxes, picks from a combo box's open list. The window is built
// in a fresh working folder with scripted message boxes.
#include "app/ui/form1.h"
#include "platform/messageboxes.h"
#include "support/programsettings.h"
#include "support/tempdir.h"

#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

struct SetupSettings;
class QAbstractButton;
class QComboBox;
class QMainWindow;
class QWidget;

// Types `text` into the focused `target` key by key; characters outside ASCII come with their text.
void TypeText(QWidget* target, const QString& text);
// Clicks a check box or radio button on its indicator, which reacts however wide the button is.
void ClickIndicator(QAbstractButton& button);
// Brings the sheets holding `w` to the front by clicking their tabs, outermost first.
void ShowSheetOf(QWidget& w);
// Opens the box's list and clicks the item with that text, as the user picks it. The box's window
// must be on screen; its sheet is brought to the front first.
void PickFromList(QComboBox& box, const QString& item);
// Opens a menu of the window's menu bar by a click on its title and clicks one of its items (both
// by object name).
void ChooseMenuItem(QMainWindow& window, const QString& menu, const QString& item);

// Changes the window's settings as Setup does: through the record store, their one owner, which
// the mail client follows.
void ChangeSettings(TForm1& form, const std::function<void(SetupSettings&)>& change);
// Mails from Jane to the test registry's mailbox through `server`.
void UseTestMailbox(TForm1& form, const QString& server,
                    const QString& mailTo = "hostmaster@registry.test",
                    const QString& senderName = "Jane Sender");

class FormDriver {
public:
    // The window works in a fresh folder of its own, or in the current folder (prepared by the
    // test, for lists and records the window loads as it starts).
    enum Folder { FreshFolder, InCurrentFolder };
    explicit FormDriver(Folder folder = FreshFolder);
    ~FormDriver();

    TForm1& form() { return *form_; }
    ScriptedBoxes& boxes() { return *boxes_; }
    QWidget& Widget(const QString& name);

    // Brings the sheet holding `name` to the front (by clicking its tabs) and clicks it.
    void Click(const QString& name);
    // Clicks a tab of a page control by its caption.
    void ClickTab(const QString& pageControl, const QString& caption);
    // Types `text` into an edit or into a combo box's edit part.
    void Type(const QString& name, const QString& text);
    // Opens a combo box's list and clicks the item with that text.
    void Pick(const QString& name, const QString& item);
    // Puts the focus into a control with a mouse click, as the user does.
    void ClickInto(const QString& name);
    // Sends one key to the control that has the focus.
    void PressKey(Qt::Key key);
    // Opens a menu of the menu bar by a click on its title and clicks one of its items (both by
    // object name).
    void ChooseMenuItem(const QString& menu, const QString& item);

    QString Text(const QString& name);
    QString Caption(const QString& label);
    bool IsOpen(const QString& name);
    bool IsChecked(const QString& radio);

private:
    ProgramSettings settings_; // the window's settings file: the test's, or none
    std::optional<ScopedWorkDir> dir_;
    std::shared_ptr<ScriptedBoxes> boxes_;
    std::unique_ptr<TForm1> form_;
};

// A settings file beside the program for one test (see ProgramSettings).
class SettingsFileForTest : public ProgramSettings {
public:
    explicit SettingsFileForTest(const QByteArray& content) : ProgramSettings(content) {}
};

// Runs `act` on the next modal dialog of type `Dialog` once it is on screen (polling every 20 ms
// for at most `timeoutMs`), while the code that opened it waits in the dialog's own loop.
class WhenModal {
public:
    template <class Dialog>
    static void Next(std::function<void(Dialog&)> act, int timeoutMs = 15000) {
        Schedule([](QWidget* w) { return qobject_cast<Dialog*>(w) != nullptr; },
                 [act](QWidget* w) { act(*qobject_cast<Dialog*>(w)); }, timeoutMs);
    }

private:
    static void Schedule(std::function<bool(QWidget*)> matches, std::function<void(QWidget*)> act,
                         int timeoutMs);
};
