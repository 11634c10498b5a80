#include "cli_error.h"

std::string AtOffset(const std::string& file, const std::string& what, unsigned long long offset) {
  return file + ": " + what + " at offset " + std::to_string(offset);
}
