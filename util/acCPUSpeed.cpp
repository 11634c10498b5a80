// Measuring the processor clock with the time-stamp counter.
#include "acUtils.h"

namespace {

// Raises the process to real-time and the thread to time-critical priority
// for its lifetime; restores the thread's, then the process's priority when
// it ends, also when the measurement throws. A priority that could not be
// read is left alone, since it could not be restored.
class RaisedPriority {
 public:
  RaisedPriority()
      : process_(GetCurrentProcess()),
        thread_(GetCurrentThread()),
        priorityClass_(GetPriorityClass(process_)),
        threadPriority_(GetThreadPriority(thread_)) {
    if (priorityClass_ != 0) SetPriorityClass(process_, REALTIME_PRIORITY_CLASS);
    if (threadPriority_ != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL);
  }
  ~RaisedPriority() {
    if (threadPriority_ != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(thread_, threadPriority_);
    if (priorityClass_ != 0) SetPriorityClass(process_, priorityClass_);
  }
  RaisedPriority(const RaisedPriority&) = delete;
  RaisedPriority& operator=(const RaisedPriority&) = delete;

 private:
  HANDLE process_;
  HANDLE thread_;
  DWORD priorityClass_;
  int threadPriority_;
};

}  // namespace

int CPUSpeedFromCounters(std::uint64_t first, std::uint64_t second) {
  // 40 ms hold 40,000 microseconds; counts per microsecond, cut to tens.
  const auto difference = static_cast<std::uint32_t>(second - first);
  return static_cast<int>(difference / 400000u) * 10;
}

int MeasureCPUSpeed(const std::function<std::uint64_t()>& readCounter) {
  std::uint64_t first = 0;
  std::uint64_t second = 0;
  {
    RaisedPriority raised;
    Sleep(10);
    first = readCounter();
    Sleep(40);
    second = readCounter();
  }
  return CPUSpeedFromCounters(first, second);
}

int GetCPUSpeed() { return MeasureCPUSpeed(ReadTimeStampCounter); }
