#include "regtree.h"

#include "codepage.h"

namespace winposix {

const RegValue* RegKey::FindValue(const std::string& valueName) const {
  for (const RegValue& value : values)
    if (EqualNoCase(value.name, valueName)) return &value;
  return nullptr;
}

void RegKey::SetValue(const std::string& valueName, DWORD type, const std::string& data) {
  for (RegValue& value : values)
    if (EqualNoCase(value.name, valueName)) {
      value.type = type;
      value.data = data;
      return;
    }
  values.push_back(RegValue{valueName, type, data});
}

bool RegKey::DeleteValue(const std::string& valueName) {
  for (auto it = values.begin(); it != values.end(); ++it)
    if (EqualNoCase(it->name, valueName)) {
      values.erase(it);
      return true;
    }
  return false;
}

RegKey* RegKey::Child(const std::string& childName) const {
  auto it = subkeys.find(FoldCase(childName));
  return it == subkeys.end() ? nullptr : it->second.get();
}

RegKey* RegKey::AddChild(const std::string& childName) {
  auto& slot = subkeys[FoldCase(childName)];
  if (!slot) {
    slot = std::make_unique<RegKey>();
    slot->name = childName;
  }
  return slot.get();
}

RegKey* RegKey::Find(const std::vector<std::string>& path) const {
  const RegKey* key = this;
  for (const std::string& part : path) {
    key = key->Child(part);
    if (!key) return nullptr;
  }
  return const_cast<RegKey*>(key);
}

RegKey* RegKey::Create(const std::vector<std::string>& path, bool& created) {
  RegKey* key = this;
  created = false;
  for (const std::string& part : path) {
    RegKey* child = key->Child(part);
    created = child == nullptr;
    key = created ? key->AddChild(part) : child;
  }
  return key;
}

bool RegKey::Remove(const std::vector<std::string>& path) {
  if (path.empty()) return false;
  RegKey* parent = Find(std::vector<std::string>(path.begin(), path.end() - 1));
  return parent && parent->subkeys.erase(FoldCase(path.back())) > 0;
}

std::unique_ptr<RegKey> RegKey::Clone() const {
  auto copy = std::make_unique<RegKey>();
  copy->name = name;
  copy->modified = modified;
  copy->values = values;
  for (const auto& [folded, child] : subkeys) copy->subkeys[folded] = child->Clone();
  return copy;
}

bool IsValidKeyName(const std::string& name) {
  if (name.empty() || name.size() > kMaxKeyNameLength) return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7f || c == '\\') return false;
  return true;
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace winposix
