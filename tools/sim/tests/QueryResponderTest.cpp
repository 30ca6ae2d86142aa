#include "tools/sim/QueryResponder.h"

#include <gtest/gtest.h>

namespace zeb::tools::sim {
namespace {

TEST(QueryResponder, AnswersGsaAndGsvWithTheLatestEpochThatHadThem)
{
    QueryResponder responder;
    EXPECT_EQ(responder.answer("$ECGPQ,GSA\r\n"), "");
    // A group so far is answered before any is complete.
    responder.observe("$GPGSV,3,1,09*00", true);
    EXPECT_EQ(responder.answer("$ECGPQ,GSV"), "$GPGSV,3,1,09*00\r\n");
    responder.observe("$GPRMC,1*00\r\n", true);
    responder.observe("$GPGSA,A,3,01*00\r\n", false);
    responder.observe("$GPGSV,2,1,05*00\r\n", false);
    responder.observe("$GPGSV,2,2,05*00\r\n", false);
    responder.observe("$GLGSV,1,1,02*00\r\n", false);
    responder.observe("$GPRMC,2*00\r\n", true);
    responder.observe("$GNGSA,A,3,02*00", false);
    responder.observe("$GNGSA,A,3,70*00", false);

    EXPECT_EQ(responder.answer("$ECGPQ,GSA\r\n"), "$GNGSA,A,3,02*00\r\n$GNGSA,A,3,70*00\r\n");
    EXPECT_EQ(responder.answer("$ECGPQ,GSV"), "$GPGSV,2,1,05*00\r\n$GPGSV,2,2,05*00\r\n$GLGSV,1,1,02*00\r\n");
    EXPECT_EQ(responder.answer("$ECGPQ,GSV*2E\r\n"), responder.answer("$ECGPQ,GSV"));

    // A group cut short by a pause is not answered until its last sentence has gone.
    responder.observe("$GPGSV,2,1,04*00\r\n", false);
    EXPECT_EQ(responder.answer("$ECGPQ,GSV"), "$GPGSV,2,1,05*00\r\n$GPGSV,2,2,05*00\r\n$GLGSV,1,1,02*00\r\n");
    responder.observe("$GPGSV,2,2,04*00\r\n", false);
    EXPECT_EQ(responder.answer("$ECGPQ,GSV\r\n"), "$GPGSV,2,1,04*00\r\n$GPGSV,2,2,04*00\r\n");
}

TEST(QueryResponder, AcknowledgesProprietaryCommandsWithAValidChecksum)
{
    struct Case
    {
        std::string_view received;
        std::string expected;
    };
    const Case cases[] = {
        {"$PKVR,SVDSEL\r\n", "$PKVR,SVDSEL,10.0*1B\r\n"},
        {"$PKVR,RESET,2\r\n", "$PKVR,ACK,RESET*03\r\n"},
        {"$PKVR,RPC,UTTE,VERSION,2\r\n", "$PKVR,ACK,RPC*17\r\n"},
        {"$PKVR,RPC,PING\r\n", ""}, // the stream's own
        {"$PKVR,ACK,SVDSEL*4F\r\n", ""}, // never acknowledge an acknowledgement
        {"$GPGGA,1,2,3*00\r\n", ""},
    };
    const QueryResponder responder;
    for (const auto& c : cases)
        EXPECT_EQ(responder.answer(c.received), c.expected) << c.received;
}

} // namespace
} // namespace zeb::tools::sim
