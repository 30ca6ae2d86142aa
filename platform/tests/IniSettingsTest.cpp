#include "platform/IniSettings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace zeb::platform {
namespace {

namespace fs = std::filesystem;

const std::string kMissing = "<missing>";

struct TextCase
{
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected; // kMissing: the value reads as absent
};

class IniText : public ::testing::TestWithParam<TextCase>
{ };

TEST_P(IniText, ReadsTheValueTheWorkbenchWould)
{
    const TextCase& c = GetParam();
    const auto settings = IniSettings::fromText(c.file);
    EXPECT_EQ(settings->readText(c.section, c.key, kMissing), c.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Syntax, IniText,
    ::testing::Values(TextCase{"Plain", "[Settings]\nmode=3\ncolor=light blue\n", "Settings", "color", "light blue"},
                      TextCase{"BlanksAroundTheEqualsSign", "[S]\n  key \t=  value  \n", "S", "key", "value"},
                      TextCase{"CrLf", "[S]\r\nfirst=1\r\nsecond=2\r\n", "S", "second", "2"},
                      TextCase{"OldMacBreaks", "[S]\rfirst=1\rsecond=2", "S", "second", "2"},
                      TextCase{"ByteOrderMark", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "v"},
                      TextCase{"EmptyValue", "[S]\nk=\n", "S", "k", ""},
                      TextCase{"SemicolonComment", "[S]\n; k=1\nk=2\n", "S", "k", "2"},
                      TextCase{"HashComment", "[S]\n# k=1\n  #k=3\n", "S", "k", kMissing},
                      TextCase{"TrailingComment", "[S]\nk=a ; note\n", "S", "k", "a"},
                      TextCase{"SemicolonInQuotes", "[S]\nk=\"a;b\"\n", "S", "k", "a;b"},
                      TextCase{"LastDefinitionWins", "[S]\nk=1\n[T]\n[S]\nk=2\n", "S", "k", "2"},
                      TextCase{"LineWithoutEquals", "[S]\nnoequals\nk=1\n", "S", "k", "1"},
                      TextCase{"EscapedEqualsIsNoSeparator", "[S]\nx\\=4\n", "S", "x=4", kMissing},
                      TextCase{"EmptyKeyIgnored", "[S]\n=6\n", "S", "", kMissing}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Values, IniText,
    ::testing::Values(TextCase{"QuotedWithEscapes", R"([S]
k="a\"b\\c;d=e")",
                               "S", "k", R"(a"b\c;d=e)"},
                      TextCase{"QuotedKeepsBlanks", "[S]\nk=\" lead \"\n", "S", "k", " lead "},
                      TextCase{"QuotedPartThenText", "[S]\nk=\"q\" rest \n", "S", "k", "qrest "},
                      TextCase{"QuotesSpanLines", "[S]\nk=\"multi\nline\"\nnext=1\n", "S", "k", "multi\nline"},
                      TextCase{"ContinuedLine", "[S]\nk=a\\\nb\n", "S", "k", "ab"},
                      TextCase{"ContinuedCrLfLine", "[S]\r\nk=a\\\r\nb\r\n", "S", "k", "ab"},
                      TextCase{"ControlEscapes",
                               R"([S]
k=x\ty\n\x1\x32)"
                               "\x7f"
                               R"(\r\a\b\f\v\?\')",
                               "S", "k",
                               "x\ty\n\x01"s
                               "2\x7f\r\a\b\f\v?'"},
                      TextCase{"HexAndOctal", R"([S]
k=\x41\101\x100\q)",
                               "S", "k", "AA\xC4\x80"},
                      TextCase{"NulByte", "[S]\nk=@String(\\0\\x31\\x32)\n", "S", "k",
                               "\0"s
                               "12"},
                      TextCase{"EscapeProtectsTrailingBlank", "[S]\nk=a\\x20  \n", "S", "k", "a "},
                      TextCase{"Utf8", "[S]\nk=\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n", "S", "k",
                               "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
                      TextCase{"InvalidUtf8Replaced",
                               "[S]\nk=a\xFF"
                               "b\n",
                               "S", "k",
                               "a\xEF\xBF\xBD"
                               "b"},
                      TextCase{"UnquotedListIsItsText", "[S]\nk=/dev/serial/com1, 9600,8 ,1.0,N\n", "S", "k",
                               "/dev/serial/com1,9600,8,1.0,N"},
                      TextCase{"QuotedCommas", "[S]\nk=\"/dev/serial/com1,9600\"\n", "S", "k", "/dev/serial/com1,9600"},
                      TextCase{"DoubledAt", "[S]\nk=@@home\n", "S", "k", "@home"},
                      TextCase{"UnknownAtWord", "[S]\nk=@home\n", "S", "k", "@home"},
                      TextCase{"ByteArray", "[S]\nk=@ByteArray(\\xc3\\xa9)\n", "S", "k", "\xC3\xA9"},
                      TextCase{"Invalid", "[S]\nk=@Invalid()\n", "S", "k", kMissing},
                      TextCase{"QuotedInvalid", "[S]\nk=\"@Invalid()\"\n", "S", "k", kMissing},
                      TextCase{"InvalidHidesEarlierValue", "[S]\nk=1\nk=@Invalid()\n", "S", "k", kMissing},
                      TextCase{"VariantIgnored", "[S]\nk=@Variant(\\0\\0\\0\\x7f)\n", "S", "k", kMissing},
                      TextCase{"RectIgnored", "[S]\nk=@Rect(1 2 3 4)\n", "S", "k", kMissing}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Names, IniText,
    ::testing::Values(
        TextCase{"GeneralHoldsTopLevelKeys", "[General]\ntop=7\n", "", "top", "7"},
        TextCase{"GeneralIsCaseBlind", "[general]\ntop=7\n", "", "top", "7"},
        TextCase{"PercentGeneralIsTheGeneralSection", "[%General]\nx=8\n", "General", "x", "8"},
        TextCase{"EscapedSection", "[My%20Section]\ny=9\n", "My Section", "y", "9"},
        TextCase{"BlanksInSectionHeader", "  [ S2 ] trailing\ny=5\n", "S2", "y", "5"},
        TextCase{"UnclosedSectionHeader", "[open\nk=5\n", "open", "k", "5"},
        TextCase{"EscapedKey", "[S]\nkey%20with%20space=1\n", "S", "key with space", "1"},
        TextCase{"Latin1Key", "[S]\nk%E9y=1\n", "S", "k\xC3\xA9y", "1"},
        TextCase{"WideKeyWithSurrogates", "[S]\nk%U20AC%UD83D%UDE00=2\n", "S", "k\xE2\x82\xAC\xF0\x9F\x98\x80", "2"},
        TextCase{"PercentKey", "[S]\npct%25=6\n", "S", "pct%", "6"},
        TextCase{"BadPercentEscapeIsLiteral", "[S]\nk%zz=1\nk%U12=2\n", "S", "k%U12", "2"},
        TextCase{"BackslashInKeyIsASubgroup", "[Settings]\na\\b=5\n", "Settings/a", "b", "5"},
        TextCase{"BackslashInSectionIsASubgroup", "[a\\b]\nc=3\n", "a", "b/c", "3"},
        TextCase{"KeysAreCaseSensitive", "[SerialPorts]\ncom1=/dev/ttyS0\n", "SerialPorts", "COM1", kMissing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniSettings, IntegersReadWithTheirFullRangeAndOnlyWhenWhollyNumbers)
{
    struct Case
    {
        const char* value;
        int expected;
    };
    constexpr int kFallback = -77;
    const Case cases[] = {
        {"812", 812},
        {"-2147483648", INT_MIN},
        {"2147483647", INT_MAX},
        {"007", 7},
        {"+12", 12},
        {"-0", 0},
        {"\" 12 \"", 12},
        {"\"\\t12\"", 12},
        {"2147483648", kFallback},
        {"-2147483649", kFallback},
        {"99999999999999999999", kFallback},
        {"+-1", kFallback},
        {"--1", kFallback},
        {"\"+ 1\"", kFallback},
        {"0x10", kFallback},
        {"12.0", kFallback},
        {"1e3", kFallback},
        {"1 2", kFallback},
        {"", kFallback},
        {"light", kFallback},
        {"@Invalid()", kFallback},
    };
    for (const Case& c : cases) {
        const auto settings = IniSettings::fromText("[S]\nk=" + std::string(c.value) + "\n");
        EXPECT_EQ(settings->readInt("S", "k", kFallback), c.expected) << c.value;
    }
}

TEST(IniSettings, KeysAreFoundWhicheverWayTheSectionIsSplit)
{
    const auto settings = IniSettings::fromText("top=1\n[General]\ntop=2\n[Settings]\nmode=3\nsub\\deep=4\n");
    EXPECT_EQ(settings->readInt("", "top", 0), 2) << "keys before any section belong to no section";
    EXPECT_EQ(settings->readInt("", "Settings/mode", 0), 3);
    EXPECT_EQ(settings->readInt("Settings/", "/mode", 0), 3);
    EXPECT_EQ(settings->readInt("Settings/sub", "deep", 0), 4);
    EXPECT_EQ(settings->readInt("Settings", "sub//deep", 0), 4);
    EXPECT_EQ(settings->readInt("General", "top", 0), 0);
}

TEST(IniSettings, AnUnterminatedQuoteRunsToTheEndAsInTheWorkbench)
{
    const auto settings = IniSettings::fromText("[S]\na=1\nb=\"open\nc=3\n");
    EXPECT_EQ(settings->readInt("S", "a", 0), 1);
    EXPECT_EQ(settings->readText("S", "b", ""), "open\nc=3\n");
    EXPECT_EQ(settings->readInt("S", "c", 0), 0);
}

TEST(IniSettings, HugeLinesAndManyLinesAreRead)
{
    const std::string big(1 << 20, 'x');
    std::string text = "[S]\nbig=" + big + "\n" + std::string(200000, 'k') + "=long key\n";
    for (int i = 0; i < 50000; ++i)
        text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    text += "quotes=" + std::string(100001, '"') + "\nafter=1\n";
    const auto settings = IniSettings::fromText(text);
    EXPECT_EQ(settings->readText("S", "big", ""), big);
    EXPECT_EQ(settings->readText("S", std::string(200000, 'k'), ""), "long key");
    EXPECT_EQ(settings->readInt("S", "k49999", 0), 49999);
    // An odd number of quotes leaves the last one open: everything after is inside it.
    EXPECT_EQ(settings->readInt("S", "after", 0), 0);
    EXPECT_EQ(IniSettings::fromText(std::string(1 << 20, '\\'))->readText("", "x", "none"), "none");
}

class IniFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("zeb500-ini-test-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    fs::path write(const std::string& name, const std::string& text)
    {
        const fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string contents(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_folder;
};

TEST_F(IniFile, MissingOrUnreadableFilesGiveAnEmptyStore)
{
    for (const fs::path& path : {m_folder / "absent.ini", m_folder}) {
        IniSettings settings(path.string());
        EXPECT_FALSE(settings.loaded()) << path;
        EXPECT_EQ(settings.readInt("Settings", "mode", 5), 5);
        settings.writeInt("Settings", "mode", 6);
        EXPECT_EQ(settings.readInt("Settings", "mode", 5), 6);
    }
}

TEST_F(IniFile, OversizedFilesAreNotRead)
{
    const fs::path path = write("big.ini", "[S]\nk=1\n" + std::string(IniSettings::kMaxFileSize, ';'));
    IniSettings settings(path.string());
    EXPECT_FALSE(settings.loaded());
    EXPECT_EQ(settings.readInt("S", "k", 0), 0);
}

TEST_F(IniFile, WritesStayInMemoryAndNeverTouchTheFile)
{
    const std::string text = "[SerialPorts]\r\nCOM1=/dev/ttyUSB0\r\n";
    const fs::path path = write("ZEB500.ini", text);
    IniSettings settings(path.string());
    EXPECT_TRUE(settings.loaded());
    EXPECT_EQ(settings.path(), path.string());
    EXPECT_EQ(settings.readText("SerialPorts", "COM1", ""), "/dev/ttyUSB0");
    settings.writeText("SerialPorts", "COM1", "/dev/pts/3");
    settings.writeInt("SerialPorts", "count", 2);
    settings.flush();
    EXPECT_EQ(settings.readText("SerialPorts", "COM1", ""), "/dev/pts/3");
    EXPECT_EQ(settings.readInt("SerialPorts", "count", 0), 2);
    EXPECT_EQ(contents(path), text);
}

TEST(IniSettings, DefaultPathFollowsTheUserConfigurationFolder)
{
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";

    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg/", 1);
    EXPECT_EQ(IniSettings::defaultPath(), "/tmp/xdg/Orvane/ZEB500.ini");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    ::setenv("HOME", "/home/bench/", 1);
    EXPECT_EQ(IniSettings::defaultPath(), "/home/bench/.config/Orvane/ZEB500.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    EXPECT_EQ(IniSettings::defaultPath(), "/.config/Orvane/ZEB500.ini");
    ::setenv("XDG_CONFIG_HOME", "rel/x", 1);
    EXPECT_EQ(IniSettings::defaultPath(), (fs::current_path() / "rel/x/Orvane/ZEB500.ini").string());

    ::setenv("HOME", home.c_str(), 1);
    if (savedConfig)
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace zeb::platform
