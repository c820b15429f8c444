#pragma once
// Help topics of the controls: F1 opens the topic of the focused control, or of its nearest
// enclosing control that has one; a control without either opens nothing.
#include <QString>

class QWidget;

// The topic the main window gives a control of that name; 0 for none.
int MainWindowHelpTopic(const QString& controlName);
// Gives every control below `root` that has a topic in the main window's table its topic.
void AssignMainWindowHelpTopics(QWidget* root);

// The topics of the controls added beside the described ones.
inline constexpr int MailSecurityHelpTopic = 1032;
inline constexpr int KeyringHelpTopic = 1033;
inline constexpr int SigningHelpTopic = 1034;
inline constexpr int CryptHelpTopic = 1035;
inline constexpr int ClearUndoHelpTopic = 1036;
inline constexpr int BeforeMailingHelpTopic = 1037;
inline constexpr int RdapHelpTopic = 1040;
inline constexpr int FollowReferralsHelpTopic = 1041;
inline constexpr int WhoisLookupHelpTopic = 1042;
inline constexpr int NameServerCheckHelpTopic = 1043;

void SetHelpTopic(QWidget* control, int topic);
// The topic of `control` or of its nearest enclosing control with one; 0 for none.
int HelpTopicFor(const QWidget* control);
