#pragma once
// One receive queue: the receive thread appends accepted datagrams, the manage thread takes
// the whole batch at once. The queue is bounded so that a flood of datagrams cannot grow the
// process without limit; beyond the bound new datagrams are dropped and counted.
//
// Locking: lock_ guards records_, signalled_ and the drop counter; it is held only for an
// append, a batch swap or a wait, and nothing else is called while it is held. The queue's
// event is the condition variable with its `signalled_` flag (an auto-reset event: a wait
// that returns clears it).

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "common/wire.h"

class CPacketQueue {
  public:
    static constexpr std::size_t kDefaultCapacity = 65536;

    explicit CPacketQueue(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

    // Appends one record and sets the event. False when the queue is full (the record is
    // dropped and counted); `dropped_total` then holds the new drop count.
    bool Push(const ap_packet_info& record, uint64_t& dropped_total) {
        {
            std::lock_guard<std::mutex> lock(lock_);
            if (records_.size() >= capacity_) {
                dropped_total = ++dropped_;
                return false;
            }
            records_.push_back(record);
            signalled_ = true;
        }
        event_.notify_one();
        return true;
    }

    // Sets the event without a record (used to wake the waiter at shutdown).
    void Signal() {
        {
            std::lock_guard<std::mutex> lock(lock_);
            signalled_ = true;
        }
        event_.notify_all();
    }

    // Waits for the event (without limit), clears it and moves every queued record into
    // `batch`, which is emptied first.
    void WaitAndTakeAll(std::deque<ap_packet_info>& batch) {
        batch.clear();
        std::unique_lock<std::mutex> lock(lock_);
        event_.wait(lock, [this] { return signalled_; });
        signalled_ = false;
        batch.swap(records_);
    }

    // Takes what is queued without waiting.
    void TakeAll(std::deque<ap_packet_info>& batch) {
        batch.clear();
        std::lock_guard<std::mutex> lock(lock_);
        signalled_ = false;
        batch.swap(records_);
    }

    std::size_t Size() const {
        std::lock_guard<std::mutex> lock(lock_);
        return records_.size();
    }
    uint64_t Dropped() const {
        std::lock_guard<std::mutex> lock(lock_);
        return dropped_;
    }
    std::size_t Capacity() const { return capacity_; }

  private:
    const std::size_t capacity_;
    mutable std::mutex lock_;
    std::condition_variable event_;
    std::deque<ap_packet_info> records_;
    bool signalled_ = false;
    uint64_t dropped_ = 0;
};
