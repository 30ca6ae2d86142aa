#include "heading/core/HeadingWorkspace.h"

#include "heading/core/CalibrationSession.h"
#include "text/Format.h"
#include "text/Scan.h"

namespace zeb::heading {

bool HeadingWorkspace::handleLine(std::string_view line)
{
    if (line.starts_with(kThresholdPrefix)) {
        std::string values;
        if (text::scan(line, "$PKVR,RPC,IHHD,THRESHOLD,%[^\r\n]\r\n", &values) == 1)
            thresholds.setFromText(values);
        return true;
    }
    if (!line.starts_with(kCalibrationPrefix))
        return false;
    int open = 0;
    unsigned readMode = 0;
    const int count = text::scan(line, "$PKVR,RPC,IHHD,CALIBRATION,%d,%u\r\n*s", &open, &readMode);
    if (count >= 1 && (open == 0 || open == 1))
        calibrationOpen = open == 1;
    if (count >= 2 && CalibrationSession::validMode(readMode))
        mode = readMode;
    return true;
}

std::string HeadingWorkspace::lines() const
{
    return text::format("%s%s\r\n%s%d,%u\r\n", kThresholdPrefix.data(), thresholds.text().c_str(),
                        kCalibrationPrefix.data(), calibrationOpen ? 1 : 0, static_cast<unsigned>(mode));
}

} // namespace zeb::heading
