// Reads the program's windows from the Windows side, for the end-to-end
// test under Wine, where the message box's text does not reach the X
// clipboard.  Finds the top-level windows titled TITLE: the main window (no
// owner) and a message box (owned by it), and prints one line each, tab
// separated, UTF-8, with backslash, tab and line breaks escaped:
//   client  WIDTH  HEIGHT          the main window's client area
//   edit    ID  LIMIT              each text box's length limit
//   focus   CLASS  ID              the control with the keyboard focus
//   message TEXT                   the message box's text, if one is open
//   window_probe TITLE
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8_of(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

// WM_GETTEXT works across processes, for edits too (GetWindowText does not).
std::wstring text_of(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::wstring class_of(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> children_of(HWND parent) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        found.push_back(child);
    return found;
}

void print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_probe TITLE\n");
        return 2;
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, nullptr, 0);
    std::wstring title(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, title.data(), n);
    title.resize(static_cast<std::size_t>(n - 1));

    HWND main_window = nullptr, message_box = nullptr;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, title.c_str())) != nullptr;) {
        if (!IsWindowVisible(w))
            continue;
        (GetWindow(w, GW_OWNER) == nullptr ? main_window : message_box) = w;
    }
    if (main_window == nullptr) {
        std::fprintf(stderr, "no window titled %s\n", argv[1]);
        return 1;
    }
    RECT client{};
    GetClientRect(main_window, &client);
    print("client\t" + std::to_string(client.right) + "\t" + std::to_string(client.bottom));
    for (HWND child : children_of(main_window))
        if (class_of(child) == L"Edit")
            print("edit\t" + std::to_string(GetDlgCtrlID(child)) + "\t" +
                  std::to_string(SendMessageW(child, EM_GETLIMITTEXT, 0, 0)));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(main_window, nullptr), &gui) && gui.hwndFocus != nullptr)
        print("focus\t" + utf8_of(class_of(gui.hwndFocus)) + "\t" + std::to_string(GetDlgCtrlID(gui.hwndFocus)));
    if (message_box != nullptr) {
        std::string message;
        for (HWND child : children_of(message_box))
            if (class_of(child) == L"Static") {
                const std::string text = utf8_of(text_of(child));
                if (!text.empty())
                    message += (message.empty() ? "" : "\n") + text;
            }
        print("message\t" + escaped(message));
    }
    return 0;
}
