#include "text_box.hpp"

#include <string>

#include "error.hpp"
#include "fp_status.hpp"

namespace kvix {

void check_box_result(ResultCode code, const TextBox& box, BoxOperation operation) {
    if (code >= 0)
        return;
    std::string reason = operation == BoxOperation::ReadText ? "Reading the text of "
                                                             : "Writing the text of ";
    reason.append(box.name());
    reason += " failed with result code " + std::to_string(code) + ".";
    throw RuntimeError(ErrorKind::ControlCallFailed, Expected::Nothing, {}, std::move(reason));
}

const std::string& read_box_text(TextBox& box, TextSlot& slot) {
    std::string& text = slot.storage();
    text.clear();
    const ResultCode code = box.read_text(text);
    clear_fp_status();
    if (code < 0)
        slot.free(); // a failed read leaves nothing behind
    check_box_result(code, box, BoxOperation::ReadText);
    return text;
}

void write_box_text(TextBox& box, std::string_view text) {
    const ResultCode code = box.write_text(text);
    clear_fp_status();
    check_box_result(code, box, BoxOperation::WriteText);
}

} // namespace kvix
