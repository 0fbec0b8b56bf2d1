// "tagdesk --check-link": the window presses "Connect" with its default
// choices, writes the message log to standard output and gives the exit
// status, with no one at the screen. How a packaging check proves that an
// installed program reaches an installed reader (QT_QPA_PLATFORM=offscreen).
#pragma once

class QTextStream;
class QWidget;

// The option's name, without its dashes.
inline constexpr const char* kCheckLinkOption = "check-link";

// Presses "Connect" in window and writes the message log to out: 0 when the
// link opened, 1 otherwise.
int checkLink(QWidget& window, QTextStream& out);
