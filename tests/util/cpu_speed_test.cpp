// The processor clock: the arithmetic, and the priorities around a measurement.
#include "util/acUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

namespace {

TEST(CPUSpeed, CounterDifferenceIsTruncatedToTens) {
  struct Case {
    std::uint64_t first, second;
    int expected;
  };
  const Case cases[] = {
      {0, 95'999'999, 2390},  // 2399.99 MHz: truncated, not rounded
      {0, 96'000'000, 2400},
      {1'000'000, 96'999'999, 2390},
      {0, 399'999, 0},
      {0, 400'000, 10},
      {5, 5, 0},
      // Only the low 32 bits of the difference count.
      {0, 0x1'0000'0000ull + 800'000, 20},
      {0xFFFF'FFFF'FFFF'0000ull, 0xFFFF'FFFF'FFFF'0000ull + 120'000'000, 3000},
      {0xFFFF'FFFF'FFFF'FFFFull, 399'999, 10},  // the counter wrapped around
      {0, 0xFFFF'FFFFull, 107370},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CPUSpeedFromCounters(c.first, c.second), c.expected) << c.first << " -> " << c.second;
}

struct Priorities {
  DWORD processClass;
  int thread;
};

Priorities Current() { return {GetPriorityClass(GetCurrentProcess()), GetThreadPriority(GetCurrentThread())}; }

TEST(CPUSpeed, MeasuresBetweenTwoReadingsAndRestoresPriorities) {
  const Priorities before = Current();
  int reads = 0;
  Priorities during{};
  const int mhz = MeasureCPUSpeed([&]() -> std::uint64_t {
    during = Current();
    return ++reads == 1 ? 1'000 : 1'000 + 95'999'999;
  });
  EXPECT_EQ(mhz, 2390);
  EXPECT_EQ(reads, 2);
  const Priorities after = Current();
  EXPECT_EQ(after.processClass, before.processClass);
  EXPECT_EQ(after.thread, before.thread);
  // Raised while measuring, where the system lets this process raise them.
  if (during.processClass != before.processClass) {
    EXPECT_EQ(during.processClass, static_cast<DWORD>(REALTIME_PRIORITY_CLASS));
  }
  if (during.thread != before.thread) {
    EXPECT_EQ(during.thread, THREAD_PRIORITY_TIME_CRITICAL);
  }
}

TEST(CPUSpeed, PrioritiesAreRestoredWhenTheMeasurementThrows) {
  const Priorities before = Current();
  int reads = 0;
  EXPECT_THROW(MeasureCPUSpeed([&]() -> std::uint64_t {
                 if (++reads == 2) throw std::runtime_error("counter failed");
                 return 0;
               }),
               std::runtime_error);
  EXPECT_EQ(reads, 2);
  const Priorities after = Current();
  EXPECT_EQ(after.processClass, before.processClass);
  EXPECT_EQ(after.thread, before.thread);
}

TEST(CPUSpeed, RealMeasurementIsAPlausibleMultipleOfTen) {
  const Priorities before = Current();
  const int mhz = GetCPUSpeed();
  EXPECT_EQ(mhz % 10, 0);
  // Any processor of the last decades (or the nominal 1000 MHz clock used
  // where there is no time-stamp counter) counts at 100 MHz or more; the
  // upper bound leaves room for a late wake-up on a loaded machine.
  EXPECT_GE(mhz, 100);
  EXPECT_LE(mhz, 40'000);
  EXPECT_EQ(Current().processClass, before.processClass);
  EXPECT_EQ(Current().thread, before.thread);
}

}  // namespace
