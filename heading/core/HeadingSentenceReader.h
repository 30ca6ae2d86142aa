#pragma once

#include "messages/FieldScanner.h"
#include "messages/SentenceParser.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zeb::heading {

// What one received sentence says about the heading.
struct HeadingReading
{
    enum class Kind {
        None, // not a heading sentence (or one that does not scan): nothing changes
        Heading, // a valid heading, with the standard deviation and satellite count when given
        NoHeading, // a heading sentence that says there is no heading now
    };

    Kind kind = Kind::None;
    double heading = 0;
    std::optional<double> deviation;
    std::optional<std::uint32_t> satellites;
};

// Reads the two heading sentences a receiver emits: "$GPHDT,<heading>,T" and the proprietary
// "$PKVR,HRP,<time>,<heading>,T,<pitch>,<roll>,<deviation>,<satellites>,<status>". A heading
// given as a number makes the heading valid; status "N" (or no status, or no heading) in HRP
// means no heading. Values that are not finite count as absent. Nothing is allocated.
class HeadingSentenceReader
{
public:
    static constexpr std::string_view kHrpFormat = "%f64,%f64,T,%f64,%f64,%f64,%u32,%c08";

    HeadingReading read(std::string_view text);

private:
    HeadingReading readHrp(std::string_view text);

    messages::SentenceParser m_parser;
    messages::FieldScanner m_scanner;
};

} // namespace zeb::heading
