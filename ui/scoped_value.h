// Gives a variable of a window a value for the length of a scope.
#pragma once

// Sets `variable` to `value`; the old value comes back when the scope ends, also when an
// error leaves it.
template <typename T>
class ScopedValue {
 public:
  ScopedValue(T& variable, T value) : variable_(variable), saved_(variable) { variable_ = value; }
  ~ScopedValue() { variable_ = saved_; }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& variable_;
  T saved_;
};
