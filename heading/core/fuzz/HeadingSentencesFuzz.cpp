// Hands arbitrary bytes, as a received sentence, to the compass and to a calibration panel in each of
// its states. Whatever arrives, the compass stays within [0, 360) and its texts stay bounded, and the
// panel answers with at most a few bounded sentences.
#include "heading/core/CalibrationSession.h"
#include "heading/core/HeadingDisplay.h"
#include "heading/core/HeadingSentenceReader.h"
#include "testsupport/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace zeb::heading;
using zeb::testsupport::check;

class CountingHost : public CalibrationHost
{
public:
    void send(std::string_view sentence) override
    {
        ++sent;
        check(sentence.size() < 256);
    }
    void setPolling(bool) override { }
    // The largest double written "%.2lf" takes 312 characters.
    void fieldChanged(CalibrationField, const std::string& text) override { check(text.size() <= 320); }

    int sent = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    HeadingSentenceReader reader;
    int redraws = 0;
    HeadingDisplay display([&redraws] { ++redraws; });
    display.apply(reader.read(text));
    check(redraws <= 40);
    check(display.displayed() >= 0 && display.displayed() < 360);
    check(display.wholeText().size() <= 3 && display.deviationText().size() < 340);

    for (const std::uint32_t mode : {CalibrationSession::kOffsetMode, CalibrationSession::kBaseMode}) {
        CountingHost host;
        Thresholds thresholds;
        CalibrationSession session(host, thresholds, mode);
        session.receive(text);
        session.start();
        host.sent = 0;
        session.receive(text);
        session.receive(text);
        check(host.sent <= 4);
        session.stop();
    }
    return 0;
}
