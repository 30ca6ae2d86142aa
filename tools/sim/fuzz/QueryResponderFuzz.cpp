// Received lines reach the responder (and the heading receiver behind it) straight from the link; sentences
// from any capture file.

#include "tools/sim/HeadingSimulator.h"
#include "tools/sim/QueryResponder.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    zeb::tools::sim::QueryResponder responder;
    zeb::tools::sim::HeadingSimulator heading;
    responder.setHeading(&heading);
    responder.observe(input, size > 0 && (data[0] & 1) != 0);
    responder.observe(input, false);
    (void)responder.answer(input);
    (void)responder.answer("$ECGPQ,GSV");
    (void)responder.answer("$ECGPQ,GSA");
    (void)responder.answer("$PKVR,FIXMOD");
    return 0;
}
