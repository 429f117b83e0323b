// Results found on a worker thread, handed in order to the thread that talks to the sink.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

// A bounded queue of fixed-size records of 64-bit values, for one producer and one consumer.
// Records pass in batches, so the lock is taken once per batch, not once per result; the memory
// is fixed at construction, whatever the number of results or the size of a record.
class ResultQueue {
  public:
    // A record whose first value is this marks the end of a slice.
    static constexpr std::int64_t kSliceEnd = -1;

    // Takes about `bytes` for records of `recordSize` values, and never less than three records
    // (one being pushed, one in the ring, one being popped).
    ResultQueue(std::size_t recordSize, std::size_t bytes);
    ResultQueue(const ResultQueue&) = delete;  // shared by two threads by reference
    ResultQueue& operator=(const ResultQueue&) = delete;

    // Producer: appends a record (its first value is not kSliceEnd); waits while the queue is
    // full. False once the queue is closed.
    bool Push(const std::int64_t* record);
    // Producer: ends the slice and passes on everything pushed so far. False once closed.
    bool EndSlice();

    enum class Take { Record, SliceEnd, NothingYet, Closed };
    // Consumer: copies the oldest record to `record`, waiting at most `wait` for one to arrive.
    Take Pop(std::int64_t* record, std::chrono::milliseconds wait);

    // Either side: wakes the other and makes every later Push and EndSlice answer false.
    void Close();

  private:
    bool Flush();

    static std::size_t RingRecords(std::size_t recordSize, std::size_t bytes);
    static std::size_t BatchRecords(std::size_t recordSize, std::size_t bytes);

    const std::size_t recordSize_;
    const std::size_t batchRecords_;
    const std::size_t ringRecords_;

    // Producer only: records pushed but not yet passed on.
    // Left uninitialised: only the slots that records reach are ever written or touched.
    std::unique_ptr<std::int64_t[]> staged_;
    std::size_t stagedCount_ = 0;
    // Consumer only: records taken out of the ring and not yet popped.
    std::unique_ptr<std::int64_t[]> taken_;
    std::size_t takenCount_ = 0;
    std::size_t takenNext_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::unique_ptr<std::int64_t[]> ring_;  // guarded by mutex_, as are the three below
    std::size_t head_ = 0;                  // the oldest record's slot
    std::size_t count_ = 0;
    bool closed_ = false;
};
