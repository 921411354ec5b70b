// The program's start entry: builds the declared window, shows it and runs
// the event loop until the window is closed.  Each window layer (runtime/qt,
// runtime/win32) defines run_program; the program's main is the same for both.
#pragma once

#include <span>
#include <string_view>

#include "form_decl.hpp"

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
    // Qt resources, one per size; the Windows program takes its icon from
    // the executable's own resources instead.
    std::span<const std::string_view> icon_images;
};

// Builds the window from `decl`, shows it and runs the event loop until it
// is closed.  Of the command line only the program's name is used, by the
// Qt layer, to name the application: the program takes no arguments, and
// hands none to the toolkit.  The Win32 layer reads none of it.
int run_program(int argc, char** argv, const AppInfo& info, const FormDecl& decl,
                std::span<const ClickBinding> bindings);

} // namespace kvix
