// Errors of the stowaway tool and the exit status each one ends with.
#pragma once

#include <stdexcept>
#include <string>

enum ExitStatus { ExitOk = 0, ExitBadInput = 1, ExitUsage = 2 };

// Wrong use of the command line: exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Input that cannot be processed: exit status 1. The message names the file, what is wrong
// and, where it makes sense, the byte offset.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "FILE: WHAT at offset N"
std::string AtOffset(const std::string& file, const std::string& what, unsigned long long offset);
