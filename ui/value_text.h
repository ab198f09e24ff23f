#pragma once
// Numbers read from the texts of value boxes. A box may hold any text the user typed or pasted,
// also one not taken yet (Enter-key mode): a number beyond the range of a Double counts as the
// largest one of its sign, so that the editors clamp it like any other huge number instead of
// raising an overflow.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/forms/range_controls.h"
#include "platform/vb/vb.h"

namespace valuetext {

// A numeric text as the nearest whole number (halves to even).
inline double WholeNumber(const std::string& text) { return std::nearbyint(vb::CDblWithinRange(text)); }

// A numeric text as the nearest whole number within the range of its up-down: above it the
// maximum, below it the minimum.
inline long WholeNumberWithin(const std::string& text, const forms::UpDown& range) {
  const double v = WholeNumber(text);
  if (v > range.Max()) return range.Max();
  if (v < range.Min()) return range.Min();
  return static_cast<long>(v);
}

}  // namespace valuetext
