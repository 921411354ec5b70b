// A text box for tests: holds a text, can be told to fail its read or its
// write or to leave floating-point flags behind (as a toolkit's own
// arithmetic may), and counts the references a calculation holds on it.
#pragma once

#include <cfenv>
#include <string>
#include <string_view>

#include "text_box.hpp"

namespace kvix::test {

class FakeTextBox final : public TextBox {
public:
    FakeTextBox(std::string name, std::string text = {})
        : name_(std::move(name)), text_(std::move(text)) {}

    std::string_view name() const override { return name_; }

    ResultCode read_text(std::string& text) override {
        ++reads;
        std::feraiseexcept(flags_left);
        if (read_result < 0)
            return read_result;
        text = text_;
        return read_result;
    }
    ResultCode write_text(std::string_view text) override {
        ++writes;
        std::feraiseexcept(flags_left);
        if (write_result < 0)
            return write_result;
        text_ = text;
        return write_result;
    }
    void add_ref() noexcept override { ++references; }
    void release() noexcept override { --references; }

    const std::string& text() const { return text_; }

    ResultCode read_result = kResultOk;
    ResultCode write_result = kResultOk;
    int flags_left = 0; // FE_ flags that each read and write raise
    int reads = 0;
    int writes = 0;
    int references = 0; // held at the moment; 0 once a calculation is done

private:
    std::string name_;
    std::string text_;
};

} // namespace kvix::test
