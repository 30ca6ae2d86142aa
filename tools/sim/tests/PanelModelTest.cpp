#include "tools/sim/PanelModel.h"

#include "remote-display/core/DisplayInterpreter.h"
#include "remote-display/core/DisplayList.h"
#include "remote-display/core/JsonPainter.h"
#include "remote-display/core/PanelKeys.h"
#include "remote-display/core/WireWords.h"

#include <gtest/gtest.h>

namespace zeb::tools::sim {
namespace {

using namespace remote_display;

std::string request(std::initializer_list<std::uint32_t> words)
{
    std::string out;
    for (const std::uint32_t word : words)
        appendWord(out, word);
    return out;
}

std::string drawn(const PanelModel& model)
{
    DisplayList list;
    for (const std::string& payload : model.screen(3723))
        list.take({reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()});
    JsonPainter painter;
    DisplayInterpreter::interpret(list.shown(), painter);
    return painter.lines();
}

// Keys, steps and clicks change the model as its comment says, and the screen shows it.
TEST(PanelModel, ReactsToKeysStepsAndClicks)
{
    PanelModel model;
    EXPECT_TRUE(model.take(request({4026, key_code::Down})));
    EXPECT_TRUE(model.take(request({4026, key_code::Down})));
    EXPECT_TRUE(model.take(request({4026, key_code::Up})));
    EXPECT_EQ(model.cursorRow(), 1u);
    EXPECT_TRUE(model.take(request({4026, key_code::Digit1 + 4})));
    EXPECT_TRUE(model.take(request({4026, '7'})));
    EXPECT_TRUE(model.take(request({19})));
    EXPECT_TRUE(model.take(request({4026, key_code::Left})));
    EXPECT_TRUE(model.take(request({4026, key_code::Left})));
    EXPECT_EQ(model.value(), 56u);
    EXPECT_TRUE(model.take(request({4026, key_code::Soft1})));
    EXPECT_TRUE(model.take(request({4027, 1, 100, 50})));
    const std::string screen = drawn(model);
    EXPECT_NE(screen.find("\"text\": \"Satellites\""), std::string::npos) << screen;
    EXPECT_NE(screen.find("\"text\": \"> Satellites\""), std::string::npos) << screen;
    EXPECT_NE(screen.find("\"text\": \"Value: 00056\""), std::string::npos) << screen;
    EXPECT_NE(screen.find("\"text\": \"01:02:03\""), std::string::npos) << screen;
    EXPECT_NE(screen.find("{\"op\": \"line\", \"x1\": 96, \"y1\": 46, \"x2\": 104, \"y2\": 54}"), std::string::npos);

    EXPECT_TRUE(model.take(request({4026, key_code::Escape})));
    EXPECT_EQ(model.value(), 0u);
    EXPECT_FALSE(model.take(request({4026})));
    EXPECT_FALSE(model.take(request({4027, 1})));
    EXPECT_FALSE(model.take("\x01"));
}

} // namespace
} // namespace zeb::tools::sim
