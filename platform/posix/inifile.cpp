// INI text: finding, changing and writing back sections and keys.
#include "inifile.h"

#include "codepage.h"

namespace winposix {

namespace {

constexpr const char* kBlanks = " \t\r";

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The name of a "[name]" line; nothing for any other line.
std::optional<std::string> SectionName(const std::string& line) {
  const std::string text = Trimmed(line);
  if (text.empty() || text[0] != '[') return std::nullopt;
  const auto close = text.find(']');
  return Trimmed(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key of a "key=value" line; nothing for comments and other lines.
std::optional<std::string> KeyName(const std::string& line) {
  const std::string text = Trimmed(line);
  if (text.empty() || text[0] == ';') return std::nullopt;
  const auto equals = text.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return Trimmed(text.substr(0, equals));
}

}  // namespace

TIniText::TIniText(const std::string& content) {
  lineEnd_ = content.find("\r\n") != std::string::npos || content.find('\n') == std::string::npos ? "\r\n" : "\n";
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(line);
    start = end + 1;
  }
}

std::optional<TIniText::Range> TIniText::FindSection(const std::string& section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (!name || !EqualNoCase(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> TIniText::FindKey(const Range& range, const std::string& key) const {
  for (size_t i = range.header + 1; i < range.end; ++i) {
    const auto name = KeyName(lines_[i]);
    if (name && EqualNoCase(*name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> TIniText::Value(const std::string& section, const std::string& key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto line = FindKey(*range, key);
  if (!line) return std::nullopt;
  const std::string& text = lines_[*line];
  std::string value = Trimmed(text.substr(text.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

std::vector<std::string> TIniText::Sections() const {
  std::vector<std::string> names;
  for (const std::string& line : lines_)
    if (const auto name = SectionName(line)) names.push_back(*name);
  return names;
}

std::vector<std::string> TIniText::Keys(const std::string& section) const {
  std::vector<std::string> names;
  if (const auto range = FindSection(section))
    for (size_t i = range->header + 1; i < range->end; ++i)
      if (const auto name = KeyName(lines_[i])) names.push_back(*name);
  return names;
}

void TIniText::Set(const std::string& section, const std::string& key, const std::string& value) {
  auto range = FindSection(section);
  if (!range) {
    if (!lines_.empty() && !Trimmed(lines_.back()).empty()) lines_.push_back("");
    lines_.push_back("[" + section + "]");
    lines_.push_back(key + "=" + value);
    return;
  }
  if (const auto line = FindKey(*range, key)) {
    lines_[*line] = *KeyName(lines_[*line]) + "=" + value;
    return;
  }
  // After the section's last line that is not blank.
  size_t at = range->end;
  while (at > range->header + 1 && Trimmed(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), key + "=" + value);
}

void TIniText::RemoveKey(const std::string& section, const std::string& key) {
  if (const auto range = FindSection(section))
    if (const auto line = FindKey(*range, key)) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
}

void TIniText::RemoveSection(const std::string& section) {
  if (const auto range = FindSection(section))
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

std::string TIniText::Text() const {
  std::string text;
  for (const std::string& line : lines_) text += line + lineEnd_;
  return text;
}

}  // namespace winposix
