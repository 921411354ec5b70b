// The Win32 window layer's start: the common controls, the window, and the
// message loop, in which the dialog manager takes the keys of the window
// (Tab, the access keys, Enter and Escape).
#include "start.hpp"

#include <windows.h>

#include <commctrl.h>

#include "form.hpp"

namespace kvix {

int run_program(int, char**, const AppInfo&, const FormDecl& decl,
                std::span<const ClickBinding> bindings) {
    // The command line is not read.  The version record and the icon are
    // the executable's resources.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    Win32Form form(decl, bindings, GetModuleHandleW(nullptr));
    form.show();
    MSG msg{};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0)
        form.handle(msg);
    return got < 0 ? 1 : static_cast<int>(msg.wParam);
}

} // namespace kvix
