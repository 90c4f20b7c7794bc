#pragma once

#include <atomic>

// A settings value that the user-interface thread changes while audio callbacks read it, with no
// lock: the live volume and the effect parameter values. Reads and writes are relaxed atomics
// (each value stands alone; nothing is ordered around it). Unlike std::atomic it copies, so the
// settings record stays an ordinary value that tests and scratch loads can copy and reset.
namespace kestrel {

template <typename T>
class SharedValue {
 public:
  static_assert(std::atomic<T>::is_always_lock_free, "audio callbacks must never wait");

  constexpr SharedValue(T value = T{}) : value_(value) {}  // NOLINT: reads like the plain value
  SharedValue(const SharedValue& other) : value_(other.load()) {}
  SharedValue& operator=(const SharedValue& other) {
    store(other.load());
    return *this;
  }
  SharedValue& operator=(T value) {
    store(value);
    return *this;
  }

  operator T() const { return load(); }  // NOLINT: reads like the plain value
  T load() const { return value_.load(std::memory_order_relaxed); }
  void store(T value) { value_.store(value, std::memory_order_relaxed); }

 private:
  std::atomic<T> value_;
};

using SharedFloat = SharedValue<float>;

}  // namespace kestrel
