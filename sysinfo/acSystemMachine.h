#pragma once
// Machine facts as TacSystemInfo reads them: the processor's registry description, memory,
// the serial number of drive C and the time since the system started.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/winapi.h"

// HKLM "hardware\DESCRIPTION\System\CentralProcessor\0" values "Identifier" and
// "VendorIdentifier"; empty when missing.
std::string ReadCPUIdentifier();
std::string ReadCPUVendor();

// A memory size as the 32-bit Cardinal properties carry it: sizes beyond 4 GiB - 1 read as
// 4 GiB - 1 rather than wrapping to a small number.
std::uint32_t MemorySizeCardinal(SIZE_T bytes);

// The volume serial number of "C:\"; nothing when the platform cannot tell.
std::optional<std::uint32_t> ReadDiskCSerialNumber();

// A serial number as text: the hexadecimal digits of LongToHex (upper case, leading zeros
// dropped down to one digit) with "-" inserted before the fifth character, or appended when
// there are fewer than five: 0x1A2B3C4D gives "1A2B-3C4D", 0x0000ABCD "ABCD-", 0 "0-".
std::string SerialNumberText(std::uint32_t serial);

// Whole seconds in a tick count of milliseconds, read as unsigned: the count wraps to 0
// after 2^32 ms (49.7 days), and so does the result.
int UpTimeSeconds(DWORD ticks);
