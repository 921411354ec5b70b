#include "form.hpp"

#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "caption_fit.hpp"
#include "error.hpp"
#include "utf16.hpp"

namespace kvix {

namespace {

// Control ids: the declaration's index from here on, clear of IDOK (1) and
// IDCANCEL (2), which the dialog manager sends for Enter and Escape.
constexpr int kFirstControlId = 1000;

// The window: a caption with the system menu, close and minimize boxes; a
// fixed size, as declared.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

// The 3-D edge of a button and of a sunken text box, in pixels at 96 dpi
// (SM_CXEDGE); a button keeps one pixel more inside it for the focus
// rectangle, a text box one pixel on either side of its text.
constexpr int kEdge = 2;
constexpr int kInnerMargin = 1;

constexpr double kPointsPerInch = 72.0;

int scaled(int pixels_at_96, int dpi) { return MulDiv(pixels_at_96, dpi, kStandardDpi); }

// User32 functions of Windows 10 (1607 on), used where they exist: the
// program also runs where each window has the system's DPI.
template <typename Function>
Function user32_function(const char* name) {
    const FARPROC proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

int system_dpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int dpi_of(HWND window) {
    static const auto get_dpi = user32_function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (get_dpi != nullptr)
        if (const UINT dpi = get_dpi(window); dpi != 0)
            return static_cast<int>(dpi);
    return system_dpi();
}

// The desktop's message font at `dpi`: the base of the window's font.
LOGFONTW message_font(int dpi) {
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto for_dpi = user32_function<ForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (for_dpi != nullptr &&
        for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
        return metrics.lfMessageFont;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, system_dpi());
    return metrics.lfMessageFont;
}

RECT window_rect_for_client(int width, int height, int dpi) {
    using ForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto for_dpi = user32_function<ForDpi>("AdjustWindowRectExForDpi");
    RECT r{0, 0, width, height};
    if (for_dpi == nullptr ||
        !for_dpi(&r, kWindowStyle, FALSE, kWindowExStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, kWindowStyle, FALSE, kWindowExStyle);
    return r;
}

// A font of `points` points at `dpi`, otherwise as `base`.
HFONT create_font(LOGFONTW base, double points, int dpi) {
    base.lfHeight = -static_cast<LONG>(std::lround(points * dpi / kPointsPerInch));
    return CreateFontIndirectW(&base);
}

// The window's template: no controls (they are placed in pixels once the
// window's DPI is known), no menu, the dialog class, the title.  A
// DLGTEMPLATE and the three strings after it, each WORD-aligned.
std::vector<WORD> dialog_template(const std::wstring& title) {
    DLGTEMPLATE head{};
    head.style = kWindowStyle;
    head.dwExtendedStyle = kWindowExStyle;
    std::vector<WORD> words(sizeof head / sizeof(WORD));
    std::memcpy(words.data(), &head, sizeof head);
    words.push_back(0); // no menu
    words.push_back(0); // the predefined dialog class
    for (wchar_t c : title)
        words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

// The form whose error report is on screen, for the message hooks.
thread_local Win32Form* reporting_form = nullptr;

bool is_typed_key(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

} // namespace

// An edit control seen as a text box of the form: its text as UTF-8, the
// result code of a failed call from the system's error code.
class Win32TextBox final : public FormTextBox {
public:
    Win32TextBox(Win32Form& form, const ControlDecl& decl, HWND edit)
        : FormTextBox(form, decl), edit_(edit) {}

    ResultCode write_text(std::string_view text) override {
        return SetWindowTextW(edit_, utf16_of(text).c_str()) ? kResultOk : last_error_code();
    }

    HWND hwnd() const { return edit_; }

private:
    ResultCode read_control_text(std::string& text) override {
        SetLastError(ERROR_SUCCESS);
        const int length = GetWindowTextLengthW(edit_);
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        const int got = length > 0 ? GetWindowTextW(edit_, wide.data(), length + 1) : 0;
        if (got == 0 && GetLastError() != ERROR_SUCCESS)
            return last_error_code();
        wide.resize(static_cast<std::size_t>(got));
        text = utf8_of(wide);
        return kResultOk;
    }

    static ResultCode last_error_code() {
        const DWORD error = GetLastError();
        return error != ERROR_SUCCESS ? static_cast<ResultCode>(HRESULT_FROM_WIN32(error))
                                      : static_cast<ResultCode>(E_FAIL);
    }

    HWND edit_;
};

Win32Form::Win32Form(const FormDecl& decl, std::span<const ClickBinding> bindings, HINSTANCE instance)
    : FormBase(decl, bindings), title_(utf16_of(decl.title)) {
    const std::vector<WORD> tmpl = dialog_template(title_);
    CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()), nullptr,
                               &dialog_proc, reinterpret_cast<LPARAM>(this));
    if (dialog_ == nullptr)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "CreateDialogIndirectParamW");

    // Controls made in tab order: the dialog manager tabs in the order the
    // controls were made, and gives a label's access key to the next
    // control that takes the focus.
    for (const ControlDecl* c : tab_order()) {
        const wchar_t* window_class = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE, ex_style = 0;
        switch (c->kind) {
        case ControlKind::Label:
            // One line, centred in its height as a text box's line is.
            style |= SS_LEFT | SS_CENTERIMAGE;
            break;
        case ControlKind::TextBox:
            window_class = L"EDIT";
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            ex_style |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Button:
            window_class = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        }
        const int id = kFirstControlId + static_cast<int>(c - decl.controls.data());
        const HWND hwnd = CreateWindowExW(ex_style, window_class, utf16_of(c->caption).c_str(), style,
                                          0, 0, 0, 0, dialog_,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                          instance, nullptr);
        if (hwnd == nullptr)
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                    "CreateWindowExW " + std::string(c->name));
        if (c->kind == ControlKind::TextBox) {
            SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0); // no limit on the length
            add_box(std::make_unique<Win32TextBox>(*this, *c, hwnd));
        }
        controls_.push_back({c, hwnd});
    }

    // The icon from the executable's resources (id 1), in the sizes the
    // title bar and the task switcher show.
    const auto icon = [instance](int size_x, int size_y) {
        return reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                   GetSystemMetrics(size_x),
                                                   GetSystemMetrics(size_y), LR_SHARED));
    };
    SendMessageW(dialog_, WM_SETICON, ICON_BIG, icon(SM_CXICON, SM_CYICON));
    SendMessageW(dialog_, WM_SETICON, ICON_SMALL, icon(SM_CXSMICON, SM_CYSMICON));

    lay_out(dpi_of(dialog_));

    // In the middle of the work area of the window's monitor.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT frame{};
    GetWindowRect(dialog_, &frame);
    if (GetMonitorInfoW(MonitorFromWindow(dialog_, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        const RECT& work = monitor.rcWork;
        SetWindowPos(dialog_, nullptr,
                     work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
                     work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Win32Form::~Win32Form() {
    if (dialog_ != nullptr && IsWindow(dialog_))
        DestroyWindow(dialog_);
    if (font_ != nullptr)
        DeleteObject(font_);
}

void Win32Form::show() {
    ShowWindow(dialog_, SW_SHOWNORMAL);
    for (const Control& c : controls_)
        if (c.decl == first_focus())
            SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c.hwnd), TRUE);
    UpdateWindow(dialog_);
}

void Win32Form::handle(MSG& msg) {
    if (!IsDialogMessageW(dialog_, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32Form::lay_out(int dpi) {
    for (const Control& c : controls_)
        SetWindowPos(c.hwnd, nullptr, twips_to_pixels(c.decl->left, dpi),
                     twips_to_pixels(c.decl->top, dpi), twips_to_pixels(c.decl->width, dpi),
                     twips_to_pixels(c.decl->height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);

    // The font: the largest, from the desktop's message font down, in which
    // every caption fits its control (the rule of caption_fit.hpp),
    // measured with this DPI's fonts and edges.
    const LOGFONTW base = message_font(dpi);
    const double base_points =
        base.lfHeight < 0 ? -base.lfHeight * kPointsPerInch / dpi : 0.0;
    const HDC dc = GetDC(dialog_);
    const int edge = scaled(kEdge, dpi), inner = scaled(kInnerMargin, dpi);
    const double points = fit_point_size(base_points, [&](double size) {
        const HFONT font = create_font(base, size, dpi);
        const HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const bool fits = captions_fit(decl(), [&](const ControlDecl& c, std::string_view shown) {
            const std::wstring text = utf16_of(shown);
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            CaptionRoom room{twips_to_pixels(c.width, dpi), twips_to_pixels(c.height, dpi), extent.cx,
                             metrics.tmHeight};
            if (c.kind != ControlKind::Label) {
                room.room_width -= 2 * (edge + inner);
                room.room_height -= 2 * (c.kind == ControlKind::Button ? edge + inner : edge);
            }
            return room;
        });
        SelectObject(dc, previous);
        DeleteObject(font);
        return fits;
    });
    ReleaseDC(dialog_, dc);

    const HFONT font = create_font(base, points, dpi);
    for (const Control& c : controls_)
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (font_ != nullptr)
        DeleteObject(font_);
    font_ = font;

    const RECT r = window_rect_for_client(twips_to_pixels(decl().client_width, dpi),
                                          twips_to_pixels(decl().client_height, dpi), dpi);
    SetWindowPos(dialog_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Win32Form::dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_INITDIALOG) {
        auto* form = reinterpret_cast<Win32Form*>(lparam);
        form->dialog_ = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        return FALSE; // the focus is set once the controls are made
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (form == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        return form->on_command(LOWORD(wparam), HIWORD(wparam));
    case WM_DPICHANGED: {
        // Moved to a monitor of another DPI: the same twips at the new DPI,
        // where Windows suggests.
        const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
        form->lay_out(HIWORD(wparam));
        SetWindowPos(dialog, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    case WM_CLOSE: // the close box, Alt+F4 and the system menu's Close
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

bool Win32Form::on_command(WORD id, WORD notification) {
    // IDOK and IDCANCEL come from Enter and Escape where no button has the
    // focus: there is no default and no cancel button, so they press
    // nothing.  (Enter or Space on a focused button clicks that button.)
    if (id == IDOK || id == IDCANCEL)
        return true;
    if (notification != BN_CLICKED)
        return false;
    for (const Control& c : controls_)
        if (GetDlgCtrlID(c.hwnd) == id && c.decl->kind == ControlKind::Button) {
            press(*c.decl);
            return true;
        }
    return false;
}

void Win32Form::take_typed_ahead() {
    // The input queued for the thread was typed before the report: handled
    // here, in place and in the order it came, so that each key is
    // translated with the modifiers it was typed with and goes to the
    // control that has the focus in its turn.  The characters that the
    // translation of a key posts come before the next key, as posted
    // messages do; a button pressed meanwhile waits in the click queue.
    handle_queued(PM_QS_INPUT | PM_QS_POSTMESSAGE);
}

bool Win32Form::handle_queued(UINT kinds) {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | kinds);) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // for the message loop
            return false;
        }
        handle(msg);
    }
    return true;
}

LRESULT CALLBACK Win32Form::note_report_shown(int code, WPARAM wparam, LPARAM lparam) noexcept {
    // The message box becomes the active window: from now on it can be seen.
    Win32Form* form = reporting_form;
    if (code == HCBT_ACTIVATE && form != nullptr && form->report_shown_ == 0 &&
        reinterpret_cast<HWND>(wparam) != form->dialog_)
        form->report_shown_ = GetTickCount();
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK Win32Form::keys_typed_before(int code, WPARAM wparam, LPARAM lparam) noexcept {
    // Called by the message box's own loop with each message it takes.  A
    // key typed before the box was shown is the window's, though the system
    // may address it to the box (it addresses a key to the focus of the
    // moment it is read); and the characters that translating such a key
    // makes are addressed to the window.  Both are handled for the window
    // here, in place, and the box does not see them.
    Win32Form* form = reporting_form;
    MSG* msg = reinterpret_cast<MSG*>(lparam);
    if (code == MSGF_DIALOGBOX && form != nullptr && !form->handling_for_window_ &&
        msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        const bool for_window = msg->hwnd == form->dialog_ || IsChild(form->dialog_, msg->hwnd);
        const bool typed_before =
            is_typed_key(msg->message) &&
            (form->report_shown_ == 0 || static_cast<LONG>(msg->time - form->report_shown_) < 0);
        if (for_window || typed_before) {
            MSG key = *msg;
            if (!for_window)
                key.hwnd = form->focus_before_report_ != nullptr ? form->focus_before_report_
                                                                 : form->dialog_;
            form->handling_for_window_ = true; // the dialog manager calls this filter too
            form->handle(key);
            form->handling_for_window_ = false;
            return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

bool Win32Form::wait_while_open(int ms) {
    const DWORD hold = static_cast<DWORD>(ms), hold_start = GetTickCount();
    for (DWORD held = 0; held < hold; held = GetTickCount() - hold_start) {
        MsgWaitForMultipleObjectsEx(0, nullptr, hold - held, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (!handle_queued(0))
            return false; // WM_QUIT: the window was destroyed
    }
    return true;
}

void Win32Form::show_message_box(const ErrorMessage& message) {
    // The headline names the kind of error.
    const std::wstring text = utf16_of(message.headline + "\n\n" + message.details);
    focus_before_report_ = GetFocus();
    report_shown_ = 0;
    reporting_form = this;
    const HHOOK shown = SetWindowsHookExW(WH_CBT, &note_report_shown, nullptr, GetCurrentThreadId());
    const HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, &keys_typed_before, nullptr, GetCurrentThreadId());
    MessageBoxW(dialog_, text.c_str(), title_.c_str(), MB_OK | MB_ICONWARNING);
    if (filter != nullptr)
        UnhookWindowsHookEx(filter);
    if (shown != nullptr)
        UnhookWindowsHookEx(shown);
    reporting_form = nullptr;
}

void Win32Form::focus_and_select(FormTextBox& box) {
    const HWND edit = static_cast<Win32TextBox&>(box).hwnd();
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

} // namespace kvix
