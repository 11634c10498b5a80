#pragma once
// Computer, user, owner and product identity as TacSystemInfo reads and writes it. The
// registry sources differ between the NT family and the other systems; `nt` chooses them
// (the component passes IsWinNT()). All keys are under HKEY_LOCAL_MACHINE.
#include <string>

// What ComputerDescription and ComputerWorkgroup read on NT.
inline constexpr const char* kNotAvailableOnNT = "(not available on NT)";

// The registry's computer name; when it is empty, the platform's computer name.
std::string ReadComputerName();
void WriteComputerName(const std::string& value);

// The registry's current user; when it is empty, the platform's user name.
std::string ReadCurrentUserName();
void WriteCurrentUserName(const std::string& value);

// The network comment and workgroup of the non-NT systems; kNotAvailableOnNT on NT, where
// writing does nothing.
std::string ReadComputerDescription(bool nt);
void WriteComputerDescription(bool nt, const std::string& value);
std::string ReadComputerWorkgroup(bool nt);
void WriteComputerWorkgroup(bool nt, const std::string& value);

// The registered owner and organisation, under the NT or the other systems' version key.
std::string ReadOwnerName(bool nt);
void WriteOwnerName(bool nt, const std::string& value);
std::string ReadOwnerCompany(bool nt);
void WriteOwnerCompany(bool nt, const std::string& value);

// The product identifier and name of the installed system (read only).
std::string ReadWinProductID(bool nt);
std::string ReadWinProductName(bool nt);
