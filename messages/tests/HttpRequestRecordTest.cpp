#include "messages/HttpRequestRecord.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zeb::messages {
namespace {

using State = HttpRequestRecord::State;

TEST(HttpRequestRecord, LinesEndInTheirState)
{
    const std::vector<std::pair<std::vector<std::string>, State>> cases{
        {{"GET / HTTP/1.1 x", ""}, HttpRequestRecord::Complete}, // trailing text after the version is ignored
        {{"GET /"}, HttpRequestRecord::Malformed},
        {{" GET / HTTP/1.1"}, HttpRequestRecord::Malformed},
        {{"GET / HTTP/1.1", "Connection keep-alive"}, HttpRequestRecord::Malformed},
        {{"GET / HTTP/1.1", "Connection:  "}, HttpRequestRecord::Malformed},
        {{"GET / HTTP/1.1", "A: \x7F"}, HttpRequestRecord::Malformed},
        {{"GET / HTTP/1.1", "", "garbage"}, HttpRequestRecord::Complete}, // nothing after completion
    };
    for (const auto& [lines, expected] : cases) {
        auto record = std::make_unique<HttpRequestRecord>();
        for (const auto& line : lines)
            record->handleLine(line);
        EXPECT_EQ(record->state(), expected) << lines.back();
    }
}

TEST(HttpRequestRecord, StoresUpperCaseFieldsNewestFirstWithUniqueNames)
{
    auto record = std::make_unique<HttpRequestRecord>();
    record->handleLine("get /Index.html HTTP/1.1\r");
    record->handleLine("Connection : keep-alive");
    record->handleLine("Accept:text/html, */*");
    record->handleLine("connection: close ");
    EXPECT_EQ(record->handleLine(""), HttpRequestRecord::Complete);
    EXPECT_EQ(record->method(), "GET");
    EXPECT_EQ(record->target(), "/Index.html") << "the target keeps its case";
    ASSERT_EQ(record->headerCount(), 2u);
    EXPECT_EQ(record->header(0).name, "ACCEPT");
    EXPECT_EQ(record->header(0).value, "TEXT/HTML, */*");
    EXPECT_EQ(record->header(1).value, "CLOSE ") << "replaced in place, the rest of the line kept";
    EXPECT_EQ(record->find("Connection").value_or("-"), "CLOSE ");
    EXPECT_FALSE(record->find("Host").has_value());

    static const std::uint8_t kReply[] = {'o', 'k'};
    record->response = kReply;
    record->responseCount = sizeof kReply;
    record->clear();
    EXPECT_EQ(record->state(), HttpRequestRecord::ExpectRequestLine);
    EXPECT_EQ(record->response, nullptr);
}

TEST(HttpRequestRecord, VersionNumbersReadAsTheCLibraryReadsThem)
{
    auto record = std::make_unique<HttpRequestRecord>();
    record->handleLine("POST /x HTTP/+2.-1");
    EXPECT_EQ(record->versionMajor(), 2u);
    EXPECT_EQ(record->versionMinor(), 4294967295u);
    record->clear();
    record->handleLine("POST /x HTTP/99999999999999999999999.4294967296");
    EXPECT_EQ(record->versionMajor(), 4294967295u) << "saturates like strtoul, then cut to 32 bits";
    EXPECT_EQ(record->versionMinor(), 0u);
}

// A peer that sends endless headers cannot make the record grow: it stops at its fixed size.
TEST(HttpRequestRecord, EndlessHeadersMakeTheRequestMalformedInsteadOfGrowing)
{
    auto record = std::make_unique<HttpRequestRecord>();
    record->handleLine("GET / HTTP/1.1");
    State state = record->state();
    int lines = 0;
    for (; lines < 10000 && state == HttpRequestRecord::ReadingHeaders; ++lines) {
        state = record->handleLine("X-" + std::to_string(lines) + ": value");
    }
    EXPECT_EQ(state, HttpRequestRecord::Malformed);
    EXPECT_EQ(lines, static_cast<int>(HttpRequestRecord::kMaxHeaders) + 1);

    record->clear();
    record->handleLine("GET / HTTP/1.1");
    const std::string big(3000, 'v');
    state = record->state();
    for (lines = 0; lines < 100 && state == HttpRequestRecord::ReadingHeaders; ++lines) {
        state = record->handleLine("Same: " + big);
    }
    EXPECT_EQ(state, HttpRequestRecord::Malformed) << "replaced values still use up the text space";
    EXPECT_LE(lines, 4);
}

} // namespace
} // namespace zeb::messages
