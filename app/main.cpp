// KVIX Quendral: converts a Unix time into the UTC date text of that instant
// and back.  The program is its window; everything else happens in clicks.
#include "app_info.hpp"
#include "frm_main.hpp"
#include "start.hpp"

int main(int argc, char** argv) {
    return kvix::run_program(argc, argv, kvix::kAppInfo, kvix::kFrmMain,
                             kvix::frm_main_bindings());
}
