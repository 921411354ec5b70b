#include "error_reporter.hpp"

#include <QMessageBox>
#include <QWidget>

#include "error.hpp"

namespace kvix {
namespace {

class MessageBoxReporter final : public ErrorReporter {
public:
    void report(QWidget* window, const RuntimeError& error) override {
        const ErrorMessage message = describe_error(error);
        QMessageBox box(QMessageBox::Warning,
                        window != nullptr ? window->windowTitle() : QString(),
                        QString::fromStdString(message.headline), QMessageBox::Ok, window);
        box.setInformativeText(QString::fromStdString(message.details));
        box.setTextFormat(Qt::PlainText);
        // Wide enough that the range line wraps once, not at every word.
        box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 26em; }"));
        box.exec();
    }
};

MessageBoxReporter message_box_reporter;
ErrorReporter* current = &message_box_reporter;

} // namespace

ErrorReporter& error_reporter() { return *current; }

ErrorReporter* set_error_reporter(ErrorReporter* reporter) {
    ErrorReporter* previous = current;
    current = reporter != nullptr ? reporter : &message_box_reporter;
    return previous;
}

} // namespace kvix
