#pragma once
// Matching of character messages against an accelerator table, shared by the emulating backends.
#include "platform/Platform.h"

namespace tavro::platform {

// The command of the first entry whose character is the message's and whose Alt flag agrees with
// whether Alt was held (kMessageSysChar, or the Alt bit of a kMessageChar), or -1 when the message is
// no character message or matches no entry.
int FindAcceleratorCommand(const AcceleratorTable& table, const Message& message);

} // namespace tavro::platform
