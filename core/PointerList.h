#pragma once
// TList: a list of untyped pointers with a notification hook.
//
// Notify(item, action) is called with lnAdded after a non-nil item is appended, inserted or
// put in; with lnDeleted after a non-nil item is deleted or replaced (the item is no longer in
// the list); with lnExtracted after an item is extracted. Clear and destruction delete the
// items from the last to the first.
//
// In C++ the base destructor cannot reach an override of Notify. A derived list whose Notify
// must see the deletions made by destruction (an owning list that frees its items, say) calls
// ClearOnDestroy() in its own destructor; the base destructor then finds the list empty.
#include <vector>

#include "Persistent.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
  STOWAWAY_CLASS(TList, TObject)

  TList() = default;
  ~TList() override;

  int Count() const { return static_cast<int>(items_.size()); }
  void* Get(int index) const;  // raises EListError out of range
  void* operator[](int index) const { return Get(index); }
  void Put(int index, void* item);      // replace
  int Add(void* item);                  // appends, returns the index
  void Insert(int index, void* item);   // 0 <= index <= Count
  int IndexOf(const void* item) const;  // identity, -1 when absent
  void Delete(int index);
  int Remove(void* item);     // deletes the first occurrence, returns its index or -1
  void* Extract(void* item);  // removes without deleting; nullptr when absent
  void* First() const { return Get(0); }
  void* Last() const { return Get(Count() - 1); }
  void Exchange(int a, int b);
  virtual void Clear();
  const std::vector<void*>& List() const { return items_; }

 protected:
  virtual void Notify(void* item, TListNotification action);
  // For destructors of derived lists: deletes every item, last first, through Notify.
  void ClearOnDestroy() { TList::Clear(); }
  [[noreturn]] void IndexError(int index) const;

 private:
  std::vector<void*> items_;
};
