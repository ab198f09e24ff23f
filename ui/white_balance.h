// The white-balance pairs at 3100 K. The camera keeps the 5100 K value of a colour and, in the
// code after it, the difference that gives the 3100 K value: for R the 5100 K value less the
// 3100 K one, for B the 3100 K value less the 5100 K one, so that neither is negative while R
// at 3100 K is not above its 5100 K value and B not below it. The window edits the 3100 K
// value in the editor of the pair's index.
#pragma once

#include "platform/vb/error.h"

struct WhiteBalancePair {
  int wb3100;      // the index of the 3100 K editor
  int base;        // the 5100 K code
  int difference;  // the difference code
  bool red;

  // +1 for R (5100 K - 3100 K), -1 for B (3100 K - 5100 K).
  int sign() const { return red ? 1 : -1; }
  // The 3100 K value a 5100 K value and a difference give.
  long implied3100(long value5100, long difference) const {
    return red ? value5100 - difference : value5100 + difference;
  }
};

inline constexpr WhiteBalancePair kWhiteBalancePairs[] = {
    {0, 0x54, 0x55, true}, {1, 0x56, 0x57, true}, {2, 0x58, 0x59, false}, {3, 0x5A, 0x5B, false}};

// The pair of 3100 K editor `index`; error 9 for an index without one.
inline const WhiteBalancePair& WhiteBalancePairAt(int index) {
  if (index < 0 || index > 3) vb::Raise(vb::errSubscript);
  return kWhiteBalancePairs[index];
}

// The pair whose 5100 K or difference code is `code`; nullptr for any other code.
inline const WhiteBalancePair* WhiteBalancePairOf(int code) {
  for (const WhiteBalancePair& p : kWhiteBalancePairs)
    if (code == p.base || code == p.difference) return &p;
  return nullptr;
}
