// Text and command-line helpers of acUtils: leading characters, splitting at
// a separator, hexadecimal digits and splitting a shell command line into
// program and parameters. They hold no state and touch no system service.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// Flags of SplitAtSeparator; the numeric value is the bit number in the set.
enum TSplitOption : unsigned {
  soSeparatorToLeft = 0,   // the separator is appended to the left part
  soSeparatorToRight = 1,  // the separator is put in front of the right part
};

// A set of TSplitOption (bit 0: soSeparatorToLeft, bit 1: soSeparatorToRight).
class TSplitOptions {
 public:
  constexpr TSplitOptions() = default;
  constexpr TSplitOptions(std::initializer_list<TSplitOption> options) {
    for (TSplitOption option : options) bits_ |= Bit(option);
  }
  constexpr bool Contains(TSplitOption option) const { return (bits_ & Bit(option)) != 0; }
  constexpr std::uint8_t Bits() const { return bits_; }
  constexpr bool operator==(const TSplitOptions&) const = default;

 private:
  static constexpr std::uint8_t Bit(TSplitOption option) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(option));
  }
  std::uint8_t bits_ = 0;
};

// The text itself if it begins with `c`, otherwise `c` followed by the text.
std::string EnsureLeadingChar(const std::string& text, char c);

// The text without every leading occurrence of `c`.
std::string StripLeadingChars(const std::string& text, char c);

// Splits `text` at the first occurrence of `separator` into `left` (before it)
// and `right` (after it); the options add the separator to either part. When
// the separator is absent the whole text goes to `left`, or to `right` when
// `notFoundToRight` is set, and the other part is empty.
void SplitAtSeparator(const std::string& separator, const std::string& text, std::string& left, std::string& right,
                      bool notFoundToRight, TSplitOptions options);

// Splits a shell command line (as the registry holds it for an open verb)
// into the program part, left in `command`, and the rest, left in
// `parameters`. A command that is empty after trimming leaves `parameters`
// as they were.
void SplitCommandLine(std::string& command, std::string& parameters);

// Upper-case hexadecimal digits: two for a byte, four for a word (high byte
// first), and for a 32-bit value the eight digits without leading zeros
// (at least one digit remains).
std::string ByteToHex(std::uint8_t value);
std::string WordToHex(std::uint16_t value);
std::string LongToHex(std::uint32_t value);
