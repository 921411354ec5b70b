// A window declared as data: one window record, one record per control and
// the bindings of button clicks.  The window layer builds widgets from it.
// Coordinates are in twips (1/1440 inch; 15 twips are one pixel at 96 dpi).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "text_box.hpp"

namespace kvix {

enum class ControlKind { Label, TextBox, Button };

struct ControlDecl {
    std::string_view name;    // unique within the window; the widget's objectName
    ControlKind kind;
    std::string_view caption; // labels and buttons; "&" marks the access key
    int left, top, width, height;
    int tab_index;            // 0-based, unique, gapless
};

struct FormDecl {
    std::string_view name;
    std::string_view title;
    int client_width, client_height;
    std::span<const ControlDecl> controls;
};

// What a click handler reaches of its window: the text boxes, by name.
class FormBoxes {
public:
    virtual TextBox& text_box(std::string_view name) = 0;

protected:
    ~FormBoxes() = default;
};

using ClickHandler = void (*)(FormBoxes&);

struct ClickBinding {
    std::string_view control; // a button's name
    ClickHandler handler;
};

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kStandardDpi = 96;   // pixels per inch of a screen at 100 %

// Twips -> pixels at `dpi` pixels per inch, to the nearest pixel (halves up).
// At 96 dpi these are the device-independent pixels a toolkit scales itself.
constexpr int twips_to_pixels(int twips, int dpi = kStandardDpi) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}
static_assert(twips_to_pixels(4890) == 326 && twips_to_pixels(1020) == 68);
static_assert(twips_to_pixels(4890, 192) == 652 && twips_to_pixels(1020, 144) == 102);
static_assert(twips_to_pixels(7) == 0 && twips_to_pixels(8) == 1); // halves up

// The rules a declaration must keep: names unique, tab indices 0..n-1 each
// once, every control inside the client area.
constexpr bool is_valid_declaration(const FormDecl& form) {
    const std::size_t n = form.controls.size();
    for (std::size_t i = 0; i < n; ++i) {
        const ControlDecl& c = form.controls[i];
        if (c.tab_index < 0 || static_cast<std::size_t>(c.tab_index) >= n)
            return false;
        if (c.left < 0 || c.top < 0 || c.width <= 0 || c.height <= 0 ||
            c.left + c.width > form.client_width || c.top + c.height > form.client_height)
            return false;
        for (std::size_t j = i + 1; j < n; ++j)
            if (form.controls[j].name == c.name || form.controls[j].tab_index == c.tab_index)
                return false;
    }
    return true;
}

} // namespace kvix
