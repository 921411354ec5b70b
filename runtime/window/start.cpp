#include "start.hpp"

#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "form.hpp"

namespace kvix {
namespace {

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

} // namespace

int run_program(int argc, char** argv, const FormDecl& decl,
                std::span<const ClickBinding> bindings) {
    // Without a display Qt would abort with a long diagnostic; say it in one line.
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "kvix-quendral: no display to open the window on (neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set); run it in a desktop session, or try: "
                     "xvfb-run kvix-quendral\n");
        return 1;
    }
    QApplication app(argc, argv);
    Form form(decl, bindings);
    form.show();
    return app.exec();
}

} // namespace kvix
