#pragma once

#include "messages/codecs/Gnss2EventCodec.h"

namespace zeb::codecs {

// Creates, on the first call, the one GNSS2 event codec of the process and so registers it for (SBin, 8) ... (SBin,
// 12). The application and the tools call this at start-up; later calls return the same object.
Gnss2EventCodec& registerGnss2EventCodec();

// Registers the GNSS2 event codec and one codec of every other member ('U', 'S', 'E', 'A', 'R'/'Q', UHF 'C', 'P', 'T',
// 'X'), each once per process, for the terminal's Decoded mode and the tools.
void registerMessageCodecs();

} // namespace zeb::codecs
