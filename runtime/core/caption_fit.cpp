#include "caption_fit.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvix {

std::string caption_without_access_key(std::string_view caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                shown += '&', ++i;
            continue;
        }
        shown += caption[i];
    }
    return shown;
}

double caption_room_ratio(const FormDecl& decl, const MeasureCaption& measure) {
    double ratio = std::numeric_limits<double>::infinity();
    // One direction: the room over the need.  An empty caption needs no
    // width, only room that is not negative.
    const auto take = [&ratio](int room, int need) {
        if (need > 0)
            ratio = std::min(ratio, static_cast<double>(room) / need);
        else if (room < 0)
            ratio = 0.0;
    };
    for (const ControlDecl& c : decl.controls) {
        const std::string caption = caption_without_access_key(c.caption);
        const CaptionRoom r = measure(c, caption);
        take(r.room_width, r.text_width);
        take(r.room_height, r.text_height);
    }
    return ratio;
}

double fit_point_size(double base_points, const std::function<double(double points)>& room_ratio) {
    const double top = base_points > 0 ? base_points : 9.0;
    const auto size_at = [&](int k) { return top - k * kFontStep; }; // the k-th size below the base
    const auto fits_at = [&](int k) { return room_ratio(size_at(k)) >= 1.0; };
    const double ratio = room_ratio(top);
    const int last = static_cast<int>(std::ceil((top - kFontFloor) / kFontStep)) - 1; // sizes above the floor
    if (ratio >= 1.0)
        return top;
    if (last < 1)
        return kFontFloor;
    // Text grows about in proportion to the point size, so the base size's
    // ratio points at the first size to try, instead of every size in
    // between, each of which would load a font at start-up.  From there the
    // search goes up while the next larger size still fits, or down until
    // one fits.
    const double predicted = top * std::max(ratio, 0.0);
    int k = std::clamp(static_cast<int>(std::ceil((top - predicted) / kFontStep)), 1, last);
    if (fits_at(k)) {
        while (k > 1 && fits_at(k - 1))
            --k;
    } else {
        do
            ++k;
        while (k <= last && !fits_at(k));
    }
    return k <= last ? size_at(k) : kFontFloor;
}

} // namespace kvix
