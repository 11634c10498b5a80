#pragma once
// TComponent: a persistent object with an owner, a name and a tag, that owns other components.
//
// Components are created with `new T(owner)`; the owner deletes what it owns (last first) when
// it is destroyed, and a component deleted first leaves its owner's list by itself. Components
// without an owner are held by the caller, usually in a std::unique_ptr.
//
// Names are identifiers, unique (ignoring case) among the components of one owner. When a
// component gets a name and its owner's class publishes a component field of that name, the
// field is pointed at the component (and reset when the component goes).
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Persistent.h"
#include "SetOf.h"

class TReader;
class TWriter;

enum TComponentStateFlag {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
  STOWAWAY_CLASS(TComponent, TPersistent)

  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int64_t Tag() const { return tag_; }
  void SetTag(int64_t tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;                   // raises EListError out of range
  int ComponentIndex() const;                                // index in the owner's list, -1 without owner
  TComponent* FindComponent(const std::string& name) const;  // owned, case-insensitive

  TComponentState ComponentState() const { return state_; }
  bool IsLoading() const { return state_.Contains(csLoading); }
  bool IsDesigning() const { return state_.Contains(csDesigning); }
  bool IsDestroying() const { return state_.Contains(csDestroying); }
  // Sets or clears csDesigning on this component and everything it owns.
  void SetDesigning(bool value, bool setChildren = true);

  // Moves a component into or out of this component's list of owned components. A component
  // whose name clashes with one already owned here is refused (EComponentError) and stays
  // with its previous owner.
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // Asks this component to call component->Notification(this, opRemove) when it is destroyed,
  // so that a reference to it held by a component it does not own can be cleared. Either
  // side's destruction ends the arrangement; RemoveFreeNotification ends it earlier.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Design-time position of non-visual components ("Left" / "Top" in forms).
  int32_t DesignLeft() const { return designLeft_; }
  int32_t DesignTop() const { return designTop_; }
  void SetDesignLeft(int32_t v) { designLeft_ = v; }
  void SetDesignTop(int32_t v) { designTop_ = v; }

  // Called once a whole form has been read, with all properties in place. Overrides call the
  // inherited Loaded first; the base clears csLoading.
  virtual void Loaded();
  void DefineProperties(TFiler& filer) override;

  // Streaming hooks. GetChildren hands the components written as children of this one to proc:
  // by default the root's owned components (in order) and nothing for other components.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
  virtual TComponent* GetChildOwner() { return nullptr; }  // nullptr: the root owns children
  virtual TComponent* GetChildParent() { return this; }
  virtual void SetParentComponent(TComponent*) {}
  virtual bool HasParent() const { return false; }
  virtual void ReadState(TReader& reader);
  virtual void WriteState(TWriter& writer);

  // Used by the form reader and writer.
  void IncludeState(TComponentStateFlag f) { state_.Include(f); }
  void ExcludeState(TComponentStateFlag f) { state_.Exclude(f); }

 protected:
  // Called when component is inserted into or removed from this component's list, and
  // forwarded to the owned components, so references to a removed component can be cleared.
  virtual void Notification(TComponent* component, TOperation operation);
  // Sets csDestroying here and on everything owned. Destructors of classes whose destruction
  // other code must see (the application object) call it first.
  virtual void Destroying();
  void DestroyComponents();

 private:
  void ValidateRename(TComponent* component, const std::string& newName) const;
  void SetReference(const std::string& name, TComponent* value);
  void IndexName(TComponent* component);
  void UnindexName(TComponent* component);
  static void Unlink(std::vector<TComponent*>& list, TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  int64_t tag_ = 0;
  std::vector<TComponent*> components_;
  // The named components of components_, by their case-folded name, so that finding a name
  // does not grow with the number of siblings.
  std::unordered_map<std::string, TComponent*> byName_;
  // The components to notify of this one's destruction, and those that will notify this one.
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_;
  int32_t designLeft_ = 0;
  int32_t designTop_ = 0;
};

// True for a valid identifier: a letter or '_', then letters, digits or '_'.
bool IsValidIdent(const std::string& name);
