#pragma once
// How the program is installed: the desktop entry that names its windows, and whether the running
// copy is an installed one.
#include <QString>

// The desktop entry's id, also the mark of an installed copy.
inline constexpr const char* DesktopEntryId = "org.regiscribe.Regiscribe";
// Whether the program runs as installed: it lies in a "bin" folder whose prefix holds its desktop
// entry (share/applications/<id>.desktop).
bool IsInstalledProgram(const QString& programPath);
