#pragma once
// acClasses: the base classes of the component library.
//
//   TacPersistent   a persistent sub-object that knows the component it belongs to
//   TacAddon        such a sub-object with a published Enabled switch and a change hook
//   TacUniqueList   a pointer list that holds each item at most once
//   TacObjectList   an add-once list of objects that may own them and reports changes
//   TacComponent    the base component, with the published About text and a form link
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "Component.h"
#include "Events.h"
#include "PointerList.h"

class TStream;

class TacPersistent : public TPersistent {
  STOWAWAY_CLASS(TacPersistent, TPersistent)

  // Stores the owner; descendants run this first in their own constructors.
  explicit TacPersistent(TComponent* owner) : owner_(owner) {}

  TComponent* Owner() const { return owner_; }
  // True when the owner component sits in a form designer; false without an owner.
  virtual bool IsDesigning() const;

 private:
  TComponent* owner_;
};

class TacAddon : public TacPersistent {
  STOWAWAY_CLASS(TacAddon, TacPersistent)

  explicit TacAddon(TComponent* owner) : TacPersistent(owner) {}

  bool Enabled() const { return enabled_; }
  // Stores a different value and then calls Changed; an equal value does nothing.
  void SetEnabled(bool value);

  // Copies Enabled (and nothing else) from another add-on; other sources raise the
  // assignment error.
  void Assign(TPersistent* source) override;

 protected:
  virtual void Changed() {}

 private:
  bool enabled_ = false;
};

// A list made from a stream is created in two steps, because a C++ constructor cannot reach
// a descendant's LoadFromStream: CreateFromStream<List>(stream, args...) constructs the list
// and then loads it (clearing first).
//
// Likewise a destructor cannot reach a descendant's overrides: ~TacObjectList deletes the
// remaining items through its own Notify (which frees owned items) but not through a
// descendant's DoRemoved or DoChanged. A descendant that must see those removals calls
// ClearOnDestroy() in its own destructor.
class TacUniqueList : public TList {
  STOWAWAY_CLASS(TacUniqueList, TList)

  TacUniqueList() = default;

  template <class List, class... Args>
  static std::unique_ptr<List> CreateFromStream(TStream& stream, Args&&... args) {
    auto list = std::make_unique<List>(std::forward<Args>(args)...);
    list->LoadFromStream(stream, true);
    return list;
  }

  // Appends an item that is not nil and not yet in the list (by identity) and returns its
  // index; returns -1 otherwise and leaves the list alone.
  int Add(void* item);
  // Insert and Put as the pointer list's, except that an item already held at another place
  // is refused (false, the list unchanged), so an owning list never holds an item twice.
  bool Insert(int index, void* item);
  bool Put(int index, void* item);

  // Clears the list when asked to; reads nothing. Descendants read their items.
  virtual void LoadFromStream(TStream& stream, bool clear);
};

// The record set a list can be filled from: the cursor operations of a database query.
class TacRecordSet {
 public:
  virtual ~TacRecordSet() = default;
  // Non-zero when the record set holds records.
  virtual int32_t RecordCount() = 0;
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual bool Eof() = 0;
  virtual void Close() = 0;
};

using TItemEvent = TEvent<TObject* /*sender*/, TObject* /*item*/>;

class TacObjectList : public TacUniqueList {
  STOWAWAY_CLASS(TacObjectList, TacUniqueList)

  // value is kept but not used by the list.
  TacObjectList(bool ownsObjects, int32_t value);
  ~TacObjectList() override;

  bool OwnsObjects = false;
  TItemEvent OnAdded;      // after an item was added
  TItemEvent OnRemoved;    // when an item is extracted or deleted, before a deleted item is freed
  TNotifyEvent OnChanged;  // after every addition, extraction or deletion

  int32_t Value() const { return value_; }
  TObject* Items(int index) const { return static_cast<TObject*>(Get(index)); }

  // Adds the item when CanAdd accepts it (add-once as TacUniqueList). An item that CanAdd
  // refuses is freed when the list owns its objects, unless the list already holds it; one
  // refused as nil or as already present is not.
  int Add(TObject* item);

  virtual bool CanAdd(TObject* item);
  virtual void DoAdded(TObject* item);
  virtual void DoRemoved(TObject* item);
  virtual void DoChanged();
  virtual void Reserved() {}
  virtual void ReadItem(TStream& stream);
  virtual void WriteItem(int index, TStream& stream);
  virtual void ReadRecord(TacRecordSet& records);
  // The item count as a 32-bit little-endian integer, then each item through WriteItem.
  virtual void SaveToStream(TStream& stream);
  // Optionally clears, then walks the record set calling ReadRecord for each record, and
  // optionally closes it.
  virtual void LoadFromDataSet(TacRecordSet& records, bool clear, bool closeAfter);

  // Optionally clears, then reads a 32-bit count and calls ReadItem that many times.
  void LoadFromStream(TStream& stream, bool clear) override;

 protected:
  void Notify(void* item, TListNotification action) override;

 private:
  // List events are not delivered while the application object is being destroyed.
  bool EventsAllowed() const;

  int32_t value_;
};

class TacComponent : public TComponent {
  STOWAWAY_CLASS(TacComponent, TComponent)

  explicit TacComponent(TComponent* owner);

  // Published, never written to a form; nothing in the library sets it.
  std::string About;

  // The form link is cleared when the linked component is destroyed.
  TComponent* FormLink() const { return formLink_; }
  virtual void SetFormLink(TComponent* value);
  // The form link when it is a form (TForm or a descendant), otherwise nullptr.
  virtual TComponent* GetOwnerForm() const;
  virtual void UpdateFormLink(TComponent* value) { SetFormLink(value); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TComponent* formLink_ = nullptr;
};
