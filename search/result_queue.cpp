#include "search/result_queue.h"

#include <algorithm>

namespace {

// The records that `bytes` holds; a record is at least one value.
std::size_t RecordsIn(std::size_t recordSize, std::size_t bytes) {
    return bytes / (std::max<std::size_t>(recordSize, 1) * sizeof(std::int64_t));
}

}  // namespace

// At least half of the bytes for the ring, at most a quarter each for the producer's and the
// consumer's batch: a batch of 256 already takes the lock rarely enough, so small records leave
// the rest to the ring. Records too large for four in the bytes get one place each.
std::size_t ResultQueue::RingRecords(std::size_t recordSize, std::size_t bytes) {
    const std::size_t records = RecordsIn(recordSize, bytes);
    return records >= 4 ? records - 2 * BatchRecords(recordSize, bytes) : 1;
}

std::size_t ResultQueue::BatchRecords(std::size_t recordSize, std::size_t bytes) {
    return std::clamp<std::size_t>(RecordsIn(recordSize, bytes) / 4, 1, 256);
}

ResultQueue::ResultQueue(std::size_t recordSize, std::size_t bytes)
    : recordSize_(recordSize),
      batchRecords_(BatchRecords(recordSize, bytes)),
      ringRecords_(std::max(RingRecords(recordSize, bytes), batchRecords_)),
      staged_(new std::int64_t[recordSize * batchRecords_]),
      taken_(new std::int64_t[recordSize * batchRecords_]),
      ring_(new std::int64_t[recordSize * ringRecords_]) {}

bool ResultQueue::Push(const std::int64_t* record) {
    std::copy(record, record + recordSize_, staged_.get() + stagedCount_ * recordSize_);
    return ++stagedCount_ < batchRecords_ || Flush();
}

bool ResultQueue::EndSlice() {
    std::fill_n(staged_.get() + stagedCount_ * recordSize_, recordSize_, kSliceEnd);
    ++stagedCount_;
    return Flush();
}

bool ResultQueue::Flush() {
    std::unique_lock<std::mutex> lock(mutex_);
    std::size_t done = 0;
    while (done < stagedCount_) {
        changed_.wait(lock, [this] { return closed_ || count_ < ringRecords_; });
        if (closed_) return false;
        for (; done < stagedCount_ && count_ < ringRecords_; ++done, ++count_) {
            const std::size_t slot = (head_ + count_) % ringRecords_;
            std::copy_n(staged_.get() + done * recordSize_, recordSize_,
                        ring_.get() + slot * recordSize_);
        }
        changed_.notify_all();
    }
    stagedCount_ = 0;
    return true;
}

ResultQueue::Take ResultQueue::Pop(std::int64_t* record, std::chrono::milliseconds wait) {
    if (takenNext_ == takenCount_) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, wait, [this] { return closed_ || count_ > 0; }))
            return Take::NothingYet;
        if (count_ == 0) return Take::Closed;
        takenCount_ = std::min(count_, batchRecords_);
        for (std::size_t i = 0; i < takenCount_; ++i) {
            const std::size_t slot = (head_ + i) % ringRecords_;
            std::copy_n(ring_.get() + slot * recordSize_, recordSize_,
                        taken_.get() + i * recordSize_);
        }
        head_ = (head_ + takenCount_) % ringRecords_;
        count_ -= takenCount_;
        takenNext_ = 0;
        changed_.notify_all();
    }
    const std::int64_t* from = taken_.get() + takenNext_++ * recordSize_;
    std::copy_n(from, recordSize_, record);
    return *from == kSliceEnd ? Take::SliceEnd : Take::Record;
}

void ResultQueue::Close() {
    const std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}
