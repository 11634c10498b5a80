#include "StringList.h"

#include <algorithm>
#include <cctype>

#include "charset/Cp1252.h"
#include "Exceptions.h"
#include "TypeNames.h"

namespace {
bool LessNoCase(const std::string& a, const std::string& b) { return CompareTextCp1252(a, b) < 0; }
}  // namespace

const TClassInfo& TStringList::StaticClassInfo() {
  static const TClassInfo info("TStringList", &TPersistent::StaticClassInfo());
  return info;
}

void TStringList::IndexError(int index) const {
  throw EListError("List index (" + std::to_string(index) + ") out of bounds");
}

const std::string& TStringList::Strings(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<size_t>(index)];
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  if (index < 0 || index >= Count()) IndexError(index);
  items_[static_cast<size_t>(index)] = s;
}

int TStringList::Add(const std::string& s) {
  if (!sorted_) {
    items_.push_back(s);
    return Count() - 1;
  }
  auto it = std::upper_bound(items_.begin(), items_.end(), s, LessNoCase);
  int index = static_cast<int>(it - items_.begin());
  items_.insert(it, s);
  return index;
}

void TStringList::Insert(int index, const std::string& s) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) IndexError(index);
  items_.insert(items_.begin() + index, s);
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(const std::string& s) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i], s)) return static_cast<int>(i);
  return -1;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) std::stable_sort(items_.begin(), items_.end(), LessNoCase);
  sorted_ = sorted;
}

std::string TStringList::Text() const {
  std::string out;
  for (const auto& s : items_) {
    out += s;
    out += '\n';
  }
  return out;
}

void TStringList::SetText(const std::string& text) {
  items_.clear();
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      Add(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) Add(line);
}

void TStringList::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TStringList*>(source)) {
    if (other == this) return;
    items_ = other->items_;
    if (sorted_) std::stable_sort(items_.begin(), items_.end(), LessNoCase);
    return;
  }
  TPersistent::Assign(source);
}
