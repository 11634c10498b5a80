#pragma once
// TTypeNames: the identifiers of an enumeration type in ordinal order. Enumeration and set
// properties are streamed by these identifiers; lookups ignore case, as Pascal identifiers do.
#include <initializer_list>
#include <string>
#include <vector>

class TTypeNames {
 public:
  TTypeNames(std::string typeName, std::initializer_list<const char*> identifiers);
  const std::string& TypeName() const { return typeName_; }
  int Count() const { return static_cast<int>(names_.size()); }
  // The identifier of an ordinal, or an empty string when out of range.
  std::string NameOf(long long ordinal) const;
  // The ordinal of an identifier (case-insensitive), or -1.
  int ValueOf(const std::string& identifier) const;

 private:
  std::string typeName_;
  std::vector<std::string> names_;
};

// Case-insensitive comparison of Windows-1252 texts, independent of the C locale (the folding
// of Cp1252.h): identifiers, and names compared as Windows compares them.
bool SameText(const std::string& a, const std::string& b);
