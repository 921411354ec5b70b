// The program's start entry: builds the declared window, shows it and runs
// the event loop until the window is closed.
#pragma once

#include <span>
#include <string_view>

#include "form_decl.hpp"

class QWidget;

namespace kvix {

// What the desktop knows a program by.  None of it changes what the program
// does; it names the program to the window system, the session and the
// accessibility tools, and gives its windows their icon.
struct AppInfo {
    std::string_view name;            // the executable's name, e.g. for the session manager
    std::string_view display_name;    // the name shown to the user
    std::string_view version;         // as shown to the user
    std::string_view organization;
    std::string_view organization_domain;
    std::string_view desktop_file;    // the desktop entry's id, without ".desktop"
    std::span<const std::string_view> icon_images; // files or ":/" resources, one per size
};

// Gives the running application `info`: its names, and its windows' icon.
// Needs the QApplication to exist.
void apply_app_info(const AppInfo& info);
void apply_app_names(const AppInfo& info);
void apply_app_icon(const AppInfo& info);

// Shows the program's window, and gives the application its icon once the
// window has painted its first frame: reading the icon's images is the
// slowest part of the start that the window's first frame does not need,
// so the window appears that much sooner.  `info` must outlive the window.
void show_main_window(QWidget& window, const AppInfo& info);

// Builds the window from `decl`, shows it and runs the event loop until it
// is closed.  Of the command line only the program's name is used: the
// program takes no arguments, and hands none to the toolkit.
int run_program(int argc, char** argv, const AppInfo& info, const FormDecl& decl,
                std::span<const ClickBinding> bindings);

} // namespace kvix
