// The image of the resource section our Linux executables carry (its layout is in
// posix/resources.h), made at build time from the resources to link in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace winposix {

// A resource to put into a section image.
struct ResourceInput {
  uint32_t type = 0;
  std::string name;
  std::string data;
};

// The section image for the inputs (names are stored in upper case). Throws
// std::invalid_argument for an empty name, a name with a NUL or a non-ASCII
// byte, or two inputs of the same type and name.
std::string BuildResourceSection(const std::vector<ResourceInput>& inputs);

}  // namespace winposix
