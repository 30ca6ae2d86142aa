#include "terminal/filters/FilterAnswerer.h"

#include "testsupport/AllocationCounter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zeb::terminal {
namespace {

class FakeChannel : public FilterAnswerChannel
{
public:
    Choice prompt(std::vector<FilterAnswerRow>& rows) override
    {
        shown.push_back(rows);
        if (edit) {
            edit(rows);
        }
        return choice;
    }
    void send(std::string_view answer) override { sent.emplace_back(answer); }

    Choice choice = Choice::Accept;
    std::function<void(std::vector<FilterAnswerRow>&)> edit;
    std::vector<std::vector<FilterAnswerRow>> shown;
    std::vector<std::string> sent;
};

class FilterAnswererTest : public testing::Test
{
protected:
    void SetUp() override
    {
        filters.add(true, "$PKVR,SET,%[Mode],%[Value]");
        filters.add(true, "$PKVR,LOG,%[Rest]*");
    }

    InputFilterList filters;
    FakeChannel channel;
    FilterAnswerer answerer{filters, channel};
};

TEST_F(FilterAnswererTest, ShowsFieldsAndSendsEditedAnswer)
{
    channel.edit = [](std::vector<FilterAnswerRow>& rows) { rows[1].value = "13"; };
    EXPECT_EQ(answerer.offer("$PKVR,SET,A,12\r\n"), AnswerOutcome::Answered);
    ASSERT_EQ(channel.shown.size(), 1u);
    EXPECT_EQ(channel.shown[0], (std::vector<FilterAnswerRow>{{"Mode", "A"}, {"Value", "12"}}));
    EXPECT_EQ(channel.sent, std::vector<std::string>{"$PKVR,SET,A,13\r\n"});
}

TEST_F(FilterAnswererTest, NoMatchCancelAndTheThirdChoiceSendNothing)
{
    EXPECT_EQ(answerer.offer("$PKVR,SET,A\r\n"), AnswerOutcome::NoMatch);
    EXPECT_TRUE(channel.shown.empty());
    channel.choice = FilterAnswerChannel::Choice::Cancel;
    EXPECT_EQ(answerer.offer("$PKVR,SET,A,1\r\n"), AnswerOutcome::Cancelled);
    EXPECT_TRUE(filters[0].enabled);
    // The third choice disables the filter in memory.
    channel.choice = FilterAnswerChannel::Choice::Disable;
    EXPECT_EQ(answerer.offer("$PKVR,SET,A,1\r\n"), AnswerOutcome::Disabled);
    EXPECT_FALSE(filters[0].enabled);
    EXPECT_TRUE(channel.sent.empty());
    EXPECT_EQ(answerer.offer("$PKVR,SET,A,1\r\n"), AnswerOutcome::NoMatch);
}

TEST_F(FilterAnswererTest, ListChangedDuringPromptIsNotDisabledBlindly)
{
    channel.choice = FilterAnswerChannel::Choice::Disable;
    channel.edit = [this](std::vector<FilterAnswerRow>&) { filters.remove(0); };
    EXPECT_EQ(answerer.offer("$PKVR,SET,A,1\r\n"), AnswerOutcome::Disabled);
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_TRUE(filters[0].enabled);
}

TEST_F(FilterAnswererTest, TelecommandsDuringAPromptAreNotOffered)
{
    AnswerOutcome nested = AnswerOutcome::NoMatch;
    channel.edit = [&](std::vector<FilterAnswerRow>&) { nested = answerer.offer("$PKVR,SET,B,2\r\n"); };
    EXPECT_EQ(answerer.offer("$PKVR,SET,A,1\r\n"), AnswerOutcome::Answered);
    EXPECT_EQ(nested, AnswerOutcome::Busy);
    EXPECT_EQ(channel.shown.size(), 1u);
    channel.edit = nullptr;
    EXPECT_EQ(answerer.offer("$PKVR,SET,B,2\r\n"), AnswerOutcome::Answered);
}

TEST_F(FilterAnswererTest, OfferingWithoutMatchAllocatesNothing)
{
    for (int i = 0; i < 50; ++i) {
        filters.add(true, "$PKVR,X" + std::to_string(i) + ",%[a],%[b]*");
    }
    const testsupport::AllocationCounter allocations;
    for (int i = 0; i < 1000; ++i) {
        answerer.offer("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
        answerer.offer("$PKVR,SET,A\r\n");
    }
    EXPECT_EQ(allocations.count(), 0u);
}

} // namespace
} // namespace zeb::terminal
