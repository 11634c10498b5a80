// The text of an INI file as the private-profile functions read and change it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace winposix {

// Lines "[section]" open a section; "key=value" lines inside one are its
// entries (blanks around key and value do not count); lines starting with
// ';' and lines before the first section are kept but never matched.
// Section and key names are compared without regard to case; where a name
// occurs twice, the first occurrence counts. Changes touch only the lines
// they concern, so comments and layout survive.
class TIniText {
 public:
  explicit TIniText(const std::string& content = std::string());

  // The value with blanks trimmed and one pair of enclosing quotes ("" or
  // '') removed; nothing when the section or the key is missing.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(const std::string& section) const;

  // Replaces the key's line, or adds it at the end of the section (adding
  // the section at the end of the text when it is missing).
  void Set(const std::string& section, const std::string& key, const std::string& value);
  void RemoveKey(const std::string& section, const std::string& key);
  void RemoveSection(const std::string& section);

  // The whole text, every line ended as the original text ended its lines
  // (CR LF for a text that had none).
  std::string Text() const;

 private:
  struct Range {
    size_t header;  // index of the "[section]" line
    size_t end;     // one past the section's last line
  };
  std::optional<Range> FindSection(const std::string& section) const;
  std::optional<size_t> FindKey(const Range& range, const std::string& key) const;

  std::vector<std::string> lines_;
  std::string lineEnd_;
};

}  // namespace winposix
