#include "caption_fit.hpp"

#include <algorithm>

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

bool captions_fit(const FormDecl& decl, const MeasureCaption& measure) {
    for (const ControlDecl& c : decl.controls) {
        const CaptionRoom r = measure(c, caption_without_access_key(c.caption));
        if (r.text_width > r.room_width || r.text_height > r.room_height)
            return false;
    }
    return true;
}

double fit_point_size(double base_points, const std::function<bool(double points)>& fits) {
    double points = base_points > 0 ? base_points : 9.0;
    while (points > kFontFloor && !fits(points))
        points -= kFontStep;
    return std::max(points, kFontFloor);
}

} // namespace kvix
