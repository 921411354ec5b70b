// Clicks in the order of the presses.  A window layer reports a run-time
// error in a modal message box, whose own event loop may deliver another
// click (a key pressed right after the first).  That click waits until the
// report is dismissed, so that each press runs to its end or its error, and
// is reported, before the next one runs.
#pragma once

#include <deque>

#include "form_decl.hpp"

namespace kvix {

class ClickOrder {
public:
    // Runs `handler` through `run` now, with any clicks that come while it
    // runs after it; or, while a report is on screen, queues it to run once
    // the report is dismissed.
    template <typename Run>
    void dispatch(ClickHandler handler, Run&& run) {
        waiting_.push_back(handler);
        if (reporting_)
            return;
        while (!waiting_.empty()) {
            const ClickHandler next = waiting_.front();
            waiting_.pop_front();
            run(next);
        }
    }

    // An error report on screen, for as long as it lives.
    class Report {
    public:
        explicit Report(ClickOrder& order) : order_(order) { order_.reporting_ = true; }
        ~Report() { order_.reporting_ = false; }
        Report(const Report&) = delete;
        Report& operator=(const Report&) = delete;

    private:
        ClickOrder& order_;
    };

private:
    bool reporting_ = false;
    std::deque<ClickHandler> waiting_;
};

} // namespace kvix
