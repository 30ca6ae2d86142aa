#include "PanelModel.h"

#include "remote-display/core/DisplayListWriter.h"
#include "remote-display/core/PanelKeys.h"
#include "remote-display/core/PanelRequests.h"
#include "remote-display/core/WireWords.h"
#include "stream/rpc/RemoteFileRequest.h"

#include <array>
#include <cstdio>

namespace zeb::tools::sim {

namespace {

using namespace remote_display;

constexpr std::array<const char*, PanelModel::kMenuRows> kMenu{"Position", "Satellites", "Setup", "About"};
constexpr std::array<const char*, 5> kSoftKeys{"OK", "-", "+", "0", "CLR"};
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kBlue = 0xFF0000;

std::vector<std::uint32_t> words(const std::string& payload)
{
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size());
    std::vector<std::uint32_t> out;
    std::uint32_t word = 0;
    for (std::size_t at = 0; out.size() < 4 && readWordAt(bytes, at, word); at += 4)
        out.push_back(word);
    return out;
}

} // namespace

bool PanelModel::take(const std::string& payload)
{
    const std::vector<std::uint32_t> w = words(payload);
    if (w.empty())
        return false;
    switch (w[0]) {
    case PanelRequests::kKey:
        return w.size() >= 2 && key(w[1]);
    case PanelRequests::kClick:
        if (w.size() < 4)
            return false;
        m_click = std::pair{w[2] % 320, w[3] % 240};
        return true;
    case PanelRequests::kStepUp:
    case PanelRequests::kStepDown:
        step(w[0] == PanelRequests::kStepUp);
        return true;
    default:
        return false;
    }
}

bool PanelModel::key(std::uint32_t code)
{
    if (code >= key_code::Digit0 && code <= key_code::Digit0 + 9) {
        digit(code - key_code::Digit0);
        return true;
    }
    if (code >= '0' && code <= '9') {
        digit(code - '0');
        return true;
    }
    switch (code) {
    case key_code::Up:
        m_cursor = (m_cursor + kMenuRows - 1) % kMenuRows;
        return true;
    case key_code::Down:
        m_cursor = (m_cursor + 1) % kMenuRows;
        return true;
    case key_code::Left:
    case key_code::Right:
        step(code == key_code::Right);
        return true;
    case key_code::Soft1:
        m_title = kMenu[m_cursor];
        return true;
    case key_code::Escape:
    case key_code::Soft5:
        m_value = 0;
        return true;
    default:
        return false;
    }
}

void PanelModel::step(bool up)
{
    if (up)
        m_value = m_value < kMaxValue ? m_value + 1 : m_value;
    else
        m_value = m_value > 0 ? m_value - 1 : 0;
}

void PanelModel::digit(std::uint32_t d)
{
    m_value = (m_value * 10 + d) % (kMaxValue + 1);
}

std::vector<std::string> PanelModel::screen(std::uint32_t secondsOfDay) const
{
    DisplayListWriter list(stream::rpc::RemoteFileRequest::kMaxAppend);
    list.pen({0, 1, kBlack}).font("32x16").cursor(1, 1).text(m_title);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02u:%02u:%02u", secondsOfDay / 3600 % 24, secondsOfDay / 60 % 60,
                  secondsOfDay % 60);
    list.font("16x8").text(246, 4, clock).line(0, 34, 319, 34);
    for (std::size_t row = 0; row < kMenuRows; ++row)
        list.cursor(static_cast<std::uint32_t>(row + 4), 2)
            .text(std::string(row == m_cursor ? "> " : "  ") + kMenu[row]);
    char value[32];
    std::snprintf(value, sizeof value, "Value: %05u", m_value);
    list.cursor(10, 2).text(value);
    list.line(0, 214, 319, 214);
    for (std::size_t i = 0; i < kSoftKeys.size(); ++i)
        list.text(static_cast<double>(8 + 64 * i), 220, kSoftKeys[i]);
    if (m_click) {
        const auto [x, y] = *m_click;
        list.pen({0, 1, kBlue}).line(x - 4.0, y - 4.0, x + 4.0, y + 4.0).line(x - 4.0, y + 4.0, x + 4.0, y - 4.0);
    }
    return list.payloads();
}

} // namespace zeb::tools::sim
