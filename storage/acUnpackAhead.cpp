#include "acUnpackAhead.h"

TUnpackAhead::TUnpackAhead(TSFPackBlockReader& reader) : reader_(reader) {
  for (Slot& s : slots_) s.bytes.reset(new std::uint8_t[kBatch]);
  worker_ = std::thread([this] { Run(); });
}

TUnpackAhead::~TUnpackAhead() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void TUnpackAhead::Run() {
  for (int i = 0;; i ^= 1) {
    Slot& slot = slots_[i];
    {
      std::unique_lock<std::mutex> guard(lock_);
      changed_.wait(guard, [&] { return stop_ || slot.state == State::Free; });
      if (stop_) return;
    }
    // The slot is this thread's until it is marked ready.
    std::size_t filled = 0;
    bool end = false;
    std::exception_ptr error;
    try {
      std::size_t n = 0;
      while (filled + SFPackBlockSize <= kBatch) {
        if (!reader_.NextInto(slot.bytes.get() + filled, n)) {
          end = true;
          break;
        }
        filled += n;
      }
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> guard(lock_);
      slot.n = filled;
      slot.consumed = reader_.Consumed();
      slot.end = end;
      slot.error = error;
      slot.state = State::Ready;
    }
    changed_.notify_all();
    if (end || error) return;
  }
}

bool TUnpackAhead::Next(const std::uint8_t*& data, std::size_t& n, std::size_t& consumed) {
  std::unique_lock<std::mutex> guard(lock_);
  Slot& previous = slots_[current_ ^ 1];
  if (previous.state == State::Held) {
    previous.state = State::Free;
    changed_.notify_all();
  }
  Slot& slot = slots_[current_];
  changed_.wait(guard, [&] { return slot.state == State::Ready || slot.state == State::Held; });
  if (slot.state == State::Held) return false;  // the end was handed over already
  // Bytes unpacked before an error are handed over first; the error comes with the next call.
  if (slot.n == 0) {
    if (slot.error) std::rethrow_exception(slot.error);
    slot.state = State::Held;
    return false;
  }
  data = slot.bytes.get();
  n = slot.n;
  consumed = slot.consumed;
  if (slot.end || slot.error) {
    // The last batch: the next call ends (or raises) from this slot's copy of the outcome.
    slots_[current_ ^ 1].error = slot.error;
    slots_[current_ ^ 1].n = 0;
    slots_[current_ ^ 1].state = State::Ready;
    slot.state = State::Held;
    slot.error = nullptr;
    current_ ^= 1;
    // The slot just handed over is released on the next call, as any other.
    return true;
  }
  slot.state = State::Held;
  current_ ^= 1;
  return true;
}
