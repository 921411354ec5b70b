#include "frm_main.hpp"

#include "calc.hpp"

namespace kvix {
namespace {

MainFormBoxes boxes_of(FormBoxes& form) {
    return {form.text_box("txtInput"), form.text_box("txtOutput")};
}

void cmdCalcPos_Click(FormBoxes& form) { CalcPos(boxes_of(form)); }
void cmdCalcNeg_Click(FormBoxes& form) { CalcNeg(boxes_of(form), date::system_clock_seconds); }

constexpr ClickBinding kBindings[] = {
    {"cmdCalcPos", &cmdCalcPos_Click},
    {"cmdCalcNeg", &cmdCalcNeg_Click},
};

} // namespace

std::span<const ClickBinding> frm_main_bindings() { return kBindings; }

} // namespace kvix
