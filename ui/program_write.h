// The program-write guard of a window's value boxes.
#pragma once

#include "platform/vb/scoped_value.h"

// Raises a window's program-write flag (its mblnSetByProgram) for the length of a scope, so that
// the Change handlers its writes raise take them for the program's own and send nothing; the
// flag gets its old value back when the scope ends, also when an error leaves it.
class ProgramWrite : public vb::ScopedValue<bool> {
 public:
  explicit ProgramWrite(bool& flag) : ScopedValue(flag, true) {}
};
