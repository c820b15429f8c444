#pragma once
// What the Sent Registrations windows share: their help page, and staying inside the screen.
class QWidget;

// The help page of Sent Registrations and of the kept message.
inline constexpr int SentWindowHelpTopic = 1050;

// Keeps a window about to show inside the free area of its screen: no larger than that area
// (less the frame the desktop adds, as far as it is known) and moved into it. The size and place
// the user last gave the window stay as they were where they fit.
void FitToScreen(QWidget& window);
