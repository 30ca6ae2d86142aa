// A receiver's lines reach the trace parsers as the framer cut them: any bytes, any length.

#include "testsupport/FuzzCheck.h"
#include "trace/core/ComponentTable.h"
#include "trace/core/TraceRecord.h"
#include "trace/core/TraceRing.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zeb::trace;
    using zeb::testsupport::check;
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    TraceRing ring(4);
    TraceRecord record;
    if (parseTraceOutput(input, record)) {
        // The texts are pieces of the input: nothing is read past it.
        check(record.component.size() + record.file.size() + record.comment.size() <= size);
        ring.append(record);
        ring.append(record);
        check(ring.size() == 2 && ring.at(1) == record);
    }

    ComponentTable table;
    if (table.apply(input)) {
        const ComponentSwitches& row = table.rows().front();
        check(!row.name.empty() && row.name.size() <= kMaxComponentName);
        // What OK sends back names the component as it came, and reads back as a component line would.
        check(table.commitLines(true).size() == 1 + kLevelCount);
        check(!table.apply(table.commitLines(false)[1]) || table.rows().size() <= 2);
    }
    return 0;
}
