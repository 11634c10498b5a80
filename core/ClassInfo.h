#pragma once
// TClassInfo: the run-time class of an object (name, parent, published properties, methods
// and component fields, and for components a factory: the virtual constructor), plus the
// global class registry used to create components by class name when a form is read.
#include <memory>
#include <string>
#include <vector>

#include "PropInfo.h"

class TComponent;

class TClassInfo {
 public:
  using TFactory = TComponent* (*)(TComponent* owner);

  TClassInfo(std::string name, const TClassInfo* parent);
  TClassInfo(TClassInfo&&) noexcept = default;
  TClassInfo& operator=(TClassInfo&&) noexcept = default;

  const std::string& Name() const { return name_; }
  const TClassInfo* Parent() const { return parent_; }
  bool InheritsFrom(const TClassInfo& other) const;

  // Virtual constructor of a component class (nullptr for classes that are not components
  // or are abstract). CreateInstance raises EClassNotFound when there is none.
  TFactory Factory() const { return factory_; }
  TComponent* CreateInstance(TComponent* owner) const;

  // Published properties, inherited ones first, each class's in declaration order.
  const std::vector<const TPropInfo*>& Properties() const;
  const TPropInfo* FindProperty(const std::string& name) const;  // case-insensitive
  const TMethodInfo* FindMethod(const std::string& name) const;  // case-insensitive
  const TFieldInfo* FindField(const std::string& name) const;    // case-insensitive

  // Used by the class builder while the class is being described.
  void SetFactory(TFactory f) { factory_ = f; }
  TPropInfo& AddProperty(TPropInfo info);
  void AddMethod(TMethodInfo info);
  void AddField(TFieldInfo info);

 private:
  std::string name_;
  const TClassInfo* parent_;
  TFactory factory_ = nullptr;
  std::vector<std::unique_ptr<TPropInfo>> own_;
  std::vector<std::unique_ptr<TMethodInfo>> methods_;
  std::vector<std::unique_ptr<TFieldInfo>> fields_;
  mutable std::vector<const TPropInfo*> all_;
  mutable bool allBuilt_ = false;
};

// Class registry: component classes that forms may name. RegisterClass is idempotent for the
// same class and raises EFilerError for a different class under an already registered name.
void RegisterClass(const TClassInfo& info);
void RegisterClasses(std::initializer_list<const TClassInfo*> infos);
void UnRegisterClass(const TClassInfo& info);
const TClassInfo* GetClass(const std::string& name);   // nullptr when unknown
const TClassInfo& FindClass(const std::string& name);  // raises EClassNotFound
