#include "calc.hpp"

#include <string>

#include "convert.hpp"
#include "fp_status.hpp"

namespace kvix {

// Each calculation holds one text and one box reference at a time; both
// slots are emptied by their destructors on every way out, errors included.

void CalcPos(const MainFormBoxes& form) {
    BoxRef box;
    TextSlot text;
    const std::string& input = read_box_text(box.set(form.txtInput), text);
    const std::int32_t u = parse_int32(input);
    text.free();
    box.reset();

    const double serial = check_date(serial_of_unix_time(u));

    TextBox& output = box.set(form.txtOutput);
    write_box_text(output, text.move_in(format_date(serial)));
    text.free();
    box.reset();
}

void CalcNeg(const MainFormBoxes& form, date::Clock clock) {
    BoxRef box;
    TextSlot text;
    const std::string& date = read_box_text(box.set(form.txtOutput), text);
    const double serial = date::read_serial(date, clock);
    text.free();
    box.reset();

    const std::int32_t u = round_to_int32(unix_seconds_of_serial(serial));

    TextBox& input = box.set(form.txtInput);
    write_box_text(input, text.move_in(format_int32(u)));
    text.free();
    box.reset();
}

} // namespace kvix
