// Text boxes as the calculations see them, and the two temporaries a
// calculation holds while it runs: a reference on a box and a text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace kvix {

// A result code as a control returns it: negative means failure.
using ResultCode = std::int32_t;
inline constexpr ResultCode kResultOk = 0;

enum class BoxOperation { ReadText, WriteText };

class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::string_view name() const = 0;
    // The whole text of the box, or a negative result code.
    virtual ResultCode read_text(std::string& text) = 0;
    // Replaces the whole text of the box, or returns a negative result code.
    virtual ResultCode write_text(std::string_view text) = 0;
    // References a calculation takes and releases while it uses the box.
    virtual void add_ref() noexcept {}
    virtual void release() noexcept {}
};

// Raises the failed-control-call error for a negative result code, naming
// the code, the box and the operation.
void check_box_result(ResultCode code, const TextBox& box, BoxOperation operation);

// A calculation's reference slot: holds at most one referenced box and
// releases it when set again, when reset, and on every way out of scope.
class BoxRef {
public:
    BoxRef() = default;
    BoxRef(const BoxRef&) = delete;
    BoxRef& operator=(const BoxRef&) = delete;
    ~BoxRef() { reset(); }

    TextBox& set(TextBox& box) noexcept {
        box.add_ref();
        reset();
        box_ = &box;
        return box;
    }
    void reset() noexcept {
        if (box_ != nullptr)
            std::exchange(box_, nullptr)->release();
    }

private:
    TextBox* box_ = nullptr;
};

// A calculation's text slot: holds at most one text, freed when replaced,
// when freed explicitly, and on every way out of scope.
class TextSlot {
public:
    TextSlot() = default;
    TextSlot(const TextSlot&) = delete;
    TextSlot& operator=(const TextSlot&) = delete;

    // Puts a newly made text into the slot, freeing the one it held.
    const std::string& move_in(std::string&& text) noexcept {
        text_ = std::move(text);
        return text_;
    }
    // The slot's own storage, for a read that fills it in place.
    std::string& storage() noexcept { return text_; }
    void free() noexcept { std::string().swap(text_); }

private:
    std::string text_;
};

// Reads the whole text of a box into a slot: checks the result code and
// clears the floating-point status afterwards.
const std::string& read_box_text(TextBox& box, TextSlot& slot);
// Writes a text into a box: checks the result code and clears the
// floating-point status afterwards.
void write_box_text(TextBox& box, std::string_view text);

} // namespace kvix
