#include "acClasses.h"

#include "Application.h"
#include "PropertyRegistry.h"
#include "Stream.h"

// --- TacPersistent -------------------------------------------------------------------------

const TClassInfo& TacPersistent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TacPersistent>("TacPersistent").Build();
  return info;
}

bool TacPersistent::IsDesigning() const { return owner_ && owner_->IsDesigning(); }

// --- TacAddon ------------------------------------------------------------------------------

const TClassInfo& TacAddon::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TacAddon>("TacAddon")
                                     .Boolean("Enabled", &TacAddon::Enabled, &TacAddon::SetEnabled)
                                     .Default(false)
                                     .Build();
  return info;
}

void TacAddon::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Changed();
}

void TacAddon::Assign(TPersistent* source) {
  if (auto* addon = dynamic_cast<TacAddon*>(source)) {
    SetEnabled(addon->Enabled());
    return;
  }
  TacPersistent::Assign(source);
}

// --- TacUniqueList -------------------------------------------------------------------------

const TClassInfo& TacUniqueList::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TacUniqueList>("TacUniqueList").Build();
  return info;
}

int TacUniqueList::Add(void* item) {
  if (!item || IndexOf(item) >= 0) return -1;
  return TList::Add(item);
}

bool TacUniqueList::Insert(int index, void* item) {
  if (item && IndexOf(item) >= 0) return false;
  TList::Insert(index, item);
  return true;
}

bool TacUniqueList::Put(int index, void* item) {
  int at = item ? IndexOf(item) : -1;
  if (at >= 0 && at != index) return false;
  TList::Put(index, item);
  return true;
}

void TacUniqueList::LoadFromStream(TStream&, bool clear) {
  if (clear) Clear();
}

// --- TacObjectList -------------------------------------------------------------------------

const TClassInfo& TacObjectList::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TacObjectList>("TacObjectList").Build();
  return info;
}

TacObjectList::TacObjectList(bool ownsObjects, int32_t value) : OwnsObjects(ownsObjects), value_(value) {}

TacObjectList::~TacObjectList() { ClearOnDestroy(); }

int TacObjectList::Add(TObject* item) {
  if (!CanAdd(item)) {
    if (item && OwnsObjects && IndexOf(item) < 0) delete item;
    return -1;
  }
  return TacUniqueList::Add(item);
}

bool TacObjectList::CanAdd(TObject*) { return true; }

bool TacObjectList::EventsAllowed() const { return !ApplicationDestroying(); }

void TacObjectList::DoAdded(TObject* item) {
  if (OnAdded && EventsAllowed()) OnAdded(this, item);
}

void TacObjectList::DoRemoved(TObject* item) {
  if (OnRemoved && EventsAllowed()) OnRemoved(this, item);
}

void TacObjectList::DoChanged() {
  if (OnChanged && EventsAllowed()) OnChanged(this);
}

void TacObjectList::ReadItem(TStream&) {}
void TacObjectList::WriteItem(int, TStream&) {}
void TacObjectList::ReadRecord(TacRecordSet&) {}

void TacObjectList::Notify(void* item, TListNotification action) {
  auto* object = static_cast<TObject*>(item);
  switch (action) {
    case lnAdded:
      DoAdded(object);
      break;
    case lnExtracted:
      DoRemoved(object);
      break;
    case lnDeleted:
      DoRemoved(object);
      if (OwnsObjects) delete object;
      break;
  }
  TacUniqueList::Notify(item, action);
  DoChanged();
}

void TacObjectList::SaveToStream(TStream& stream) {
  stream.WriteDWord(static_cast<uint32_t>(Count()));
  for (int i = 0; i < Count(); ++i) WriteItem(i, stream);
}

void TacObjectList::LoadFromStream(TStream& stream, bool clear) {
  TacUniqueList::LoadFromStream(stream, clear);
  auto count = static_cast<int32_t>(stream.ReadDWord());
  for (int32_t i = 0; i < count; ++i) ReadItem(stream);
}

void TacObjectList::LoadFromDataSet(TacRecordSet& records, bool clear, bool closeAfter) {
  if (clear) Clear();
  if (records.RecordCount() != 0) {
    records.First();
    while (!records.Eof()) {
      ReadRecord(records);
      records.Next();
    }
  }
  if (closeAfter) records.Close();
}

// --- TacComponent --------------------------------------------------------------------------

const TClassInfo& TacComponent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TacComponent>("TacComponent")
                                     .String("About", &TacComponent::About, &TacComponent::About)
                                     .Stored(false)
                                     .Build();
  return info;
}

TacComponent::TacComponent(TComponent* owner) : TComponent(owner) { TacComponent::SetFormLink(owner); }

void TacComponent::SetFormLink(TComponent* value) {
  if (value == formLink_) return;
  if (formLink_) formLink_->RemoveFreeNotification(this);
  formLink_ = value;
  if (formLink_) formLink_->FreeNotification(this);
}

void TacComponent::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == formLink_) formLink_ = nullptr;
}

TComponent* TacComponent::GetOwnerForm() const {
  const TClassInfo* form = GetClass("TForm");
  if (formLink_ && form && formLink_->InheritsFrom(*form)) return formLink_;
  return nullptr;
}
