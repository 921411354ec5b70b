// A window built from its declaration with the Win32 API: a dialog made
// from an in-memory template, so that the dialog manager gives it the tab
// order, the access keys and the focus kept across a message box; the
// controls placed in pixels at the window's DPI.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "click_order.hpp"
#include "form_decl.hpp"

namespace kvix {

class RuntimeError;
class Win32TextBox;

class Win32Form final : public FormBoxes {
public:
    Win32Form(const FormDecl& decl, std::span<const ClickBinding> bindings, HINSTANCE instance);
    ~Win32Form();
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    HWND hwnd() const { return dialog_; }
    void show();

    TextBox& text_box(std::string_view name) override;

    // Runs a click handler; the one place where run-time errors are taken.
    // A click that comes while an error is being reported runs after that
    // report is dismissed.
    void dispatch_click(ClickHandler handler);

    void note_read(HWND edit, TextBox& text_box) {
        last_read_ = edit;
        last_read_text_ = &text_box;
    }

private:
    struct Control {
        const ControlDecl* decl;
        HWND hwnd;
        ClickHandler handler; // buttons with a binding
    };

    static INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    static LRESULT CALLBACK defer_keys(int code, WPARAM wparam, LPARAM lparam) noexcept;
    bool on_command(WORD id, WORD notification);
    void run_click(ClickHandler handler);
    void report(const RuntimeError& error);
    // Places the controls, fits the font and sizes the window at `dpi`.
    void lay_out(int dpi);

    const FormDecl& decl_;
    std::wstring title_;
    HWND dialog_ = nullptr;
    std::vector<Control> controls_;
    std::vector<std::unique_ptr<Win32TextBox>> boxes_;
    HFONT font_ = nullptr;
    HWND last_read_ = nullptr;
    TextBox* last_read_text_ = nullptr; // the same box, as the calculations see it
    ClickOrder clicks_;
    std::vector<MSG> deferred_keys_;    // keys for this window typed ahead of a report
};

} // namespace kvix
