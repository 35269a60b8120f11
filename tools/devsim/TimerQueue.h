#pragma once
// Timed actions of the simulator, earliest first. A heap rather than a wheel: with a few
// thousand pending actions a push or pop costs a dozen comparisons, and an action that no
// longer applies (the device rebooted meanwhile) checks a generation number and does nothing.

#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

namespace devsim {

class TimerQueue {
  public:
    void At(int64_t whenMs, std::function<void()> action) {
        heap_.push(Entry{whenMs, next_++, std::move(action)});
    }
    // Time of the earliest action, or -1 when there is none.
    int64_t NextDue() const { return heap_.empty() ? -1 : heap_.top().when; }
    // Runs every action due at `nowMs`, including ones that those actions add for then.
    void RunDue(int64_t nowMs) {
        while (!heap_.empty() && heap_.top().when <= nowMs) {
            auto action = std::move(const_cast<Entry&>(heap_.top()).action);
            heap_.pop();
            action();
        }
    }
    size_t size() const { return heap_.size(); }

  private:
    struct Entry {
        int64_t when;
        uint64_t seq;  // equal times run in the order they were set
        std::function<void()> action;
        bool operator>(const Entry& o) const {
            return when != o.when ? when > o.when : seq > o.seq;
        }
    };
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> heap_;
    uint64_t next_ = 0;
};

}  // namespace devsim
