#pragma once
// The local date and time of the link's clock (serial::clock(): the machine's clock, or the
// virtual clock of a protocol test), for the time stamps and file names the link makes.
#include "platform/vb/vb.h"

namespace mdlMSComm {
vb::DateTime LinkNow();
}  // namespace mdlMSComm
