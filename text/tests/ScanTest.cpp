#include "text/Scan.h"

#include "testsupport/TempFolder.h"
#include "text/fuzz/ScanOracle.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace std::string_literals;
using namespace std::string_view_literals;
using zeb::text::kScanEof;
using zeb::text::scan;
using zeb::text::ScanTarget;

namespace {

// A pattern with inputs it is meant to read; every prefix and a set of damaged copies of each input are
// tried as well.
using PatternCase = std::pair<std::string, std::vector<std::string>>;

const std::vector<PatternCase>& patternTable()
{
    static const std::vector<PatternCase> table = {
        // The patterns the protocol and device code uses.
        {"$PKVR,RPC,FRAME,\"%[^\"]\",%d,%d,%d,%d,%d\r\n*s", {"$PKVR,RPC,FRAME,\"main view\",1,-2,30,400,5\r\n*s"}},
        {"/dev/serial/com%u,%u,%u,%lf,%c", {"/dev/serial/com1,9600,8,1,N", "/dev/serial/com12,115200,7,1.5,E"}},
        {"/dev/client/%[^/]/%u", {"/dev/client/rover.example.net/2101", "/dev/client/[fe80::1]/80"}},
        {"$PKVR,RPC,BAR,%u,%d,%d,%d,%d,%d,%d,%u,%d,%u,%d,%d,%d,%d,%u,%d,%d%[^\r\n]\r\n",
         {"$PKVR,RPC,BAR,1,-2,3,-4,5,-6,7,8,-9,10,11,-12,13,-14,15,16,-17,tail\r\n",
          "$PKVR,RPC,BAR,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17\r\n"}},
        {"$PKVR,DEBUG,TRACE,%[^,] , %u , %u , %u , %u , %u , %u% \r\n",
         {"$PKVR,DEBUG,TRACE,nav , 1 , 2 , 3 , 4 , 5 , 6 \r\n", "$PKVR,DEBUG,TRACE,nav,1,2,3,4,5,6% \r\n"}},
        {"%[^ ] %[^ ] HTTP/%u.%u", {"GET /status HTTP/1.1", "POST  /a%20b   HTTP/2.0\r\n"}},
        {"%[^ :] : %[^\r\n]", {"Content-Length : 42\r\n", "Host:example.net", "X-Empty: \r\n"}},
        {"$GPGSV,%u,%u,%u%[^*\r\n]", {"$GPGSV,3,1,11,03,03,111,00,04,15,270,00*74\r\n", "$GPGSV,1,1,00*79\r\n"}},
        {"%x,%x,%x,%x,%x,%x,%x,%x", {"fe80,0,0,0,0x1ff,fe23,4567,890A", "FFFFFFFF,100000000,-1,0x,x,0X1,,"}},
        {"%u.%u.%u.%u", {"192.168.1.255", "256.-1.4294967296.007", "1.2.3"}},
        {"$PKVR,SVDSEL,%lf,%[^*\r\n]", {"$PKVR,SVDSEL,-1.5e-3,G01,E11*7F\r\n", "$PKVR,SVDSEL,nan,x"}},
        {"%c%c,%u,%lf", {"GP,12,0x1.8p1", "  ,, 7 , 2"}},
        // Every integer conversion and length modifier.
        {"%d %i %u %o %x %X", {"-12 0x1F 42 0777 dead BEEF", "+7 -010 -1 8 0xg 0X"}},
        {"%hhd %hhu %hd %hu %hhi", {"300 -1 70000 -70000 0x80", "-129 256 32768 65536 -0"}},
        {"%ld %lu %lld %llu %Ld %qu",
         {"9223372036854775807 18446744073709551615 -9223372036854775808 0 1 2",
          "9223372036854775808 18446744073709551616 -9223372036854775809 -1 -2 -3"}},
        {"%jd %ju %zd %zu %td %tu %li %lx", {"-1 -1 -1 -1 -1 -1 0x7fffffffffffffff ffffffffffffffff1"}},
        {"%d%d", {"4294967296 -2147483649", "99999999999999999999 -99999999999999999999"}},
        {"%i%i%i", {"0x 08 0", "-0x10 +017 0X", "00x1 0xx 0"}},
        {"%3d%2u%1x%4i", {"-12345", "1234567890", "0x1234567", "+-1"}},
        // Floating point, including the partial forms sscanf still converts.
        {"%f %lf", {"1.5 -2.25", "1e 1e+", "1e-5 .5", "5. -.", "1.2.3 4"}},
        {"%e %E %g %G %a %A %F", {"1e10 1E-10 0.1 1G 0x1p3 0X1.8P-1 3"}},
        {"%lf%lf", {"nan inf", "-NAN +Infinity", "infinit", "infx nanx", "na", "infinityinfinity"}},
        {"%lf%n",
         {"0x", "-0x", "0x.", "0x1p", "0xp3", "0x1pe", "0x1P-2", "+.e5", ".", "-", "0e", "1e400", "1e-400", "4.9e-324",
          "2.4703282292062328e-324", "1.7976931348623158e308", "0x1.fffffffffffff8p1023"}},
        {"%f%n", {"3.4028235e38", "3.4028236e38", "1e-46", "0x1.fffffep127", "16777217"}},
        {"%Lf %Le %llf", {"1.5 1e-5000 0.1", "1e4933 nan -inf"}},
        {"%3lf%s", {"infinity", "-nan", "0x1p4", "1e+5", "12345"}},
        // Characters, strings and sets.
        {"%c%s%c", {"ab c", " a b", "x\ty"}},
        {"%5c|%1c|%c", {"abcde|f|g", "ab", "a b c|d|e"}},
        {"%[a-z]%[0-9]%[^a-z0-9]", {"abc123!@#", "ABC", "z9-"}},
        {"%[]a]%[^]a]", {"]a]b]", "]]]", "a]b"}},
        {"%[a-]%[-a]%[^-]", {"a--aa-b", "-a-x", "b-"}},
        {"%[z-a]%[a-c-e]%[]-a]", {"z-aabcde]^_`a", "-zaz"}},
        {"%[^\r\n]%[\r\n]", {"line one\r\nline two", "\r\n", ""}},
        {"%3[abc]%2[^x]", {"abcabc", "aaxx", "xyz"}},
        {"%[abc", {"abc", ""}},
        // Suppression, %n and %%.
        {"%*d%d%*s%n", {"1 2 three", "1", " "}},
        {"%*[^,],%*c%5c%*3s%s", {"skip,xabcdefghij", "skip"}},
        {"%n%d%n %n%c%hhn%hn%ln%lln", {"  42  x", "", "  "}},
        {"%%%d%%", {"%5%", " % 5 %", "%%"}},
        // White-space rules.
        {" %c", {"   x", "", "\t\n\v\f\r y"}},
        {"a b", {"ab", "a b", "a  ", "a\r\nb"}},
        {"x%dy", {"x5y", "x 5 y", " x5y"}},
        {"", {"anything"}},
        // Malformed and unusual conversions.
        {"%", {"", "x"}},
        {"%y%d", {"1"}},
        {"%hld", {"1"}},
        {"%5*d", {"1"}},
        {"%99999999999d %99999999999s", {"123 abc"}},
        {"%'d %Id %I'*d %d", {"1,234 5 6 7"}},
        {"%Ii %If %Ilf %'lf %I5d", {"0x1f 1.5 -2e3 1,5 123456", "-010 nan 0x1p1 .5e1 1"}},
        {"\xe9%d\xff", {"\xe9\x35\xff", " \xe9\x35", "\xe8"}},
        {"abc\0%d"s, {"abc"}},
    };
    return table;
}

// Inputs every pattern is also tried with.
std::vector<std::string> commonInputs()
{
    // '|' separates the short ones.
    const std::string_view shortOnes = "| |0|-1|+|.|x|%|0x|0X1p|1e+|nan|-inf|Infinity|4294967296|-2147483649|"
                                       "18446744073709551616|99999999999999999999|\x80\x81\xfe\xff|  1  2  3  |"
                                       "\t\r\n|1\0002|\0|1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18"sv;
    std::vector<std::string> inputs;
    for (std::size_t at = 0, end = 0; end != std::string_view::npos; at = end + 1) {
        end = shortOnes.find('|', at);
        inputs.emplace_back(shortOnes.substr(at, end == std::string_view::npos ? end : end - at));
    }
    for (std::string more : {std::string(300, '9'), "0." + std::string(400, '0') + "1e+" + std::string(50, '0') + "400",
                             "0x" + std::string(300, 'f') + "p-1200"})
        inputs.push_back(std::move(more));
    // Over-long fields: a host name far beyond any fixed buffer, and long runs of the other kinds.
    inputs.push_back("/dev/client/" + std::string(100000, 'h') + "/2101");
    inputs.push_back(std::string(100000, 'a') + " " + std::string(100000, 'b'));
    return inputs;
}

// Damaged copies of a good input: cut short, with a byte replaced or dropped, a NUL inserted, and white
// space or line ends around it.
std::vector<std::string> variants(const std::string& sample)
{
    std::vector<std::string> out
        = {sample, "  " + sample, sample + "  ", "\r\n" + sample, sample + "\r\n", sample + sample, sample + "\xff"};
    for (std::size_t i = 0; i < sample.size(); ++i) {
        out.push_back(sample.substr(0, i));
        out.push_back(sample.substr(0, i) + sample.substr(i + 1));
        for (const char replacement : {'\0', '\x80', '\xff', ' ', 'x', '-', '9'}) {
            std::string damaged = sample;
            damaged[i] = replacement;
            out.push_back(damaged);
        }
    }
    return out;
}

TEST(ScanOracle, EveryTablePatternCanBeCompared)
{
    // A pattern the oracle cannot give sscanf targets for would pass the differential test unchecked.
    for (const auto& [pattern, samples] : patternTable())
        EXPECT_TRUE(zeb::text::oracle::analyse(pattern).checkable) << zeb::text::oracle::escaped(pattern);
}

TEST(Scan, AgreesWithSscanf)
{
    const std::vector<std::string> common = commonInputs();
    int differences = 0;
    std::size_t compared = 0;
    for (const auto& [pattern, samples] : patternTable()) {
        std::vector<std::string> inputs = common;
        for (const std::string& sample : samples) {
            const auto damaged = variants(sample);
            inputs.insert(inputs.end(), damaged.begin(), damaged.end());
        }
        for (const std::string& input : inputs) {
            const auto verdict = zeb::text::oracle::compare(pattern, input);
            compared += verdict.checked ? 1 : 0;
            if (!verdict.difference.empty() && ++differences <= 20)
                ADD_FAILURE() << verdict.difference;
        }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(compared, 10000u);
}

// Beyond what sscanf can be compared on: a %c wider than any buffer, and an input that is a view.
TEST(Scan, TakesAnyWidthAndEndsTheInputAtTheViewsEnd)
{
    std::string chars;
    unsigned port = 0;
    EXPECT_EQ(scan(std::string(100000, 'h') + " xyz", "%*s %200000c", &chars), 1);
    EXPECT_EQ(chars, "xyz"); // %c takes what is left rather than failing
    EXPECT_EQ(scan(std::string_view("12 34", 4), "%*d %u", &port), 1);
    EXPECT_EQ(port, 3u);
}

// What sscanf cannot be compared on: positional targets and targets of the wrong type or missing.
TEST(Scan, ChecksItsTargets)
{
    int i = 0;
    int j = 0;
    long l = 0;
    unsigned u = 0;
    char c = 0;
    std::string s;
    EXPECT_EQ(scan("5 6", "%2$d %1$d", &i, &j), 2);
    EXPECT_EQ(i * 10 + j, 65);
    EXPECT_EQ(scan("5 6", "%3$d %1$d", &i, &j), 0);
    EXPECT_EQ(scan("1 2", "%d %d", &i), 1);
    EXPECT_EQ(scan("1 2", "%d %ld", &i, &i), 1);
    EXPECT_EQ(scan("1 2", "%d %d", &i, &u), 1);
    EXPECT_EQ(scan("1 2", "%d %f", &i, &l), 1);
    EXPECT_EQ(scan("ab", "%2c", &c), 0);
    EXPECT_EQ(scan("ab", "%s", &c), 0);
    EXPECT_EQ(scan("ab", "%c", static_cast<char*>(nullptr)), 0);
    EXPECT_EQ(scan("ab", "%ms", &s), 0);
    EXPECT_EQ(scan("0x1", "%p", &l), 0);
    EXPECT_EQ(scan("", "%d", &u), 0); // stops before reading: no end-of-input report
    std::vector<ScanTarget> targets = {&i, &s};
    EXPECT_EQ(scan("7 seven", "%d %s", targets), 2);
    EXPECT_EQ(s, "seven");
}

// Builds a locale whose decimal point is a comma, as many users' locales have, and makes it the numeric
// locale. Returns false when the system cannot build one.
bool useCommaLocale(const std::filesystem::path& dir)
{
    std::ofstream(dir / "comma.src") << "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                                        "grouping 3\nEND LC_NUMERIC\n";
    const std::string command
        = "localedef -c -i '" + (dir / "comma.src").string() + "' '" + (dir / "comma").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1)
        return false;
    const char* oldPath = std::getenv("LOCPATH");
    const std::string savedPath = oldPath == nullptr ? "" : oldPath;
    setenv("LOCPATH", dir.c_str(), 1);
    const bool loaded = std::setlocale(LC_NUMERIC, "comma") != nullptr;
    if (oldPath == nullptr)
        unsetenv("LOCPATH");
    else
        setenv("LOCPATH", savedPath.c_str(), 1);
    return loaded && std::strtod("1.5", nullptr) == 1.0;
}

TEST(Scan, IgnoresTheProcessLocale)
{
    // The application sets the user's locale at start-up; the protocols must read the same regardless.
    const zeb::testsupport::TempFolder dir;
    const bool comma = useCommaLocale(dir.path());
    double d = 0;
    float f = 0;
    std::string rest;
    const int stored = scan("1.5 2.25 x", "%lf %f %s", &d, &f, &rest);
    std::setlocale(LC_NUMERIC, "C");
    if (!comma)
        GTEST_SKIP() << "cannot build a locale with a decimal comma";
    EXPECT_EQ(stored, 3);
    EXPECT_EQ(d, 1.5);
    EXPECT_EQ(f, 2.25f);
}

} // namespace
