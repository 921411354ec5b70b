#include "qt_start.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QMetaObject>
#include <QWidget>

#include "form.hpp"

namespace kvix {
namespace {

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

} // namespace

void apply_app_names(const AppInfo& info) {
    QCoreApplication::setApplicationName(QString::fromUtf8(info.name));
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(info.display_name));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(info.version));
    QCoreApplication::setOrganizationName(QString::fromUtf8(info.organization));
    QCoreApplication::setOrganizationDomain(QString::fromUtf8(info.organization_domain));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(info.desktop_file));
}

void apply_app_icon(const AppInfo& info) {
    QIcon icon;
    for (std::string_view image : info.icon_images)
        icon.addFile(QString::fromUtf8(image));
    QApplication::setWindowIcon(icon);
}

namespace {

// Watches a window for its first paint, then gives the application its
// icon from the event loop (after the frame has gone out) and goes away.
class IconAfterFirstPaint : public QObject {
public:
    IconAfterFirstPaint(QWidget& window, const AppInfo& info) : QObject(&window), info_(info) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    apply_app_icon(info_);
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    const AppInfo& info_;
};

} // namespace

void show_main_window(QWidget& window, const AppInfo& info) {
    new IconAfterFirstPaint(window, info); // owned by the window
    window.show();
}

int run_program(int argc, char** argv, const AppInfo& info, const FormDecl& decl,
                std::span<const ClickBinding> bindings) {
    // Without a display Qt would abort with a long diagnostic; say it in one line.
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        const int n = static_cast<int>(info.name.size());
        std::fprintf(stderr,
                     "%.*s: no display to open the window on (neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set); run it in a desktop session, or try: "
                     "xvfb-run %.*s\n",
                     n, info.name.data(), n, info.name.data());
        return 1;
    }
    // The program takes no arguments, so the toolkit gets none either: only
    // the program's name, which it uses to name the application.  Options
    // such as -stylesheet or -reverse would otherwise read a file or change
    // the window.
    std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : std::string(info.name);
    int toolkit_argc = 1;
    char* toolkit_argv[] = {program.data(), nullptr};
    QApplication app(toolkit_argc, toolkit_argv);
    apply_app_names(info);
    Form form(decl, bindings);
    show_main_window(form, info);
    return app.exec();
}

} // namespace kvix
