#include "ClassInfo.h"

#include <map>

#include "charset/Cp1252.h"
#include "Exceptions.h"
#include "TypeNames.h"

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent) : name_(std::move(name)), parent_(parent) {}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    if (c == &other) return true;
  return false;
}

TComponent* TClassInfo::CreateInstance(TComponent* owner) const {
  if (!factory_) throw EClassNotFound("Class " + name_ + " cannot be created");
  return factory_(owner);
}

const std::vector<const TPropInfo*>& TClassInfo::Properties() const {
  if (!allBuilt_) {
    all_.clear();
    if (parent_) all_ = parent_->Properties();
    for (const auto& p : own_) {
      // A redeclared property replaces the inherited one at the inherited position.
      bool replaced = false;
      for (auto& q : all_)
        if (SameText(q->Name, p->Name)) {
          q = p.get();
          replaced = true;
        }
      if (!replaced) all_.push_back(p.get());
    }
    allBuilt_ = true;
  }
  return all_;
}

const TPropInfo* TClassInfo::FindProperty(const std::string& name) const {
  for (const TPropInfo* p : Properties())
    if (SameText(p->Name, name)) return p;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const auto& m : c->methods_)
      if (SameText(m->Name, name)) return m.get();
  return nullptr;
}

const TFieldInfo* TClassInfo::FindField(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const auto& f : c->fields_)
      if (SameText(f->Name, name)) return f.get();
  return nullptr;
}

TPropInfo& TClassInfo::AddProperty(TPropInfo info) {
  own_.push_back(std::make_unique<TPropInfo>(std::move(info)));
  allBuilt_ = false;
  return *own_.back();
}

void TClassInfo::AddMethod(TMethodInfo info) { methods_.push_back(std::make_unique<TMethodInfo>(std::move(info))); }

void TClassInfo::AddField(TFieldInfo info) { fields_.push_back(std::make_unique<TFieldInfo>(std::move(info))); }

namespace {
struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const { return CompareTextCp1252(a, b) < 0; }
};
std::map<std::string, const TClassInfo*, NoCase>& Registry() {
  static std::map<std::string, const TClassInfo*, NoCase> registry;
  return registry;
}
}  // namespace

void RegisterClass(const TClassInfo& info) {
  auto [it, inserted] = Registry().emplace(info.Name(), &info);
  if (!inserted && it->second != &info) throw EFilerError("A class named " + info.Name() + " already exists");
}

void RegisterClasses(std::initializer_list<const TClassInfo*> infos) {
  for (const TClassInfo* i : infos) RegisterClass(*i);
}

void UnRegisterClass(const TClassInfo& info) {
  auto it = Registry().find(info.Name());
  if (it != Registry().end() && it->second == &info) Registry().erase(it);
}

const TClassInfo* GetClass(const std::string& name) {
  auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo& FindClass(const std::string& name) {
  if (const TClassInfo* c = GetClass(name)) return *c;
  throw EClassNotFound("Class " + name + " not found");
}
