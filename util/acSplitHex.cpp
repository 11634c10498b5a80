// Leading characters, splitting at a separator and hexadecimal digits.
#include "acTextPrimitives.h"
#include "acTextUtils.h"

std::string EnsureLeadingChar(const std::string& text, char c) {
  if (!text.empty() && text[0] == c) return text;
  return std::string(1, c) + text;
}

std::string StripLeadingChars(const std::string& text, char c) {
  const std::size_t first = text.find_first_not_of(c);
  return first == std::string::npos ? std::string() : text.substr(first);
}

void SplitAtSeparator(const std::string& separator, const std::string& text, std::string& left, std::string& right,
                      bool notFoundToRight, TSplitOptions options) {
  // Work on a copy: `text` may be the same object as `left` or `right`.
  const std::string source = text;
  const int at = actext::Find(separator, source);
  if (at == 0) {
    left = notFoundToRight ? std::string() : source;
    right = notFoundToRight ? source : std::string();
    return;
  }
  const int length = static_cast<int>(source.size());
  const int separatorLength = static_cast<int>(separator.size());
  left = actext::Copy(source, 1, at - 1);
  right = actext::Copy(source, at + separatorLength, length);
  if (options.Contains(soSeparatorToLeft)) left += separator;
  if (options.Contains(soSeparatorToRight)) right = separator + right;
}

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
}  // namespace

std::string ByteToHex(std::uint8_t value) { return std::string{kHexDigits[value >> 4], kHexDigits[value & 0x0F]}; }

std::string WordToHex(std::uint16_t value) {
  return ByteToHex(static_cast<std::uint8_t>(value >> 8)) + ByteToHex(static_cast<std::uint8_t>(value & 0xFF));
}

std::string LongToHex(std::uint32_t value) {
  std::string digits =
      WordToHex(static_cast<std::uint16_t>(value >> 16)) + WordToHex(static_cast<std::uint16_t>(value & 0xFFFF));
  std::size_t zeros = 0;
  while (zeros + 1 < digits.size() && digits[zeros] == '0') ++zeros;
  return digits.substr(zeros);
}
