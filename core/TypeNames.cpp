#include "TypeNames.h"

#include "charset/Cp1252.h"

bool SameText(const std::string& a, const std::string& b) { return SameTextCp1252(a, b); }

TTypeNames::TTypeNames(std::string typeName, std::initializer_list<const char*> identifiers)
    : typeName_(std::move(typeName)) {
  for (const char* id : identifiers) names_.emplace_back(id);
}

std::string TTypeNames::NameOf(long long ordinal) const {
  if (ordinal < 0 || ordinal >= Count()) return {};
  return names_[static_cast<size_t>(ordinal)];
}

int TTypeNames::ValueOf(const std::string& identifier) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (SameText(names_[i], identifier)) return static_cast<int>(i);
  return -1;
}
