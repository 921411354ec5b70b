// A window built from its declaration, the way a form compiler would build
// it: absolute places and sizes, tab order, access keys and click bindings;
// its error reports in message boxes.
#pragma once

#include <span>
#include <string_view>

#include <QFont>
#include <QWidget>

#include "form_base.hpp"
#include "form_decl.hpp"

namespace kvix {

class Form : public QWidget, public FormBase {
public:
    Form(const FormDecl& decl, std::span<const ClickBinding> bindings);
    ~Form() override;

protected:
    // The toolkit's part of the click path; a test may record the reports
    // in place of the message box.
    void take_typed_ahead() override;
    bool wait_while_open(int ms) override;
    void show_message_box(const ErrorMessage& message) override;
    void focus_and_select(FormTextBox& box) override;
};

// The largest font, no larger than `base` and in half points down to 6, in
// which every caption of the window shows whole inside its control and a
// line of text fits in each text box.
QFont fit_font(const Form& form, const FormDecl& decl, QFont base);

} // namespace kvix
