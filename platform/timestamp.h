// The processor's time-stamp counter.
#pragma once

#include <cstdint>

#if defined(_MSC_VER)
#include <intrin.h>
#elif defined(_WIN32)
#include <windows.h>
// <winnt.h> makes ReadTimeStampCounter a macro for __rdtsc; ours is the function below.
#undef ReadTimeStampCounter
#elif defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#else
#include <chrono>
#endif

// The time-stamp counter (RDTSC) on x86; elsewhere a monotonic clock in
// nanoseconds, which counts at a nominal 1000 MHz.
inline uint64_t ReadTimeStampCounter() {
#if defined(_MSC_VER) || defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
#endif
}
