// The Qt window layer's part of the start: the application's names and
// icon, and the main window shown.
#pragma once

#include "start.hpp"

class QWidget;

namespace kvix {

// Gives the running application the names of `info`, and its windows' icon.
// Both need the QApplication to exist.
void apply_app_names(const AppInfo& info);
void apply_app_icon(const AppInfo& info);

// Shows the program's window, and gives the application its icon once the
// window has painted its first frame: reading the icon's images is the
// slowest part of the start that the window's first frame does not need,
// so the window appears that much sooner.  `info` must outlive the window.
void show_main_window(QWidget& window, const AppInfo& info);

} // namespace kvix
