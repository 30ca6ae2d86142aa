// The command-line tool's reader against the workbench's own store: whatever the workbench
// writes, and the hand-edited files it reads, must give the same values through IniSettings.
#include "platform/IniSettings.h"
#include "platform/qt/QtSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

namespace zeb::platform {
namespace {

using namespace std::string_literals;

const std::string kMissing = "<missing>";

struct Entry
{
    std::string section;
    std::string key;
    std::string text;
};

QString iniFileIn(const QTemporaryDir& folder)
{
    return folder.path() + QStringLiteral("/Orvane/ZEB500.ini");
}

std::vector<Entry> trickyEntries()
{
    return {
        {"Settings", "mode", "3"},
        {"Settings", "connection", "/dev/serial/com1,9600,8,1.0,N"},
        {"Settings", "quotes", R"(a"b\c;d=e)"},
        {"Settings", "blanks", "  lead and trail  "},
        {"Settings", "controls",
         "x\ty\n\x01"s
         "2\x7f\r\a\b\f\v"},
        {"Settings", "nul",
         "\0"s
         "12"},
        {"Settings", "utf8", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"Settings", "at", "@home"},
        {"Settings", "atInvalid", "@Invalid()"},
        {"Settings", "atString", "@String(x)"},
        {"Settings", "empty", ""},
        {"Settings", "comment", "; not a comment # either"},
        {"Settings", "brackets", "[Other]"},
        {"Settings", "key with space", "1"},
        {"Settings", "k\xC3\xA9y \xE2\x82\xAC\xF0\x9F\x98\x80", "2"},
        {"Settings", "pct%25", "6"},
        {"Settings", "#hash;semi=eq[]", "7"},
        {"Settings/a", "b", "5"},
        {"", "top", "8"},
        {"General", "x", "9"},
        {"My Section", "y", "11"},
        {"SerialPorts", "COM1", "/dev/ttyUSB0"},
        {"MessageTelecommandReceive", "color", "16711680"},
    };
}

void expectSameAsWorkbench(const QString& folder, const IniSettings& ini, const std::vector<Entry>& entries)
{
    const QtSettingsStore workbench(folder);
    for (const Entry& entry : entries) {
        const std::string expected = workbench.readText(entry.section, entry.key, kMissing);
        EXPECT_EQ(ini.readText(entry.section, entry.key, kMissing), expected) << entry.section << "/" << entry.key;
        // The workbench reads a number up to a NUL character and ignores the rest.
        if (expected.find('\0') != std::string::npos)
            continue;
        EXPECT_EQ(ini.readInt(entry.section, entry.key, -77), workbench.readInt(entry.section, entry.key, -77))
            << entry.section << "/" << entry.key << " = " << expected;
    }
}

TEST(IniSettingsAgainstQt, ReadsBackWhatTheWorkbenchWrites)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::vector<Entry> entries = trickyEntries();
    {
        QtSettingsStore workbench(folder.path());
        for (const Entry& entry : entries)
            workbench.writeText(entry.section, entry.key, entry.text);
        workbench.writeInt("Settings", "min", INT_MIN);
        workbench.writeInt("Settings", "max", INT_MAX);
    }
    entries.push_back({"Settings", "min", std::to_string(INT_MIN)});
    entries.push_back({"Settings", "max", std::to_string(INT_MAX)});

    const IniSettings ini(iniFileIn(folder).toStdString());
    ASSERT_TRUE(ini.loaded());
    for (const Entry& entry : entries)
        EXPECT_EQ(ini.readText(entry.section, entry.key, kMissing), entry.text) << entry.section << "/" << entry.key;
    EXPECT_EQ(ini.readInt("Settings", "min", 0), INT_MIN);
    EXPECT_EQ(ini.readInt("Settings", "max", 0), INT_MAX);
    expectSameAsWorkbench(folder.path(), ini, entries);
}

std::string randomText(std::mt19937& random, std::size_t maxLength, bool forKey)
{
    static const std::vector<std::string> valuePieces = {"a",
                                                         "Z",
                                                         "0",
                                                         "7",
                                                         " ",
                                                         "\t",
                                                         "\"",
                                                         "\\",
                                                         ",",
                                                         ";",
                                                         "=",
                                                         "@",
                                                         "%",
                                                         "#",
                                                         "[",
                                                         "]",
                                                         "(",
                                                         ")",
                                                         "\n",
                                                         "\r",
                                                         "\0"s,
                                                         "\x01",
                                                         "\x1f",
                                                         "\x7f",
                                                         "x",
                                                         "\xC3\xA9",
                                                         "\xE2\x82\xAC",
                                                         "\xF0\x9F\x98\x80",
                                                         "@Invalid()",
                                                         "/"};
    // Keys: no '/' or '\' (group separators) and nothing the workbench itself rejects.
    static const std::vector<std::string> keyPieces
        = {"a", "Z", "0", " ", "\"", ",", ";", "=", "@", "%", "#", "[", "]", "-", "_", ".", "\xC3\xA9", "\xE2\x82\xAC"};
    const auto& pieces = forKey ? keyPieces : valuePieces;
    std::uniform_int_distribution<std::size_t> length(forKey ? 1 : 0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string text = forKey ? "k" : "";
    for (std::size_t n = length(random); n > 0; --n)
        text += pieces[pick(random)];
    return text;
}

TEST(IniSettingsAgainstQt, ReadsBackRandomTextsAndNames)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 20; ++round) {
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        std::vector<Entry> entries;
        for (int i = 0; i < 60; ++i) {
            const std::string section = i % 10 == 0 ? "" : randomText(random, 4, true);
            entries.push_back(
                {section, randomText(random, 6, true) + std::to_string(i), randomText(random, 12, false)});
        }
        entries.push_back({"Settings", "number", " -12 "});
        {
            QtSettingsStore workbench(folder.path());
            for (const Entry& entry : entries)
                workbench.writeText(entry.section, entry.key, entry.text);
        }
        const IniSettings ini(iniFileIn(folder).toStdString());
        expectSameAsWorkbench(folder.path(), ini, entries);
        for (const Entry& entry : entries)
            EXPECT_EQ(ini.readText(entry.section, entry.key, kMissing), entry.text) << entry.key;
    }
}

// Hand-edited files, within what both readers agree on.
TEST(IniSettingsAgainstQt, ReadsHandEditedFilesAsTheWorkbenchDoes)
{
    const std::string file = "\xEF\xBB\xBF"
                             "top=0\r\n"
                             "[S]\r\n"
                             "  a = 12 \r\n"
                             "b=+12\nc=0x10\nd=\" 12 \"\ne=12.0\nf=  spaced  out  ; note\n"
                             "g=\"q\" rest \nj=\"x\" \"y\"\nm=\\x41\\101\\q\\x100\nn=@Invalid()\no=@Variant(abc)\n"
                             "q=@@x\nr=@foo\n  ;c=1\nt=1\nt=2\nu=\"multi\nline\"\nv=a\\\nb\nw=\nx=007\ny=\t9\n"
                             "z=-2147483648\nza=1 2\nzc=a\\x20  \nzd=\"a;b\"\nze=a \\\n"
                             "k%zz=1\nk%U12=2\n%41=3\nx\\=4\nk%E9y=5\nsub\\key=6\n=7\n"
                             "noequals\n"
                             "[general]\ntop=1\n[%General]\nx=2\n[a\\b]\nc=3\n  [sp] x \nk=4\n[My%20Section]\ny=9\n"
                             "[open\nk=5\n[T]\nz2=@ByteArray(\\xc3\\xa9)\nz3=@String(\\0\\x31)\nz4=\xC3\xA9\n";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("/Orvane")));
    QFile out(iniFileIn(folder));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file.data(), static_cast<qint64>(file.size()));
    out.close();

    std::vector<Entry> keys;
    for (const char* key : {"a",  "b",  "c",  "d",    "e",     "f", "g",   "j",          "m",       "n", "o",
                            "q",  "r",  "c",  "t",    "u",     "v", "w",   "x",          "y",       "z", "za",
                            "zc", "zd", "ze", "k%zz", "k%U12", "A", "x=4", "k\xC3\xA9y", "sub/key", "",  "noequals"})
        keys.push_back({"S", key, ""});
    for (const auto& [section, key] : std::vector<std::pair<std::string, std::string>>{{"", "top"},
                                                                                       {"General", "x"},
                                                                                       {"a/b", "c"},
                                                                                       {"sp", "k"},
                                                                                       {"My Section", "y"},
                                                                                       {"open", "k"},
                                                                                       {"T", "z2"},
                                                                                       {"T", "z3"},
                                                                                       {"T", "z4"}})
        keys.push_back({section, key, ""});
    const IniSettings ini(iniFileIn(folder).toStdString());
    ASSERT_TRUE(ini.loaded());
    expectSameAsWorkbench(folder.path(), ini, keys);
}

TEST(IniSettingsAgainstQt, DefaultPathIsTheWorkbenchFile)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const QString expectedSuffix = QStringLiteral("/Orvane/ZEB500.ini");
    for (const char* configHome : {"", "/tmp/zeb500-config/"}) {
        qputenv("XDG_CONFIG_HOME", configHome);
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        EXPECT_EQ(IniSettings::defaultPath(), QDir::cleanPath(folder + expectedSuffix).toStdString()) << configHome;
    }
    qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace
} // namespace zeb::platform
