// An event of the transport: empty or bound to a receiver and one of its member functions (or to
// a plain function, or to a callable object by its address). Two delegates compare equal exactly
// when they call the same function on the same receiver, which is what "assigning a different
// handler" and "still equals the old handler" rely on; std::function cannot be compared.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

template <typename Signature>
class TDelegate;

template <typename R, typename... Args>
class TDelegate<R(Args...)> {
 public:
  TDelegate() = default;
  TDelegate(std::nullptr_t) {}

  template <typename C>
  TDelegate(C* receiver, R (C::*method)(Args...)) {
    Bind(receiver, method, &InvokeMember<C, R (C::*)(Args...)>);
  }
  template <typename C>
  TDelegate(const C* receiver, R (C::*method)(Args...) const) {
    Bind(const_cast<C*>(receiver), method, &InvokeMember<const C, R (C::*)(Args...) const>);
  }
  explicit TDelegate(R (*function)(Args...)) {
    if (function != nullptr) Bind(nullptr, function, &InvokeFunction);
  }
  // Binds a callable object (a lambda kept alive by the caller) by its address.
  template <typename F>
  static TDelegate Callable(F* callable) {
    TDelegate d;
    d.Bind(callable, nullptr, &InvokeCallable<F>);
    return d;
  }

  explicit operator bool() const { return invoker_ != nullptr; }
  bool IsAssigned() const { return invoker_ != nullptr; }

  R operator()(Args... args) const { return invoker_(*this, std::forward<Args>(args)...); }

  friend bool operator==(const TDelegate& a, const TDelegate& b) {
    return a.receiver_ == b.receiver_ && a.invoker_ == b.invoker_ &&
           std::memcmp(a.target_, b.target_, sizeof a.target_) == 0;
  }

 private:
  using Invoker = R (*)(const TDelegate&, Args...);

  template <typename Target>
  void Bind(void* receiver, Target target, Invoker invoker) {
    static_assert(sizeof(Target) <= sizeof target_, "member function pointer too large");
    receiver_ = receiver;
    if constexpr (!std::is_null_pointer_v<Target>) std::memcpy(target_, &target, sizeof target);
    invoker_ = invoker;
  }
  template <typename Target>
  Target StoredTarget() const {
    Target target;
    std::memcpy(&target, target_, sizeof target);
    return target;
  }
  template <typename C, typename Method>
  static R InvokeMember(const TDelegate& d, Args... args) {
    return (static_cast<C*>(d.receiver_)->*d.StoredTarget<Method>())(std::forward<Args>(args)...);
  }
  static R InvokeFunction(const TDelegate& d, Args... args) {
    return d.StoredTarget<R (*)(Args...)>()(std::forward<Args>(args)...);
  }
  template <typename F>
  static R InvokeCallable(const TDelegate& d, Args... args) {
    return (*static_cast<F*>(d.receiver_))(std::forward<Args>(args)...);
  }

  void* receiver_ = nullptr;
  alignas(std::max_align_t) unsigned char target_[4 * sizeof(void*)] = {};
  Invoker invoker_ = nullptr;
};
