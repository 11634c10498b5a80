#pragma once
// Published properties, methods and component fields, declared next to each class.
//
// A class declares itself with STOWAWAY_CLASS in its body and describes itself in its .cpp
// with a TClassBuilder. Properties are listed in declaration order; the inherited ones come
// first automatically. Getters and setters may be member functions, data members or lambdas
// taking the object (T&); a setter may ignore the value; nullptr means "no setter".
//
//   // header
//   enum TToplevelDir { tdCurrentDir, tdTempDir };
//   extern const TTypeNames TToplevelDirNames;       // {"tdCurrentDir", "tdTempDir"}
//   class TExtractTo : public TacPersistent {
//     STOWAWAY_CLASS(TExtractTo, TacPersistent)
//     bool CreatePath = true; TToplevelDir ToplevelDir = tdCurrentDir; std::string Subdirectory;
//   };
//   class TacFileStorage : public TacComponent {
//     STOWAWAY_CLASS(TacFileStorage, TacComponent)
//     explicit TacFileStorage(TComponent* owner);
//     TAutoExtract* AutoExtract() const; int Count() const; void SetCount(int) {}
//     TEvent<TObject*, const std::string&, int, bool&> OnExtract;
//   };
//   // .cpp
//   const TClassInfo& TExtractTo::StaticClassInfo() {
//     static const TClassInfo info = TClassBuilder<TExtractTo>("TExtractTo")
//         .Boolean("CreatePath", &TExtractTo::CreatePath, &TExtractTo::CreatePath).Default(true)
//         .Enum("ToplevelDir", TToplevelDirNames, &TExtractTo::ToplevelDir, &TExtractTo::ToplevelDir)
//         .String("Subdirectory", &TExtractTo::Subdirectory, &TExtractTo::Subdirectory)
//         .Build();
//     return info;
//   }
//   const TClassInfo& TacFileStorage::StaticClassInfo() {
//     static const TClassInfo info = TClassBuilder<TacFileStorage>("TacFileStorage")
//         .Object("AutoExtract", &TacFileStorage::AutoExtract)            // "AutoExtract.X.Y"
//         .Integer("Count", &TacFileStorage::Count, &TacFileStorage::SetCount).Stored(false)
//         .Event("OnExtract", &TacFileStorage::OnExtract)
//         .Build();
//     return info;
//   }
//   // a form class publishes its handlers and component fields:
//   //   .Method("FormActivate", &TForm1::FormActivate).Field("Label3", &TForm1::Label3)
//   RegisterClass(TacFileStorage::StaticClassInfo());   // so forms can name the class
//
// Writing skips a property when its value equals the default (0 / false / first identifier /
// empty set / empty string unless .Default(...) says otherwise; .NoDefault() always writes),
// when .Stored(false) or a stored predicate says so, and when it has no setter (except
// sub-objects). An Integer property typed with .IntegerType("TCursor") is written as the
// identifier the installed conversion gives (IdentConversion.h), else as a number.
#include <functional>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "Component.h"
#include "Events.h"
#include "Filer.h"
#include "Exceptions.h"
#include "TypeNames.h"

namespace property_registry_detail {
template <class S>
struct SetterArg {
  using type = void;  // a callable: takes the canonical value type
};
template <class C, class P>
struct SetterArg<void (C::*)(P)> {
  using type = std::remove_cvref_t<P>;
};
template <class C, class P>
struct SetterArg<void (C::*)(P) noexcept> {
  using type = std::remove_cvref_t<P>;
};
template <class C, class P>
requires(!std::is_function_v<P>) struct SetterArg<P C::*> {
  using type = P;
};

template <class V>
concept HasBits = requires(const V& v) {
  v.Bits();
};

template <class V>
int64_t ToOrd(const V& v) {
  if constexpr (HasBits<V>)
    return static_cast<int64_t>(v.Bits());
  else
    return static_cast<int64_t>(v);
}
template <class P>
P FromOrd(int64_t v) {
  if constexpr (HasBits<P>)
    return P::FromBits(static_cast<uint32_t>(v));
  else if constexpr (std::is_same_v<P, bool>)
    return v != 0;
  else
    return static_cast<P>(v);
}
}  // namespace property_registry_detail

template <class T>
class TClassBuilder {
 public:
  explicit TClassBuilder(std::string name) : info_(std::move(name), &T::inherited::StaticClassInfo()) {
    if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
      info_.SetFactory([](TComponent* owner) -> TComponent* { return new T(owner); });
  }

  // The class cannot be created by name (abstract in spirit).
  TClassBuilder& NoFactory() {
    info_.SetFactory(nullptr);
    return *this;
  }

  template <class G, class S>
  TClassBuilder& Integer(const char* name, G get, S set) {
    return Ordinal<int32_t>(name, TPropKind::Integer, get, set);
  }
  template <class G, class S>
  TClassBuilder& Cardinal(const char* name, G get, S set) {
    return Ordinal<uint32_t>(name, TPropKind::Cardinal, get, set);
  }
  template <class G, class S>
  TClassBuilder& Int64(const char* name, G get, S set) {
    return Ordinal<int64_t>(name, TPropKind::Int64, get, set);
  }
  template <class G, class S>
  TClassBuilder& Boolean(const char* name, G get, S set) {
    return Ordinal<bool>(name, TPropKind::Boolean, get, set);
  }
  // An enumeration: the getter gives (and the setter takes) an enum or integral value whose
  // ordinals index names.
  template <class G, class S>
  TClassBuilder& Enum(const char* name, const TTypeNames& names, G get, S set) {
    Ordinal<int64_t>(name, TPropKind::Enumeration, get, set);
    last_->Names = &names;
    return *this;
  }
  // A set of an enumeration: the getter gives a TSet<E> or a bit mask (bit i = ordinal i).
  template <class G, class S>
  TClassBuilder& Set(const char* name, const TTypeNames& names, G get, S set) {
    Ordinal<int64_t>(name, TPropKind::Set, get, set);
    last_->Names = &names;
    return *this;
  }

  // A floating-point value, streamed as an extended (the default is 0 unless .Default or
  // .NoDefault says otherwise).
  template <class G, class S>
  TClassBuilder& Float(const char* name, G get, S set) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TPropKind::Float;
    p.GetFloat = [get](TObject& o) -> double { return static_cast<double>(std::invoke(get, Self(o))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      p.SetFloat = [set](TObject& o, double v) {
        if constexpr (std::is_member_object_pointer_v<S>)
          Self(o).*set = v;
        else
          std::invoke(set, Self(o), v);
      };
    }
    return Add(std::move(p));
  }

  template <class G, class S>
  TClassBuilder& String(const char* name, G get, S set) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TPropKind::String;
    p.GetStr = [get](TObject& o) -> std::string { return std::string(std::invoke(get, Self(o))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      p.SetStr = [set](TObject& o, const std::string& v) {
        if constexpr (std::is_member_object_pointer_v<S>)
          Self(o).*set = v;
        else
          std::invoke(set, Self(o), v);
      };
    }
    return Add(std::move(p));
  }

  // An owned sub-object. A persistent one is streamed as its own properties under "Name.";
  // any other object (a list, say) is published for reading but has no form of its own.
  template <class G, class S = std::nullptr_t>
  TClassBuilder& Object(const char* name, G get, S set = nullptr) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TPropKind::Object;
    FillObject(p, get, set);
    return Add(std::move(p));
  }

  // A reference to another component of the form, streamed by its name.
  template <class G, class S>
  TClassBuilder& Component(const char* name, G get, S set) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TPropKind::Component;
    FillObject(p, get, set);
    using R = std::remove_pointer_t<std::remove_cvref_t<std::invoke_result_t<G, T&>>>;
    p.ObjectClass = &R::StaticClassInfo();
    return Add(std::move(p));
  }

  // An event: a TEvent member. Forms store the handler's method name; reading binds it to
  // the root's published method of that name, which must have the event's argument list.
  template <class C, class... Args>
  TClassBuilder& Event(const char* name, TEvent<Args...> C::*field) {
    static_assert(std::is_base_of_v<C, T>);
    TPropInfo p;
    p.Name = name;
    p.Kind = TPropKind::Method;
    p.MethodSignature = typeid(void(Args...));
    p.GetMethodName = [field](TObject& o) { return (Self(o).*field).MethodName(); };
    p.MethodAssigned = [field](TObject& o) { return (Self(o).*field).Assigned(); };
    p.ClearMethod = [field](TObject& o) { (Self(o).*field).Clear(); };
    p.SetMethod = [field](TObject& o, TObject& target, const TMethodInfo& m) {
      using Invoker = std::function<void(TObject&, Args...)>;
      const Invoker* inv = std::any_cast<Invoker>(&m.Invoker);
      if (!inv) throw EReadError("Method " + m.Name + " does not match the event's arguments");
      Invoker call = *inv;
      TObject* t = &target;
      (Self(o).*field).Bind([t, call](Args... a) { call(*t, std::forward<Args>(a)...); }, t, m.Name);
    };
    return Add(std::move(p));
  }

  // A published method that events in forms can name.
  template <class C, class... Args>
  TClassBuilder& Method(const char* name, void (C::*method)(Args...)) {
    static_assert(std::is_base_of_v<C, T>);
    TMethodInfo m;
    m.Name = name;
    m.Signature = typeid(void(Args...));
    m.Invoker = std::function<void(TObject&, Args...)>(
        [method](TObject& o, Args... a) { (static_cast<C&>(o).*method)(std::forward<Args>(a)...); });
    info_.AddMethod(std::move(m));
    return *this;
  }

  // A published component field: set to the owned component of the same name.
  template <class C, class F>
  TClassBuilder& Field(const char* name, F* C::*field) {
    static_assert(std::is_base_of_v<C, T> && std::is_base_of_v<TComponent, F>);
    TFieldInfo f;
    f.Name = name;
    f.Set = [field](TObject& owner, TComponent* value) {
      F* typed = value ? dynamic_cast<F*>(value) : nullptr;
      if (value && !typed) return false;
      static_cast<C&>(owner).*field = typed;
      return true;
    };
    info_.AddField(std::move(f));
    return *this;
  }

  // Modifiers of the property declared last.
  template <class V>
  TClassBuilder& Default(const V& value) {
    if constexpr (std::is_convertible_v<V, std::string>)
      last_->StrDefault = std::string(value);
    else if constexpr (std::is_floating_point_v<V>)
      last_->FloatDefault = static_cast<double>(value);
    else
      last_->OrdDefault = property_registry_detail::ToOrd(value);
    return *this;
  }
  TClassBuilder& NoDefault() {
    last_->OrdDefault.reset();
    last_->FloatDefault.reset();
    last_->StrDefault.reset();
    return *this;
  }
  TClassBuilder& Stored(bool stored) {
    if (stored)
      last_->Stored = nullptr;
    else
      last_->Stored = [](TObject&) { return false; };
    return *this;
  }
  template <class P>
  requires(!std::is_same_v<P, bool>) TClassBuilder& Stored(P predicate) {
    last_->Stored = [predicate](TObject& o) { return static_cast<bool>(std::invoke(predicate, Self(o))); };
    return *this;
  }
  TClassBuilder& IntegerType(const std::string& typeKey) {
    last_->IntegerType = typeKey;
    return *this;
  }

  TClassInfo Build() { return std::move(info_); }

 private:
  static T& Self(TObject& o) { return static_cast<T&>(o); }

  template <class Canonical, class G, class S>
  TClassBuilder& Ordinal(const char* name, TPropKind kind, G get, S set) {
    using namespace property_registry_detail;
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.GetOrd = [get](TObject& o) -> int64_t {
      return static_cast<int64_t>(static_cast<Canonical>(ToOrd(std::invoke(get, Self(o)))));
    };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      using Arg = typename SetterArg<S>::type;
      p.SetOrd = [set](TObject& o, int64_t v) {
        if constexpr (std::is_void_v<Arg>)
          std::invoke(set, Self(o), static_cast<Canonical>(v));
        else if constexpr (std::is_member_object_pointer_v<S>)
          Self(o).*set = FromOrd<Arg>(v);
        else
          std::invoke(set, Self(o), FromOrd<Arg>(v));
      };
    }
    return Add(std::move(p));
  }

  template <class G, class S>
  static void FillObject(TPropInfo& p, G get, S set) {
    using Got = std::remove_cvref_t<std::invoke_result_t<G, T&>>;
    p.GetObject = [get](TObject& o) -> TObject* { return std::invoke(get, Self(o)); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      using Arg = typename property_registry_detail::SetterArg<S>::type;
      using Ptr = std::conditional_t<std::is_void_v<Arg>, Got, Arg>;
      p.SetObject = [set](TObject& o, TObject* v) {
        Ptr typed = v ? dynamic_cast<Ptr>(v) : nullptr;
        if (v && !typed) throw EReadError("Object of class " + v->ClassName() + " does not fit the property");
        if constexpr (std::is_member_object_pointer_v<S>)
          Self(o).*set = typed;
        else
          std::invoke(set, Self(o), typed);
      };
    }
  }

  TClassBuilder& Add(TPropInfo p) {
    last_ = &info_.AddProperty(std::move(p));
    return *this;
  }

  TClassInfo info_;
  TPropInfo* last_ = nullptr;
};
