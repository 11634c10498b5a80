#pragma once
// TObject: root of the class tree, with run-time class information.
//
// Every class that has published properties, or that forms may name, declares itself with
// STOWAWAY_CLASS(ThisClass, BaseClass) in its body and defines ThisClass::StaticClassInfo()
// in its .cpp (see PropertyRegistry.h). The macro leaves the access at "public".
#include <string>

#include "ClassInfo.h"

#define STOWAWAY_CLASS(ThisClass, BaseClass)  \
 public:                                      \
  using inherited = BaseClass;                \
  static const TClassInfo& StaticClassInfo(); \
  const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo* ClassInfo() const { return &StaticClassInfo(); }
  const std::string& ClassName() const { return ClassInfo()->Name(); }
  bool InheritsFrom(const TClassInfo& info) const { return ClassInfo()->InheritsFrom(info); }
  template <class T>
  bool InheritsFrom() const {
    return InheritsFrom(T::StaticClassInfo());
  }
};
