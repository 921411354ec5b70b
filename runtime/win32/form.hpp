// A window built from its declaration with the Win32 API: a dialog made
// from an in-memory template, so that the dialog manager gives it the tab
// order, the access keys and the focus kept across a message box; the
// controls placed in pixels at the window's DPI.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "form_base.hpp"
#include "form_decl.hpp"

namespace kvix {

class Win32Form final : public FormBase {
public:
    Win32Form(const FormDecl& decl, std::span<const ClickBinding> bindings, HINSTANCE instance);
    ~Win32Form();

    void show();

    // Handles a message of the thread's queue as the message loop does: the
    // dialog manager takes the keys of the window (Tab, the access keys,
    // Enter and Escape), the rest is translated and dispatched.
    void handle(MSG& msg);

private:
    struct Control {
        const ControlDecl* decl;
        HWND hwnd;
    };

    static INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    static LRESULT CALLBACK keys_typed_before(int code, WPARAM wparam, LPARAM lparam) noexcept;
    static LRESULT CALLBACK note_report_shown(int code, WPARAM wparam, LPARAM lparam) noexcept;
    bool on_command(WORD id, WORD notification);
    // Places the controls, fits the font and sizes the window at `dpi`.
    void lay_out(int dpi);

    // Handles the queued messages of `kinds` (PeekMessage's PM_QS_ flags, 0
    // for all) as the message loop does; false once WM_QUIT came, which is
    // posted again for the message loop.
    bool handle_queued(UINT kinds);

    void take_typed_ahead() override;
    bool wait_while_open(int ms) override;
    void show_message_box(const ErrorMessage& message) override;
    void focus_and_select(FormTextBox& box) override;

    std::wstring title_;
    HWND dialog_ = nullptr;
    std::vector<Control> controls_;
    HFONT font_ = nullptr;
    // While a report is on screen: when its message box was shown (in the
    // time of MSG::time; 0 until then), and whether a key is being handled
    // for the window from inside the message box's loop.
    DWORD report_shown_ = 0;
    bool handling_for_window_ = false;
    HWND focus_before_report_ = nullptr; // where the window's keys go meanwhile
};

} // namespace kvix
