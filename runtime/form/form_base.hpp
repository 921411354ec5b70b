// What every window layer shares about a window built from its
// declaration: the controls in tab order, the click bindings, the text
// boxes by name, and the click path, from a press to the calculation and,
// when it fails, to the report of its error.  A window layer builds the
// controls and implements what only its toolkit can do: wait with the
// window going on, show a message box, give a box the focus with its text
// selected, and handle the input typed ahead of a report.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "click_order.hpp"
#include "form_decl.hpp"
#include "text_box.hpp"

namespace kvix {

class FormBase;
class RuntimeError;
struct ErrorMessage;

// How long a report's message box waits before it comes up, the window
// taking what is typed meanwhile: a tenth of a second, about the least delay
// a person notices, and shorter than anyone answers a message they see.
// Keys typed that quickly after a press were typed ahead, for the window.
inline constexpr int kReportHoldMs = 100;

// Whether a control of this kind can take the focus (labels cannot).
constexpr bool takes_focus(ControlKind kind) { return kind != ControlKind::Label; }

// A text box of a window.  Reading it records it as the box that the
// running click read, where the focus goes back after its error report.
class FormTextBox : public TextBox {
public:
    FormTextBox(FormBase& form, const ControlDecl& decl) : form_(form), decl_(decl) {}

    std::string_view name() const final { return decl_.name; }
    ResultCode read_text(std::string& text) final;

protected:
    // The whole text of the control, or a negative result code.
    virtual ResultCode read_control_text(std::string& text) = 0;

private:
    FormBase& form_;
    const ControlDecl& decl_;
};

class FormBase : public FormBoxes {
public:
    // Checks that every binding names a button of the declaration.
    FormBase(const FormDecl& decl, std::span<const ClickBinding> bindings);
    FormBase(const FormBase&) = delete;
    FormBase& operator=(const FormBase&) = delete;

    const FormDecl& decl() const { return decl_; }
    // The controls in the order of their tab indices.
    std::span<const ControlDecl* const> tab_order() const { return tab_order_; }
    // The first control in tab order that takes the focus: it has the focus
    // at start.  A label's access key goes to the one after `label`.
    const ControlDecl* first_focus() const { return next_focus(nullptr); }
    const ControlDecl* next_focus(const ControlDecl* label) const;

    TextBox& text_box(std::string_view name) override;

    // A press of `button`: runs its calculation, if one is bound, to its end
    // or its error, and reports the error; the window goes on.  This is the
    // one place where run-time errors are taken, and any other exception.  A press that comes while a report
    // is being shown (the report's message box runs an event loop of its
    // own, and keys typed ahead are handled before it is shown) waits until
    // that report is dismissed, so that presses run and are reported one at
    // a time, in the order they were made.
    void press(const ControlDecl& button);

protected:
    ~FormBase();

    // The layer's text boxes, made as it builds the controls.
    void add_box(std::unique_ptr<FormTextBox> box);

    // Input that the window system holds for the window, typed before the
    // report that is about to be shown: handled now, in the order it was
    // typed, each key by the control that has the focus in its turn.
    // Presses among it wait until the report is dismissed.
    virtual void take_typed_ahead() = 0;
    // Waits `ms` milliseconds, the window handling what comes meanwhile as
    // its message loop does; false if the window was closed meanwhile.
    virtual bool wait_while_open(int ms) = 0;
    // Shows `message` in a modal message box titled with the window's title
    // and returns once the user dismissed it.
    virtual void show_message_box(const ErrorMessage& message) = 0;
    // Gives `box` the focus with its whole text selected.
    virtual void focus_and_select(FormTextBox& box) = 0;

private:
    friend class FormTextBox;
    void run_click(ClickHandler handler);
    void report(const RuntimeError& error);

    const FormDecl& decl_;
    std::vector<const ControlDecl*> tab_order_;
    std::vector<ClickBinding> bindings_;
    std::vector<std::unique_ptr<FormTextBox>> boxes_;
    FormTextBox* last_read_ = nullptr; // the box the running click read last
    ClickOrder clicks_;
};

} // namespace kvix
