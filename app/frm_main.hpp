// frmMain, the program's one window, declared as data.
#pragma once

#include <array>
#include <span>

#include "form_decl.hpp"

namespace kvix {

inline constexpr std::array<ControlDecl, 6> kFrmMainControls{{
    // name          kind                  caption                   left   top  width height tab
    {"lblInput",   ControlKind::Label,   "&In",                     120,  120,   255,  255, 0},
    {"txtInput",   ControlKind::TextBox, "",                        480,  120,  2055,  285, 1},
    {"cmdCalcPos", ControlKind::Button,  "Calculate &positively",  2640,  120,  2175,  375, 2},
    {"lblOutput",  ControlKind::Label,   "&Out",                    120,  600,   255,  255, 3},
    {"txtOutput",  ControlKind::TextBox, "",                        480,  600,  2055,  285, 4},
    {"cmdCalcNeg", ControlKind::Button,  "Calculate &negatively",  2640,  600,  2175,  375, 5},
}};

inline constexpr FormDecl kFrmMain{"frmMain", "KVIX Quendral", 4890, 1020, kFrmMainControls};

static_assert(is_valid_declaration(kFrmMain));

// The click bindings of frmMain's buttons.
std::span<const ClickBinding> frm_main_bindings();

} // namespace kvix
