// A window built from its declaration, the way a form compiler would build
// it: absolute places and sizes, tab order, access keys and click bindings.
#pragma once

#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include <QFont>
#include <QWidget>

#include "click_order.hpp"
#include "form_decl.hpp"

class QLineEdit;

namespace kvix {

class QtTextBox;

class Form final : public QWidget, public FormBoxes {
public:
    Form(const FormDecl& decl, std::span<const ClickBinding> bindings);
    ~Form() override;

    TextBox& text_box(std::string_view name) override;

    // Runs a click handler; the one place where run-time errors are taken.
    // A click that arrives while an error is being reported (the report's
    // message box runs an event loop of its own) waits until that report is
    // dismissed, so that clicks run and are reported in the order of the
    // presses.
    void dispatch_click(ClickHandler handler);

    // The text box that the running (or last) click read from, if any.
    QLineEdit* last_read_box() const { return last_read_; }
    void note_read(QLineEdit* box, TextBox& text_box) {
        last_read_ = box;
        last_read_text_ = &text_box;
    }

private:
    // Runs one click to its end or its error, and reports the error.
    void run_click(ClickHandler handler);

    std::vector<std::unique_ptr<QtTextBox>> boxes_;
    QLineEdit* last_read_ = nullptr;
    TextBox* last_read_text_ = nullptr; // the same box, as the calculations see it
    ClickOrder clicks_;
};

// The largest font, no larger than `base` and in half points down to 6, in
// which every caption of the window shows whole inside its control and a
// line of text fits in each text box.
QFont fit_font(const Form& form, const FormDecl& decl, QFont base);

} // namespace kvix
