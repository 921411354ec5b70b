#include "error_reporter.hpp"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "error.hpp"
#include "form_base.hpp"

namespace kvix {
namespace {

// A message box whose text Ctrl+C copies, headline and details, so that a
// user can paste the message elsewhere; the toolkit's own box does that
// only on some platforms.
class CopyableMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(text() + QStringLiteral("\n\n") + informativeText());
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

class MessageBoxReporter final : public ErrorReporter {
public:
    void report(QWidget* window, const RuntimeError& error) override {
        const ErrorMessage message = describe_error(error);
        CopyableMessageBox box(QMessageBox::Warning,
                        window != nullptr ? window->windowTitle() : QString(),
                        QString::fromStdString(message.headline), QMessageBox::Ok, window);
        box.setInformativeText(QString::fromStdString(message.details));
        box.setTextFormat(Qt::PlainText);
        // Wide enough that the range line wraps once, not at every word.
        box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 26em; }"));
        // The box comes up a moment after the press, and what is typed
        // meanwhile is the window's: keys typed in quick succession are meant
        // for the window, not for a message that no one has seen yet.
        QEventLoop hold;
        QTimer::singleShot(kReportHoldMs, &hold, &QEventLoop::quit);
        hold.exec();
        if (window != nullptr && !window->isVisible())
            return; // the window was closed meanwhile: the program ends unasked
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
