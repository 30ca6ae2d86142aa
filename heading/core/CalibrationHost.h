#pragma once

#include <string>
#include <string_view>

namespace zeb::heading {

// The panel's fields, by their control numbers.
enum class CalibrationField : int {
    BaseLength = 1041,
    HorizontalOffset = 1042,
    VerticalOffset = 1043,
    FourthSetting = 1044,
    BaseLengthQuality = 1045,
    HorizontalOffsetQuality = 1046,
    VerticalOffsetQuality = 1047,
    FirstValue = 1048,
};

// What a calibration session drives: the stream it writes to, its once-a-second poll, and
// whoever shows its fields (the window's panel, or the console).
class CalibrationHost
{
public:
    virtual ~CalibrationHost() = default;

    // One whole sentence, CR LF included.
    virtual void send(std::string_view sentence) = 0;
    // Starts or stops calling CalibrationSession::poll() every second.
    virtual void setPolling(bool on) = 0;
    // A field shows another text.
    virtual void fieldChanged(CalibrationField, const std::string&) { }
    // Running, mode or a converged flag changed.
    virtual void stateChanged() { }
};

} // namespace zeb::heading
