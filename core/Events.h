#pragma once
// TEvent<Args...>: an event property value, a method bound to an object. It remembers the
// name of the handler method, which is what forms stream. Calling an unassigned event does
// nothing; Assigned() (or the bool conversion) tells whether a handler is set.
//
//   class TForm1 : public TForm { ... void FormActivate(TObject* sender); };
//   form->OnActivate.Bind(form, &TForm1::FormActivate, "FormActivate");
//   form->OnActivate(form);   // calls form->FormActivate(form)
#include <functional>
#include <string>
#include <utility>

class TObject;

template <class... Args>
class TEvent {
 public:
  using Handler = std::function<void(Args...)>;

  TEvent() = default;
  template <class C>
  TEvent(C* target, void (C::*method)(Args...), std::string name = {}) {
    Bind(target, method, std::move(name));
  }

  template <class C>
  void Bind(C* target, void (C::*method)(Args...), std::string name = {}) {
    fn_ = [target, method](Args... args) { (target->*method)(std::forward<Args>(args)...); };
    target_ = target;
    name_ = std::move(name);
  }
  // Binds any callable; it has no method name and is therefore not streamed.
  void Bind(Handler fn, TObject* target = nullptr, std::string name = {}) {
    fn_ = std::move(fn);
    target_ = fn_ ? target : nullptr;
    name_ = fn_ ? std::move(name) : std::string();
  }
  void Clear() {
    fn_ = nullptr;
    target_ = nullptr;
    name_.clear();
  }

  bool Assigned() const { return static_cast<bool>(fn_); }
  explicit operator bool() const { return Assigned(); }
  const std::string& MethodName() const { return name_; }
  TObject* Target() const { return target_; }

  void operator()(Args... args) const {
    if (fn_) fn_(std::forward<Args>(args)...);
  }

 private:
  Handler fn_;
  TObject* target_ = nullptr;
  std::string name_;
};

// The common event with the sender as only argument.
using TNotifyEvent = TEvent<TObject*>;
