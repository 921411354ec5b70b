// The rule that chooses a window's font: the largest size, from the
// desktop's own down in half points to 6, in which every caption shows
// whole inside its control and a line of text fits each text box.  The
// window layers measure text with their toolkit; the rule is the same for
// all of them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "form_decl.hpp"

namespace kvix {

// A caption as shown: each "&" that marks an access key taken out, "&&"
// shown as one "&".
std::string caption_without_access_key(std::string_view caption);

// The room a control gives its caption and what the caption needs, in
// pixels, in one font.  A text box's "caption" is a line of text ("0").
struct CaptionRoom {
    int room_width, room_height;
    int text_width, text_height;
};

// Whether every caption shows whole in its room, in both directions.
// `measure` is called once per control with the caption as shown.
using MeasureCaption = std::function<CaptionRoom(const ControlDecl&, std::string_view caption)>;
bool captions_fit(const FormDecl& decl, const MeasureCaption& measure);

// The sizes tried go down from `base_points` in steps of kFontStep while
// above kFontFloor; kFontFloor when none of them fits.
inline constexpr double kFontStep = 0.5;
inline constexpr double kFontFloor = 6.0;

// The first size, as above, in which `fits` (captions_fit in a font of that
// many points) holds.  `base_points` 0 or less means 9 points.
double fit_point_size(double base_points, const std::function<bool(double points)>& fits);

} // namespace kvix
