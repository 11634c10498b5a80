#pragma once
// Run-time description of one published property, one published method and one published
// component field. The class builder (PropertyRegistry.h) fills these in; the form reader and
// writer use them to stream an object by property name.
#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <typeindex>

class TObject;
class TPersistent;
class TComponent;
class TClassInfo;
class TTypeNames;

enum class TPropKind { Integer, Cardinal, Int64, Boolean, Enumeration, Set, Float, String, Object, Component, Method };

// A published method: a member function of the class, callable through a bound event.
// Invoker holds a std::function<void(TObject&, Args...)> for the method's argument list.
struct TMethodInfo {
  std::string Name;
  std::type_index Signature = typeid(void);
  std::any Invoker;
};

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  const TTypeNames* Names = nullptr;  // enumeration identifiers (Enumeration, Set)
  std::string IntegerType;            // key of the installed identifier conversions (Integer)
  // Default of ordinal kinds; std::nullopt means "no default": always written.
  std::optional<int64_t> OrdDefault = 0;
  // Default of floats; std::nullopt means always written.
  std::optional<double> FloatDefault = 0.0;
  // Default of strings; std::nullopt means always written.
  std::optional<std::string> StrDefault = std::string();
  // Stored predicate; empty means stored.
  std::function<bool(TObject&)> Stored;

  // Ordinal kinds (Integer, Cardinal, Int64, Boolean, Enumeration, Set as a bit mask).
  std::function<int64_t(TObject&)> GetOrd;
  std::function<void(TObject&, int64_t)> SetOrd;
  // Float (streamed as an extended).
  std::function<double(TObject&)> GetFloat;
  std::function<void(TObject&, double)> SetFloat;
  // String.
  std::function<std::string(TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  // Object (an owned sub-object: a persistent one is streamed by dotted paths, any other is
  // published but never streamed) and Component (reference by name).
  std::function<TObject*(TObject&)> GetObject;
  std::function<void(TObject&, TObject*)> SetObject;  // may be empty for Object
  const TClassInfo* ObjectClass = nullptr;            // Component: accepted class
  // Method (event): name of the bound handler ("" when unassigned or bound in code only),
  // whether it is assigned, binding to a root's published method, and clearing.
  std::type_index MethodSignature = typeid(void);
  std::function<std::string(TObject&)> GetMethodName;
  std::function<bool(TObject&)> MethodAssigned;
  std::function<void(TObject&, TObject& target, const TMethodInfo&)> SetMethod;
  std::function<void(TObject&)> ClearMethod;

  bool IsStored(TObject& instance) const { return !Stored || Stored(instance); }
};

// A published component field of a form-like class: when a component owned by an object of
// the class gets the field's name, the field is pointed at it (and reset when it goes).
struct TFieldInfo {
  std::string Name;
  // Sets the field; returns false when the component has the wrong class for the field.
  std::function<bool(TObject& owner, TComponent* value)> Set;
};
