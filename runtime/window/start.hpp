// The program's start entry: builds the declared window, shows it and runs
// the event loop until the window is closed.
#pragma once

#include <span>

#include "form_decl.hpp"

namespace kvix {

int run_program(int argc, char** argv, const FormDecl& decl,
                std::span<const ClickBinding> bindings);

} // namespace kvix
