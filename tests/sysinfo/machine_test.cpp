// Machine facts against what the machine itself reports: processor record and count, memory
// (against /proc/meminfo on Linux), uptime (against /proc/uptime on Linux), the clock against
// the steady clock, and the serial number of drive C with its texts.
#include <gmock/gmock.h>
#ifndef _WIN32
#include <sys/statfs.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "sysinfo/acProcessorRecord.h"
#include "sysinfo/acSystemMachine.h"
#ifndef _WIN32
#include "platform/posix/procinfo.h"
#include "platform/posix/volume.h"
#endif
#include "sysinfo_fixture.h"
#include "platform/wholefile.h"

namespace {

class MachineTest : public SystemInfoTest {
 protected:
  int64_t Ord(const std::string& name) { return Prop(name).GetOrd(*info); }
};

// ---- processor record --------------------------------------------------------------------

TEST(ProcessorRecord, FromSystemInfo) {
  const struct {
    WORD architecture;
    DWORD type;
    TacCPUArchitecture expectedArchitecture;
    TacCPUType expectedType;
  } cases[] = {
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_386, paINTEL, ptIntel386},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_486, paINTEL, ptIntel486},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, paINTEL, ptPentium},
      {PROCESSOR_ARCHITECTURE_INTEL, 686, paINTEL, ptUNKNOWN},
      {PROCESSOR_ARCHITECTURE_MIPS, PROCESSOR_MIPS_R4000, paMIPS, ptUNKNOWN},
      {PROCESSOR_ARCHITECTURE_MIPS, PROCESSOR_INTEL_386, paMIPS, ptUNKNOWN},
      {PROCESSOR_ARCHITECTURE_ALPHA, PROCESSOR_ALPHA_21064, paALPHA, ptUNKNOWN},
      {PROCESSOR_ARCHITECTURE_PPC, PROCESSOR_PPC_601, paPPC, ptUNKNOWN},
      {PROCESSOR_ARCHITECTURE_UNKNOWN, 0, paUNKNOWN, ptUNKNOWN},
      // Codes the record does not know keep the initial paINTEL, with no type.
      {PROCESSOR_ARCHITECTURE_AMD64, PROCESSOR_AMD_X8664, paINTEL, ptUNKNOWN},
      {PROCESSOR_ARCHITECTURE_AMD64, PROCESSOR_INTEL_PENTIUM, paINTEL, ptUNKNOWN},
      {PROCESSOR_ARCHITECTURE_ARM64, 0, paINTEL, ptUNKNOWN},
      {PROCESSOR_ARCHITECTURE_IA64, PROCESSOR_INTEL_IA64, paINTEL, ptUNKNOWN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.architecture) + "/" + std::to_string(c.type));
    SYSTEM_INFO si{};
    si.wProcessorArchitecture = c.architecture;
    si.dwProcessorType = c.type;
    si.dwNumberOfProcessors = 12;
    const TacCPUInfo record = CPUInfoFromSystemInfo(si);
    EXPECT_EQ(record.Architecture, c.expectedArchitecture);
    EXPECT_EQ(record.CPUType, c.expectedType);
    EXPECT_EQ(record.Count, 12);
  }
}

TEST(ProcessorRecord, IdentifierNames) {
  EXPECT_EQ(TacCPUArchitectureNames.Count(), 5);
  EXPECT_EQ(TacCPUArchitectureNames.NameOf(paUNKNOWN), "paUNKNOWN");
  EXPECT_EQ(TacCPUTypeNames.Count(), 6);
  EXPECT_EQ(TacCPUTypeNames.NameOf(ptMIPS_R4000), "ptMIPS_R4000");
  EXPECT_EQ(TacCPUTypeNames.NameOf(ptUNKNOWN), "ptUNKNOWN");
}

#ifndef _WIN32  // the Linux platform's processor facts against the kernel's
TEST(ProcessorRecord, SystemInfoMatchesTheKernel) {
  SYSTEM_INFO si{};
  GetSystemInfo(&si);
  EXPECT_EQ(si.dwNumberOfProcessors, static_cast<DWORD>(sysconf(_SC_NPROCESSORS_ONLN)));
  EXPECT_EQ(si.dwPageSize, static_cast<DWORD>(sysconf(_SC_PAGESIZE)));
  EXPECT_LT(si.lpMinimumApplicationAddress, si.lpMaximumApplicationAddress);
  // This very function lies inside the application's address range.
  const auto here = reinterpret_cast<uintptr_t>(&GetSystemInfo);
  EXPECT_GE(here, reinterpret_cast<uintptr_t>(si.lpMinimumApplicationAddress));
  EXPECT_LE(here, reinterpret_cast<uintptr_t>(si.lpMaximumApplicationAddress));
#if defined(__x86_64__)
  EXPECT_EQ(si.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
  EXPECT_EQ(si.dwProcessorType, static_cast<DWORD>(PROCESSOR_AMD_X8664));
  const auto fields = winposix::FirstProcessorFields(wholefile::Read("/proc/cpuinfo"));
  ASSERT_TRUE(fields.count("cpu family") && fields.count("model"));
  EXPECT_EQ(std::to_string(si.wProcessorLevel), fields.at("cpu family"));
  EXPECT_EQ(std::to_string(si.wProcessorRevision >> 8), fields.at("model"));
#endif
}

TEST(ProcessorRecord, CpuInfoFields) {
  const std::string text =
      "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\n"
      "model name\t: Intel(R) Core(TM) i7\nstepping\t: 10\n\nprocessor\t: 1\nmodel\t\t: 99\n";
  const auto fields = winposix::FirstProcessorFields(text);
  EXPECT_EQ(fields.at("model name"), "Intel(R) Core(TM) i7");
  EXPECT_EQ(fields.at("model"), "158");  // the first processor's, not the second's
  WORD level = 0, revision = 0;
  ASSERT_TRUE(winposix::X86LevelAndRevision(fields, level, revision));
  EXPECT_EQ(level, 6);
  EXPECT_EQ(revision, 158 << 8 | 10);
  // An ARM block has none of the x86 fields.
  EXPECT_FALSE(winposix::X86LevelAndRevision(winposix::FirstProcessorFields("processor : 0\nCPU implementer : 0x41\n"),
                                             level, revision));
}
#endif

TEST_F(MachineTest, ProcessorProperties) {
  InitSystemInfoUnit();
  const TacCPUInfo& record = StartupCPUInfo();
  EXPECT_EQ(&record, &StartupCPUInfo());  // taken once
  SYSTEM_INFO si{};
  GetSystemInfo(&si);
  EXPECT_EQ(Ord("CPUsNumber"), static_cast<int64_t>(si.dwNumberOfProcessors));
  EXPECT_EQ(Ord("CPUArchitecture"), record.Architecture);
  EXPECT_EQ(Ord("CPUType"), record.CPUType);
  const TacCPUInfo fresh = CPUInfoFromSystemInfo(si);
  EXPECT_EQ(record.Architecture, fresh.Architecture);
  EXPECT_EQ(record.CPUType, fresh.CPUType);
  // The registry description the platform seeds from /proc/cpuinfo.
  const std::string key = "hardware\\DESCRIPTION\\System\\CentralProcessor\\0";
  PutReg(HKEY_LOCAL_MACHINE, key, "Identifier", "x86 Family 6 Model 8 Stepping 3");
  PutReg(HKEY_LOCAL_MACHINE, key, "VendorIdentifier", "GenuineIntel");
  EXPECT_EQ(Get("CPUIdentifier"), "x86 Family 6 Model 8 Stepping 3");
  EXPECT_EQ(Get("CPUVendor"), "GenuineIntel");
}

// The clock measured by the property against the counter's rate over the steady clock.
TEST_F(MachineTest, FrequencyAgainstTheSteadyClock) {
  const auto start = std::chrono::steady_clock::now();
  const uint64_t first = ReadTimeStampCounter();
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  const uint64_t second = ReadTimeStampCounter();
  const double micros = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  const double reference = static_cast<double>(second - first) / micros;

  // A busy machine oversleeps, which the property counts as clock: only ever too high, so the
  // lowest of up to three readings is the one to judge.
  int64_t measured = Ord("CPUFrequency");
  for (int attempt = 1; attempt < 3 && measured >= reference * 1.3; ++attempt)
    measured = std::min(measured, Ord("CPUFrequency"));
  EXPECT_EQ(measured % 10, 0);
  EXPECT_GT(measured, reference * 0.7);
  EXPECT_LT(measured, reference * 1.3);
}

// ---- memory ------------------------------------------------------------------------------

#ifndef _WIN32  // the Linux platform's memory status from /proc/meminfo
TEST(MemoryStatus, FromMemInfoFields) {
  const std::string text =
      "MemTotal:       16000000 kB\nMemFree:         1000000 kB\nMemAvailable:    4000000 kB\n"
      "Buffers:          100000 kB\nCached:          2000000 kB\nSwapTotal:       2000000 kB\n"
      "SwapFree:        1500000 kB\nHugePages_Total:       0\nbroken line\nNoNumber: x kB\n";
  const auto fields = winposix::ParseMemInfo(text);
  EXPECT_EQ(fields.at("MemTotal"), 16000000ull * 1024);
  EXPECT_EQ(fields.at("HugePages_Total"), 0u);  // no unit: taken as it is
  EXPECT_EQ(fields.count("NoNumber"), 0u);

  const MEMORYSTATUS s = winposix::MemoryStatusFrom(fields, 1000000, 250000);
  EXPECT_EQ(s.dwLength, sizeof(MEMORYSTATUS));
  EXPECT_EQ(s.dwTotalPhys, 16000000ull * 1024);
  EXPECT_EQ(s.dwAvailPhys, 4000000ull * 1024);
  EXPECT_EQ(s.dwMemoryLoad, 75u);
  EXPECT_EQ(s.dwTotalPageFile, 18000000ull * 1024);
  EXPECT_EQ(s.dwAvailPageFile, 5500000ull * 1024);
  EXPECT_EQ(s.dwTotalVirtual, 1000000u);
  EXPECT_EQ(s.dwAvailVirtual, 750000u);

  // Older kernels without MemAvailable: free, buffers and cache count as available.
  auto old = fields;
  old.erase("MemAvailable");
  EXPECT_EQ(winposix::MemoryStatusFrom(old, 0, 0).dwAvailPhys, 3100000ull * 1024);
  // Nothing known: no division by zero, nothing available beyond the total.
  const MEMORYSTATUS empty = winposix::MemoryStatusFrom({}, 100, 200);
  EXPECT_EQ(empty.dwMemoryLoad, 0u);
  EXPECT_EQ(empty.dwAvailVirtual, 0u);
}
#endif

TEST(MemoryStatus, CardinalSizesSaturate) {
  const struct {
    uint64_t bytes;
    uint32_t cardinal;
  } cases[] = {{0, 0},
               {123456789, 123456789},
               {0xFFFFFFFFull, 0xFFFFFFFFu},
               {0x100000000ull, 0xFFFFFFFFu},
               {16ull << 30, 0xFFFFFFFFu}};
  for (const auto& c : cases) EXPECT_EQ(MemorySizeCardinal(c.bytes), c.cardinal) << c.bytes;
}

#ifndef _WIN32  // the Linux platform's memory status against the kernel's
TEST_F(MachineTest, MemoryAgainstProcMemInfo) {
  const auto meminfo = winposix::ParseMemInfo(wholefile::Read("/proc/meminfo"));
  MEMORYSTATUS s{};
  GlobalMemoryStatus(&s);
  const uint64_t total = meminfo.at("MemTotal");
  EXPECT_EQ(s.dwTotalPhys, total);
  // Available memory moves while the test runs: within 5 % of the total.
  const double tolerance = static_cast<double>(total) * 0.05;
  EXPECT_NEAR(static_cast<double>(s.dwAvailPhys), static_cast<double>(meminfo.at("MemAvailable")), tolerance);
  EXPECT_LE(s.dwMemoryLoad, 100u);
  EXPECT_EQ(s.dwTotalPageFile, total + meminfo.at("SwapTotal"));
  EXPECT_GE(s.dwTotalVirtual, s.dwAvailVirtual);
  EXPECT_GT(s.dwAvailVirtual, 0u);

  EXPECT_EQ(static_cast<uint32_t>(Ord("MemTotalPhisical")), MemorySizeCardinal(total));
  EXPECT_NEAR(static_cast<double>(Ord("MemAvailPhisical")),
              static_cast<double>(MemorySizeCardinal(meminfo.at("MemAvailable"))), tolerance);
  EXPECT_NEAR(static_cast<double>(Ord("MemLoad")), static_cast<double>(s.dwMemoryLoad), 5.0);
  EXPECT_GE(Ord("MemTotalVirtual"), Ord("MemAvailVirtual"));
  EXPECT_EQ(static_cast<uint32_t>(Ord("MemTotalVirtual")), MemorySizeCardinal(s.dwTotalVirtual));
}
#endif

TEST_F(MachineTest, MemoryPropertiesFromTheMemoryStatus) {
  MEMORYSTATUS s{};
  GlobalMemoryStatus(&s);
  EXPECT_GT(s.dwTotalPhys, 0u);
  EXPECT_LE(s.dwAvailPhys, s.dwTotalPhys);
  EXPECT_LE(s.dwMemoryLoad, 100u);
  EXPECT_EQ(static_cast<uint32_t>(Ord("MemTotalPhisical")), MemorySizeCardinal(s.dwTotalPhys));
  EXPECT_GE(Ord("MemTotalVirtual"), Ord("MemAvailVirtual"));
  EXPECT_GT(Ord("MemAvailVirtual"), 0);
}

// ---- drive C and uptime ------------------------------------------------------------------

TEST(DiskSerial, Texts) {
  const struct {
    uint32_t serial;
    int32_t number;
    const char* text;
  } cases[] = {
      {0x1A2B3C4D, 439041101, "1A2B-3C4D"},
      {0x0012ABCD, 0x0012ABCD, "12AB-CD"},
      {0x0000ABCD, 0xABCD, "ABCD-"},
      {0, 0, "0-"},
      {0xF0000001, -268435455, "F000-0001"},
      {0x000ABCDE, 0xABCDE, "ABCD-E"},
      {0x00000001, 1, "1-"},
      {0xFFFFFFFF, -1, "FFFF-FFFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SerialNumberText(c.serial), c.text);
    EXPECT_EQ(static_cast<int32_t>(c.serial), c.number);
  }
}

#ifndef _WIN32  // the Linux platform's serial number of the prefix's file system
TEST(DiskSerial, FromTheFileSystemIdOrElseTheDevice) {
  struct statfs fs {};
  struct stat st {};
  st.st_dev = 0x0000000800000003ull;
  fs.f_fsid.__val[0] = 0x12345678;
  fs.f_fsid.__val[1] = 0x0F0F0F0F;
  EXPECT_EQ(winposix::VolumeSerialNumber(fs, st), 0x12345678u ^ 0x0F0F0F0Fu);
  fs.f_fsid.__val[0] = fs.f_fsid.__val[1] = 0;
  EXPECT_EQ(winposix::VolumeSerialNumber(fs, st), 0x0000000Bu);
}

#endif

TEST_F(MachineTest, DriveCSerial) {
  DWORD serial = 0, maxLength = 0, flags = 0;
  char volume[32] = "x", fsName[32] = {};
  ASSERT_TRUE(GetVolumeInformationA("C:\\", volume, sizeof volume, &serial, &maxLength, &flags, fsName, sizeof fsName));
  EXPECT_GT(maxLength, 0u);
  EXPECT_GT(std::strlen(fsName), 0u);
#ifndef _WIN32  // drive C: of a Linux prefix is the prefix's file system, shown as NTFS
  struct statfs fs {};
  struct stat st {};
  const std::string driveC = Host(Root()).string();
  ASSERT_EQ(statfs(driveC.c_str(), &fs), 0);
  ASSERT_EQ(stat(driveC.c_str(), &st), 0);
  EXPECT_EQ(serial, winposix::VolumeSerialNumber(fs, st));
  EXPECT_STREQ(volume, "");
  EXPECT_STREQ(fsName, "NTFS");
#endif

  EXPECT_EQ(static_cast<uint32_t>(Ord("DiskCSerialNumber")), serial);
  EXPECT_EQ(Get("DiskCSerialNumberStr"), SerialNumberText(serial));
  // Stable: asked again, the same.
  EXPECT_EQ(static_cast<uint32_t>(Ord("DiskCSerialNumber")), serial);
}

TEST_F(MachineTest, VolumeQueryRefusals) {
  DWORD serial = 0;
  const struct {
    const char* root;
    DWORD error;
  } cases[] = {{"C:", ERROR_INVALID_NAME}, {"C:\\windows\\", ERROR_DIR_NOT_ROOT}, {"Q:\\", ERROR_PATH_NOT_FOUND}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.root);
#ifdef _WIN32
    // The root's backslash is required; Wine takes "C:" as the drive's current directory.
    if (std::string(c.root) == "C:") continue;
#endif
    EXPECT_FALSE(GetVolumeInformationA(c.root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), c.error);
  }
  char tiny[2];
  EXPECT_FALSE(GetVolumeInformationA("C:\\", nullptr, 0, nullptr, nullptr, nullptr, tiny, sizeof tiny));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_LENGTH));
}

TEST(UpTime, TicksToSecondsUnsigned) {
  const struct {
    DWORD ticks;
    int seconds;
  } cases[] = {{0, 0},
               {999, 0},
               {1000, 1},
               {86400000, 86400},
               {0x7FFFFFFF, 2147483},
               {0x80000000u, 2147483},
               {0xFFFFFFFFu, 4294967}};
  for (const auto& c : cases) EXPECT_EQ(UpTimeSeconds(c.ticks), c.seconds) << c.ticks;
}

#ifndef _WIN32  // the kernel's own uptime
TEST_F(MachineTest, UpTimeAgainstProcUptime) {
  double seconds = 0;
  std::ifstream("/proc/uptime") >> seconds;
  ASSERT_GT(seconds, 0);
  // The tick count wraps after 2^32 ms; so does the property.
  const double wrapped = std::fmod(seconds * 1000.0, 4294967296.0) / 1000.0;
  EXPECT_NEAR(static_cast<double>(Ord("SystemUpTime")), wrapped, 2.0);
}
#endif

}  // namespace
