#include "form_base.hpp"

#include <new>
#include <stdexcept>

#include "error.hpp"

namespace kvix {
namespace {

// The error of a click as its report shows it.  An overflow quotes the
// text of the box the calculation read, the text the user typed: the step
// that overflowed may have seen only a number made from it (the rounding
// of the negative calculation).
RuntimeError as_reported(const RuntimeError& error, FormTextBox* last_read) {
    std::string text;
    if (error.kind() != ErrorKind::Overflow || last_read == nullptr || last_read->read_text(text) < 0)
        return error;
    return RuntimeError(error.kind(), error.expected(), text, error.reason());
}

} // namespace

ResultCode FormTextBox::read_text(std::string& text) {
    form_.last_read_ = this;
    return read_control_text(text);
}

FormBase::FormBase(const FormDecl& decl, std::span<const ClickBinding> bindings)
    : decl_(decl), tab_order_(decl.controls.size()), bindings_(bindings.begin(), bindings.end()) {
    for (const ControlDecl& c : decl.controls)
        tab_order_.at(static_cast<std::size_t>(c.tab_index)) = &c;
    for (const ClickBinding& b : bindings_) {
        bool bound = false;
        for (const ControlDecl& c : decl.controls)
            bound = bound || (c.kind == ControlKind::Button && c.name == b.control);
        if (!bound)
            throw std::logic_error("click bound to no button: " + std::string(b.control));
    }
}

FormBase::~FormBase() = default;

const ControlDecl* FormBase::next_focus(const ControlDecl* label) const {
    bool after = label == nullptr;
    for (const ControlDecl* c : tab_order_) {
        if (after && takes_focus(c->kind))
            return c;
        after = after || c == label;
    }
    return nullptr;
}

TextBox& FormBase::text_box(std::string_view name) {
    for (const auto& box : boxes_)
        if (box->name() == name)
            return *box;
    throw std::logic_error("no text box named " + std::string(name));
}

void FormBase::add_box(std::unique_ptr<FormTextBox> box) { boxes_.push_back(std::move(box)); }

void FormBase::press(const ControlDecl& button) {
    for (const ClickBinding& b : bindings_)
        if (b.control == button.name)
            clicks_.dispatch(b.handler, [this](ClickHandler next) { run_click(next); });
}

void FormBase::run_click(ClickHandler handler) {
    last_read_ = nullptr;
    try {
        handler(*this);
    } catch (const RuntimeError& error) {
        report(error);
    } catch (const std::bad_alloc&) {
        report(RuntimeError(ErrorKind::OutOfMemory, Expected::Nothing, {}));
    } catch (const std::exception& error) {
        report(RuntimeError(ErrorKind::InternalError, Expected::Nothing, {}, error.what()));
    } catch (...) {
        report(RuntimeError(ErrorKind::InternalError, Expected::Nothing, {}));
    }
}

void FormBase::report(const RuntimeError& error) {
    const ClickOrder::Report on_screen(clicks_);
    // The error as reported quotes the box as it was read, before any key
    // typed ahead changes it.
    const ErrorMessage message = describe_error(as_reported(error, last_read_));
    // Keys typed before the report appears are the window's, as if the
    // program had been quick: they are handled before it is shown, and the
    // focus then goes back to the box that was read.  The message box comes
    // up a moment after the press, and what is typed meanwhile is the
    // window's too: keys typed in quick succession are meant for the window,
    // not for a message that no one has seen yet.
    take_typed_ahead();
    if (!wait_while_open(kReportHoldMs))
        return; // the window was closed meanwhile: the program ends unasked
    show_message_box(message);
    if (last_read_ != nullptr)
        focus_and_select(*last_read_);
}

} // namespace kvix
