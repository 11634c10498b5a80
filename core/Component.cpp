#include "Component.h"

#include <algorithm>

#include "charset/Cp1252.h"
#include "Exceptions.h"
#include "PropertyRegistry.h"
#include "Reader.h"
#include "Writer.h"

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TComponent>("TComponent")
                                     .String("Name", &TComponent::Name, &TComponent::SetName)
                                     .Stored(false)
                                     .Int64("Tag", &TComponent::Tag, &TComponent::SetTag)
                                     .Build();
  return info;
}

bool IsValidIdent(const std::string& name) {
  if (name.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(name[0])) return false;
  return std::all_of(name.begin(), name.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Those who asked are told first, while this component still holds what it owns.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    Unlink(c->freeNotifies_, this);
    c->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    RemoveComponent(c);
    delete c;
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError("List index (" + std::to_string(index) + ") out of bounds");
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  auto it = byName_.find(FoldCase(name));
  return it == byName_.end() ? nullptr : it->second;
}

void TComponent::IndexName(TComponent* component) {
  if (!component->name_.empty()) byName_[FoldCase(component->name_)] = component;
}

void TComponent::UnindexName(TComponent* component) {
  if (component->name_.empty()) return;
  auto it = byName_.find(FoldCase(component->name_));
  if (it != byName_.end() && it->second == component) byName_.erase(it);
}

void TComponent::Unlink(std::vector<TComponent*>& list, TComponent* component) {
  auto it = std::find(list.rbegin(), list.rend(), component);
  if (it != list.rend()) list.erase(std::next(it).base());
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) != freeNotifies_.end()) return;
  freeNotifies_.push_back(component);
  component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  Unlink(freeNotifies_, component);
  Unlink(component->freeNotifies_, this);
}

void TComponent::ValidateRename(TComponent* component, const std::string& newName) const {
  TComponent* other = FindComponent(newName);
  if (other && other != component) throw EComponentError("A component named " + newName + " already exists");
}

void TComponent::SetReference(const std::string& name, TComponent* value) {
  if (!owner_ || name.empty() || owner_->state_.Contains(csDestroying)) return;
  const TFieldInfo* field = owner_->ClassInfo()->FindField(name);
  if (field && !field->Set(*owner_, value))
    throw EComponentError("Field " + name + " of " + owner_->ClassName() + " cannot hold a " + ClassName());
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError("\"" + name + "\" is not a valid component name");
  if (owner_) owner_->ValidateRename(this, name);
  std::string old = name_;
  SetReference(old, nullptr);
  try {
    SetReference(name, this);
  } catch (...) {
    SetReference(old, this);
    throw;
  }
  if (owner_) owner_->UnindexName(this);
  name_ = name;
  if (owner_) owner_->IndexName(this);
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  ValidateRename(component, component->name_);
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  IndexName(component);
  component->owner_ = this;
  component->SetReference(component->name_, component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  // Searched from the end: destruction removes the last component first.
  if (std::find(components_.rbegin(), components_.rend(), component) == components_.rend()) return;
  Notification(component, opRemove);
  component->SetReference(component->name_, nullptr);
  UnindexName(component);
  Unlink(components_, component);
  component->owner_ = nullptr;
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && !state_.Contains(csDestroying))
    for (TComponent* c : std::vector<TComponent*>(components_))
      if (c != component) c->Notification(component, operation);
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value)
    state_.Include(csDesigning);
  else
    state_.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : components_) c->SetDesigning(value, true);
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::DefineProperties(TFiler& filer) {
  filer.DefineProperty(
      "Left", [this](TReader& r) { designLeft_ = r.ReadInteger(); },
      [this](TWriter& w) { w.WriteInteger(designLeft_); }, designLeft_ != 0);
  filer.DefineProperty(
      "Top", [this](TReader& r) { designTop_ = r.ReadInteger(); }, [this](TWriter& w) { w.WriteInteger(designTop_); },
      designTop_ != 0);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  if (root != this) return;
  for (TComponent* c : std::vector<TComponent*>(components_))
    if (!c->HasParent()) proc(c);
}

void TComponent::ReadState(TReader& reader) { reader.ReadData(this); }

void TComponent::WriteState(TWriter& writer) { writer.WriteData(this); }
