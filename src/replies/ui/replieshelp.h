#pragma once
// The help topics of the replies' controls (pages of the program's help).
inline constexpr int SentRegistrationsHelpTopic = 1050;
inline constexpr int RepliesHelpTopic = 1051;
