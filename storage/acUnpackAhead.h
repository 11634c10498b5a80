// Unpacking ahead on a second thread: while the caller writes one batch of unpacked blocks
// (to a file, a stream, a digest), the next batch is unpacked into a second buffer, so the two
// jobs overlap on two cores. Memory stays bounded: two batches of 16 blocks.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "acSFPackStream.h"

class TUnpackAhead {
 public:
  // Reads the blocks through reader, which must outlive this object.
  explicit TUnpackAhead(TSFPackBlockReader& reader);
  // Stops the unpacking thread (after the batch it works on) and waits for it.
  ~TUnpackAhead();
  TUnpackAhead(const TUnpackAhead&) = delete;
  TUnpackAhead& operator=(const TUnpackAhead&) = delete;

  // The next batch's bytes, valid until the next call, and how far the reader had consumed the
  // blocks when it was made; false after the last one. An error of the reader (ESFPackError)
  // is raised here, in the caller's thread, once the batches before it have been handed over.
  bool Next(const std::uint8_t*& data, std::size_t& n, std::size_t& consumed);

  static constexpr std::size_t kBatch = 16 * SFPackBlockSize;

 private:
  enum class State { Free, Ready, Held };
  struct Slot {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t n = 0, consumed = 0;
    bool end = false;  // no batch follows this one
    std::exception_ptr error;
    State state = State::Free;
  };

  void Run();

  TSFPackBlockReader& reader_;
  Slot slots_[2];
  int current_ = 0;  // the slot the caller takes next
  bool stop_ = false;
  std::mutex lock_;
  std::condition_variable changed_;
  std::thread worker_;
};
