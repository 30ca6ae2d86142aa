#include "terminal/session/TerminalSettings.h"

#include "text/Format.h"
#include "text/Scan.h"

namespace zeb::terminal {

TerminalSettings TerminalSettings::fromSettings()
{
    TerminalSettings settings;
    settings.options = TerminalOptions::fromSettings();
    return settings;
}

bool TerminalSettings::handleLine(std::string_view line)
{
    unsigned stream = 0;
    if (text::scan(line, "$PKVR,RPC,IHTE,STREAM,%u\r\n", &stream) == 1) {
        streamId = stream;
        return true;
    }
    std::string optionText;
    if (text::scan(line, "$PKVR,RPC,IHTE,OPTION,%[^\r\n]\r\n", &optionText) == 1) {
        options.parseText(optionText);
        return true;
    }
    int width = 0;
    int height = 0;
    if (text::scan(line, "$PKVR,RPC,IHTE,BUTTON,BAR,SIZE,%d,%d\r\n", &width, &height) == 2) {
        buttonBarWidth = width;
        buttonBarHeight = height;
        return true;
    }
    return false;
}

std::string TerminalSettings::lines() const
{
    std::string text = text::format("$PKVR,RPC,IHTE,STREAM,%u\r\n", streamId);
    text += "$PKVR,RPC,IHTE,OPTION,";
    text += options.toText();
    text += "\r\n";
    text::appendFormat(text, "$PKVR,RPC,IHTE,BUTTON,BAR,SIZE,%d,%d\r\n", static_cast<int>(buttonBarWidth),
                       static_cast<int>(buttonBarHeight));
    return text;
}

} // namespace zeb::terminal
