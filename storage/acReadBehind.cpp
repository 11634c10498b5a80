#include "acReadBehind.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "acSFPackStream.h"
#include "acUnpackAhead.h"
#include "platform/mappedread.h"
#include "platform/prefetch.h"
#include "platform/winapi.h"

TReadBehind::~TReadBehind() {
  if (consumed_ > released_) VirtualUnlock(const_cast<std::uint8_t*>(start_ + released_), consumed_ - released_);
}

void TReadBehind::Done(std::size_t consumed) {
  constexpr std::size_t kAhead = 4u << 20;
  if (consumed + kAhead / 2 >= prefetched_) {
    const std::size_t from = std::max(prefetched_, consumed);
    const std::size_t to = std::min(size_, from + kAhead);
    if (to > from) {
      PrefetchMappedBytes(start_ + from, to - from);
      prefetched_ = to;
    }
  }
  constexpr std::size_t kStep = 16u << 20;
  consumed_ = consumed;
  if (consumed < released_ + kStep) return;
  // Unlocking pages that were never locked takes them out of the working set.
  VirtualUnlock(const_cast<std::uint8_t*>(start_ + released_), consumed - released_);
  released_ = consumed;
}

namespace {

// A content is packed in parts of 16 blocks. The calling thread packs the first blocks of each
// part and writes everything; a helper thread packs the rest of the part meanwhile, and the next
// part's rest while the calling thread writes, so packing runs on two cores in the order the
// frames are written (the bytes are those of packing on one thread). Parts are small so that
// the two buffers stay in the cache.
constexpr std::size_t kPart = SFPackBlockSize * 16;
constexpr std::size_t kOwn = SFPackBlockSize * 6;

struct Part {
  std::size_t at = 0, own = 0, rest = 0;  // where it starts; bytes the caller packs; bytes packed ahead
};

Part PartAt(std::size_t at, std::size_t n) {
  const std::size_t len = std::min(kPart, n - at);
  const std::size_t own = std::min(len, kOwn);
  return {at, own, len - own};
}

// Stretches of a content to pack: in place, or, for a mapping read through its file, copied
// into a buffer of one part that each thread has for itself.
class TSourceReader {
 public:
  TSourceReader(const std::uint8_t* source, bool throughFile)
      : source_(source), buffer_(throughFile ? new std::uint8_t[kPart] : nullptr) {}
  const std::uint8_t* Get(std::size_t at, std::size_t len) {
    if (!buffer_) return source_ + at;
    CopyMappedBytes(buffer_.get(), source_ + at, len);
    return buffer_.get();
  }

 private:
  const std::uint8_t* source_;
  std::unique_ptr<std::uint8_t[]> buffer_;
};

// Packs one stretch at a time on a thread of its own.
class TPackHelper {
 public:
  TPackHelper(const std::uint8_t* source, bool throughFile) : source_(source, throughFile) {
    // The buffers first: a failure to make them leaves no thread running.
    for (auto& b : buffers_) b.reserve(kPart - kOwn + (kPart / SFPackBlockSize) * 4);
    thread_ = std::thread([this] { Run(); });
  }
  ~TPackHelper() {
    {
      std::lock_guard<std::mutex> hold(lock_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  // Starts packing the part's rest into buffer slot.
  void Start(const Part& part, int slot) {
    {
      std::lock_guard<std::mutex> hold(lock_);
      job_ = part;
      slot_ = slot;
      busy_ = true;
    }
    changed_.notify_all();
  }
  // Waits for the job started last; its frames.
  const std::vector<std::uint8_t>& Finish(int slot) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return !busy_; });
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return buffers_[slot];
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
      changed_.wait(hold, [this] { return stop_ || busy_; });
      if (!busy_) return;
      const Part part = job_;
      std::vector<std::uint8_t>& out = buffers_[slot_];
      hold.unlock();
      try {
        out.clear();
        PackBlocksTo(source_.Get(part.at + part.own, part.rest), part.rest,
                     [&out](const std::uint8_t* p, std::size_t k) { out.insert(out.end(), p, p + k); });
      } catch (...) {
        hold.lock();
        error_ = std::current_exception();
        hold.unlock();
      }
      hold.lock();
      busy_ = false;
      changed_.notify_all();
    }
  }

  TSourceReader source_;
  std::vector<std::uint8_t> buffers_[2];
  Part job_;
  int slot_ = 0;
  bool busy_ = false, stop_ = false;
  std::exception_ptr error_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::thread thread_;
};

}  // namespace

std::uint64_t PackBlocksBehind(const std::uint8_t* source, std::size_t n,
                               const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
  // A mapping read through its file never brings its pages in; any other is read in place,
  // its pages given back behind.
  const bool throughFile = n > kPart && IsReadThroughFile(source, n);
  std::optional<TReadBehind> behind;
  if (!throughFile) behind.emplace(source, n);
  if (n <= kPart) {
    const std::uint64_t written = PackBlocksTo(source, n, sink);
    behind->Done(n);
    return written;
  }
  TSourceReader own(source, throughFile);
  TPackHelper helper(source, throughFile);  // after behind: stopped before the pages are given back
  int slot = 0;
  Part part = PartAt(0, n);
  helper.Start(part, slot);
  std::uint64_t written = 0;
  for (;;) {
    written += PackBlocksTo(own.Get(part.at, part.own), part.own, sink);
    const std::vector<std::uint8_t>& frames = helper.Finish(slot);
    const std::size_t next = part.at + part.own + part.rest;
    const bool more = next < n;
    if (more) {
      part = PartAt(next, n);
      helper.Start(part, slot ^ 1);
    }
    sink(frames.data(), frames.size());
    written += frames.size();
    if (behind) behind->Done(next);
    if (!more) return written;
    slot ^= 1;
  }
}

void UnpackBlocksBehind(const std::uint8_t* blocks, std::size_t size, std::uint64_t announced, std::size_t base,
                        const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
  TSFPackBlockReader reader(blocks, size, announced, base);
  std::optional<TReadBehind> behind;
  if (!reader.ReadsThroughFile()) behind.emplace(blocks, size);
  std::unique_ptr<TUnpackAhead> ahead;  // after behind: stopped before the pages are given back
  if (announced >= 2 * TUnpackAhead::kBatch) ahead = std::make_unique<TUnpackAhead>(reader);
  const std::uint8_t* piece;
  std::size_t n, consumed = 0;
  while (ahead ? ahead->Next(piece, n, consumed) : reader.Next(piece, n)) {
    sink(piece, n);
    if (behind) behind->Done(ahead ? consumed : reader.Consumed());
  }
}
