// Gives a variable a value for the length of a scope.
#pragma once

namespace vb {

// Sets `variable` to `value` (or leaves it as it is); the old value comes back when the scope
// ends, also when an error leaves it.
template <typename T>
class ScopedValue {
 public:
  explicit ScopedValue(T& variable) : variable_(variable), saved_(variable) {}
  ScopedValue(T& variable, T value) : variable_(variable), saved_(variable) { variable_ = value; }
  ~ScopedValue() { variable_ = saved_; }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& variable_;
  T saved_;
};

}  // namespace vb
