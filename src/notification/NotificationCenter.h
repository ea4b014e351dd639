// The event bus.
//
// A component that offers a service registers itself under a service interface;
// any other component calls that interface through the center, which forwards
// the call to every registered object implementing it, in order of
// registration, or to nobody. A call site is one expression:
//
//   TNotificationCenter::FInstance->Invoker<IViewNavigation>().Call(
//       &IViewNavigation::ShowView, "TFrameSaveLocation", "LayoutContent", 1);
//
// Entries are plain pointers: the center neither owns subscribers nor checks
// that they are alive; a subscriber leaves every list before it is destroyed.
// The center holds no lock: every Add, Remove and delivery happens on the UI
// thread (checked in debug builds).
#pragma once

#include <cassert>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

// Base of every service interface. Interfaces derive from it virtually, so an
// object implementing several of them has one INotification and can be
// registered under each.
class INotification {
 public:
  static constexpr std::string_view IID = "{6C7A3D5C-5D8E-43E8-8928-5F8210E66715}";
  virtual ~INotification() = default;
};

// Untyped base of the per-interface lists, so one map can hold them all.
class TNotification {
 public:
  virtual ~TNotification() = default;
};

template <class T>
class TNotification_ : public TNotification {
 public:
  std::vector<INotification*> FList;
};

// The forwarding object: a view of one interface's list at the time of the
// call. A null invoker (no list) forwards to nobody.
template <class T>
class TInvoker {
 public:
  explicit TInvoker(const std::vector<INotification*>* list) : FList(list) {}

  // Calls `method` on every entry that implements T. Arguments are converted
  // to the parameter types once and the same values reach every subscriber.
  // The entry count is taken once; an exception from a subscriber stops the
  // delivery and reaches the caller.
  // A parameter taken by non-const reference receives the caller's object;
  // every other parameter receives one converted copy.
  template <class P>
  using Prepared = std::conditional_t<std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>, P,
                                      std::remove_cvref_t<P>>;

  template <class R, class... P, class... A>
  void Call(R (T::*method)(P...), A&&... args) const {
    Deliver<T, P...>(method, std::forward<A>(args)...);
  }

  template <class R, class... P, class... A>
  void Call(R (T::*method)(P...) const, A&&... args) const {
    Deliver<const T, P...>(method, std::forward<A>(args)...);
  }

  bool IsNull() const { return FList == nullptr; }

 private:
  template <class Target, class... P, class M, class... A>
  void Deliver(M method, A&&... args) const {
    static_assert(sizeof...(P) == sizeof...(A), "Parameter count mismatch");
    if (!FList) return;
    std::tuple<Prepared<P>...> prepared(std::forward<A>(args)...);
    const std::size_t count = FList->size();
    for (std::size_t i = 0; i < count && i < FList->size(); ++i) {
      if (Target* target = dynamic_cast<Target*>((*FList)[i])) {
        std::apply([&](auto&... values) { (target->*method)(values...); }, prepared);
      }
    }
  }

  const std::vector<INotification*>* FList;
};

class TNotificationCenter {
 public:
  // The process-wide center; made and destroyed explicitly by the program (and
  // by tests), never by static initialisation.
  static TNotificationCenter* FInstance;

  TNotificationCenter() : FOwner(std::this_thread::get_id()) {}
  TNotificationCenter(const TNotificationCenter&) = delete;
  TNotificationCenter& operator=(const TNotificationCenter&) = delete;

  template <class T>
  void Add(INotification* notifier) {
    CheckThread();
    auto& slot = FDictionary[std::string(T::IID)];
    if (!slot) slot = std::make_unique<TNotification_<T>>();
    static_cast<TNotification_<T>*>(slot.get())->FList.push_back(notifier);
  }

  // Removes the first entry equal to `notifier`; anything else is a no-op.
  template <class T>
  void Remove(INotification* notifier) {
    CheckThread();
    if (auto* list = Find<T>()) {
      auto& entries = list->FList;
      for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (*it == notifier) {
          entries.erase(it);
          return;
        }
      }
    }
  }

  template <class T>
  TInvoker<T> Invoker() {
    CheckThread();
    auto* list = Find<T>();
    return TInvoker<T>(list ? &list->FList : nullptr);
  }

  // Number of entries under T (tests and diagnostics).
  template <class T>
  std::size_t Count() {
    auto* list = Find<T>();
    return list ? list->FList.size() : 0;
  }

  // Deliveries are made on the thread that made the center. The app makes it
  // on the UI thread; a test may hand it to the thread that drives it.
  void AdoptCurrentThread() { FOwner = std::this_thread::get_id(); }

 private:
  template <class T>
  TNotification_<T>* Find() {
    auto it = FDictionary.find(std::string(T::IID));
    return it == FDictionary.end() ? nullptr : static_cast<TNotification_<T>*>(it->second.get());
  }

  void CheckThread() const { assert(std::this_thread::get_id() == FOwner && "event bus used off the UI thread"); }

  std::map<std::string, std::unique_ptr<TNotification>> FDictionary;
  std::thread::id FOwner;
};

// Shorthand for the common call site: deliver `method(args...)` to every
// subscriber of T through the process-wide center (a no-op without a center).
template <class T, class M, class... A>
void Notify(M method, A&&... args) {
  if (TNotificationCenter::FInstance)
    TNotificationCenter::FInstance->Invoker<T>().Call(method, std::forward<A>(args)...);
}
