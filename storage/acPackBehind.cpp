// PackBlocksBehind: a large content packed on two threads, read once.
//
// The content goes in parts of 16 blocks. Each part is brought in by two threads: a helper
// reads its first blocks and the calling thread the rest, each straight into the part's buffer
// (read through the file for a mapping that can be read so; in place otherwise). The helper
// packs the part's first blocks and the caller the rest; the caller then writes the frames in
// order, while the helper goes on with the next part. With an observer (a digest, which costs
// more than packing) the helper observes the whole part in order and the caller packs all of
// it, so the two threads carry about the same load either way. The frames are those of
// packing on one thread; parts are small so that two parts' buffers stay in the cache.
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "acReadBehind.h"
#include "acSFPackStream.h"
#include "platform/mappedread.h"

namespace {

constexpr std::size_t kPart = SFPackBlockSize * 16;
// Bytes of a part the helper reads (the caller reads the rest), without and with an observer.
constexpr std::size_t kHelperReads = SFPackBlockSize * 10;
constexpr std::size_t kHelperReadsObserving = SFPackBlockSize * 3;

class TPackHelper {
 public:
  TPackHelper(const std::uint8_t* source, std::size_t n, bool throughFile, const PieceSink& observe)
      : source_(source),
        n_(n),
        helperReads_(observe ? kHelperReadsObserving : kHelperReads),
        helperPacks_(observe ? 0 : kHelperReads),
        observe_(observe) {
    // The buffers first: a failure to make them leaves no thread running.
    for (int i = 0; i < 2; ++i) {
      if (throughFile) buffers_[i].reset(new std::uint8_t[kPart]);
      frames_[i].reserve(kPart + (kPart / SFPackBlockSize) * 4);
    }
    own_.reserve(kPart + (kPart / SFPackBlockSize) * 4);
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

  // The caller's share of part k (parts in order from 0): reads the part's rest, packs its
  // share, and hands the part's frames to sink in order. Returns the bytes handed over.
  std::uint64_t Follow(std::size_t k, const PieceSink& sink) {
    const std::size_t len = Length(k);
    const std::size_t reads = std::min(len, helperReads_), packs = std::min(len, helperPacks_);
    Wait([&] { return helperDone_ + 1 >= k; });  // the helper is done with part k - 2
    const std::uint8_t* bytes = Bring(k, reads, len);
    Set(callerRead_, k + 1);
    if (packs < reads) Wait([&] { return helperRead_ > k; });
    own_.clear();
    PackBlocksTo(bytes + packs, len - packs,
                 [this](const std::uint8_t* p, std::size_t m) { own_.insert(own_.end(), p, p + m); });
    Wait([&] { return helperPacked_ > k; });
    const std::vector<std::uint8_t>& first = frames_[k % 2];
    sink(first.data(), first.size());
    sink(own_.data(), own_.size());
    // Counted before the part goes back: the helper refills its frames for part k + 2 at once.
    const std::uint64_t written = first.size() + own_.size();
    Set(callerDone_, k + 1);
    return written;
  }

  // Waits until the helper is done with the first `parts` parts (the observer has seen all of
  // them); raises what stopped it.
  void Finish(std::size_t parts) {
    Wait([&] { return helperDone_ >= parts; });
  }

  std::size_t Length(std::size_t k) const { return std::min(kPart, n_ - k * kPart); }

 private:
  template <class Ready>
  void Wait(Ready ready) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return error_ || ready(); });
    if (error_) std::rethrow_exception(error_);
  }
  void Set(std::size_t& counter, std::size_t value) {
    {
      std::lock_guard<std::mutex> hold(lock_);
      counter = value;
    }
    changed_.notify_all();
  }
  // Brings bytes [from, to) of part k into its buffer; returns the part's first byte.
  const std::uint8_t* Bring(std::size_t k, std::size_t from, std::size_t to) {
    const std::uint8_t* at = source_ + k * kPart;
    std::uint8_t* buffer = buffers_[k % 2].get();
    if (!buffer) return at;
    if (to > from) CopyMappedBytes(buffer + from, at + from, to - from);
    return buffer;
  }

  void Run() {
    try {
      for (std::size_t k = 0; k * kPart < n_; ++k) {
        const std::size_t len = Length(k);
        const std::size_t reads = std::min(len, helperReads_), packs = std::min(len, helperPacks_);
        {
          // Part k's slot is free once the caller is done with part k - 2.
          std::unique_lock<std::mutex> hold(lock_);
          changed_.wait(hold, [&] { return stop_ || callerDone_ + 1 >= k; });
          if (stop_) return;
        }
        const std::uint8_t* bytes = Bring(k, 0, reads);
        Set(helperRead_, k + 1);
        if (observe_) observe_(bytes, reads);
        std::vector<std::uint8_t>& frames = frames_[k % 2];
        frames.clear();
        PackBlocksTo(bytes, packs, [&frames](const std::uint8_t* p, std::size_t m) { frames.insert(frames.end(), p, p + m); });
        Set(helperPacked_, k + 1);
        if (observe_ && len > reads) {
          {
            std::unique_lock<std::mutex> hold(lock_);
            changed_.wait(hold, [&] { return stop_ || callerRead_ > k; });
            if (stop_) return;
          }
          observe_(bytes + reads, len - reads);
        }
        Set(helperDone_, k + 1);
      }
    } catch (...) {
      {
        std::lock_guard<std::mutex> hold(lock_);
        error_ = std::current_exception();
      }
      changed_.notify_all();
    }
  }

  const std::uint8_t* source_;
  std::size_t n_;
  std::size_t helperReads_;  // bytes of a part the helper reads; the caller reads the rest
  std::size_t helperPacks_;  // bytes of a part the helper packs; the caller packs the rest
  const PieceSink& observe_;
  std::unique_ptr<std::uint8_t[]> buffers_[2];  // parts k % 2, when read through the file
  std::vector<std::uint8_t> frames_[2];         // the helper's frames of parts k % 2
  std::vector<std::uint8_t> own_;               // the caller's frames of its part
  // Parts in order: how many the helper has read (its share), packed, and finished (observed
  // whole); how many the caller has read (its share) and finished.
  std::size_t helperRead_ = 0, helperPacked_ = 0, helperDone_ = 0, callerRead_ = 0, callerDone_ = 0;
  bool stop_ = false;
  std::exception_ptr error_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::thread thread_;
};

}  // namespace

std::uint64_t PackBlocksBehind(const std::uint8_t* source, std::size_t n, const PieceSink& sink,
                               const PieceSink& observe) {
  // A mapping read through its file never brings its pages in; any other is read in place,
  // its pages given back behind.
  const bool throughFile = n > kPart && IsReadThroughFile(source, n);
  std::optional<TReadBehind> behind;
  if (!throughFile) behind.emplace(source, n);
  if (n <= kPart) {
    if (observe) observe(source, n);
    const std::uint64_t written = PackBlocksTo(source, n, sink);
    behind->Done(n);
    return written;
  }
  TPackHelper helper(source, n, throughFile, observe);  // after behind: stopped before the pages are given back
  std::uint64_t written = 0;
  std::size_t k = 0;
  for (; k * kPart < n; ++k) {
    written += helper.Follow(k, sink);
    if (behind) behind->Done(k * kPart + helper.Length(k));
  }
  helper.Finish(k);
  return written;
}
