#include "platform/IniSettings.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace zeb::platform {

namespace {

// Texts are decoded to UTF-16 code units while unescaping, as the workbench does: its
// escapes ("\x41", "%U20AC") name code units, and surrogate pairs arrive one half at a time.
using Units = std::u16string;

constexpr char16_t kReplacement = 0xFFFD;

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

bool isBlank(char16_t ch)
{
    return ch == u' ' || ch == u'\t';
}

int hexValue(char16_t ch)
{
    if (ch >= u'0' && ch <= u'9')
        return ch - u'0';
    if (ch >= u'a' && ch <= u'f')
        return ch - u'a' + 10;
    if (ch >= u'A' && ch <= u'F')
        return ch - u'A' + 10;
    return -1;
}

int octalValue(char16_t ch)
{
    return ch >= u'0' && ch <= u'7' ? ch - u'0' : -1;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Length of the UTF-8 sequence at the start of `bytes` and its code point; 0 when it is not
// a valid, shortest-form sequence.
std::size_t decodeUtf8(std::string_view bytes, char32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
    }
    if (length == 0 || length > bytes.size())
        return 0;
    codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < minimum || codePoint > 0x10FFFF || surrogate ? 0 : length;
}

void appendUtf8(Units& out, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto lead = static_cast<unsigned char>(bytes[0]);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            bytes.remove_prefix(1);
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = decodeUtf8(bytes, codePoint);
        if (length == 0) {
            out += kReplacement;
            bytes.remove_prefix(1);
            continue;
        }
        if (codePoint >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(codePoint);
        }
        bytes.remove_prefix(length);
    }
}

void encodeUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Unpaired surrogate halves (from escapes) become U+FFFD.
std::string toUtf8(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            encodeUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            encodeUtf8(out, high || low ? kReplacement : unit);
        }
    }
    return out;
}

// A key or section as written in the file: '\' stands for '/', "%XX" and "%UXXXX" for the
// code unit with that hexadecimal value; a '%' that starts no valid escape is itself.
std::string unescapeKey(std::string_view raw)
{
    Units decoded;
    appendUtf8(decoded, raw);
    Units key;
    std::size_t i = 0;
    while (i < decoded.size()) {
        const char16_t ch = decoded[i];
        if (ch == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (ch != u'%' || i + 1 == decoded.size()) {
            key += ch;
            ++i;
            continue;
        }
        const bool wide = decoded[i + 1] == u'U';
        const std::size_t first = wide ? i + 2 : i + 1;
        const std::size_t digits = wide ? 4 : 2;
        unsigned value = 0;
        bool valid = first + digits <= decoded.size();
        for (std::size_t d = 0; valid && d < digits; ++d) {
            const int digit = hexValue(decoded[first + d]);
            valid = digit >= 0;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        if (!valid) {
            key += u'%';
            ++i;
            continue;
        }
        key += static_cast<char16_t>(value);
        i = first + digits;
    }
    return toUtf8(key);
}

// "a//b/" and "/a/b" name the same value as "a/b".
std::string normalizedKey(std::string_view key)
{
    std::string out;
    out.reserve(key.size());
    for (const char ch : key) {
        if (ch == '/' && (out.empty() || out.back() == '/'))
            continue;
        out += ch;
    }
    if (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

std::string fullKey(std::string_view section, std::string_view key)
{
    std::string full(section);
    full += '/';
    full += key;
    return normalizedKey(full);
}

// Reads one value: blanks around it dropped, quoted parts kept as they are (quotes may
// cover part of the value), C-like backslash escapes, and unquoted commas separating the
// items of a list.
class ValueReader
{
public:
    explicit ValueReader(std::string_view raw)
        : m_raw(raw)
    {
    }

    Units read()
    {
        skipBlanks();
        while (m_pos < m_raw.size()) {
            const char ch = m_raw[m_pos];
            if (ch == '\\') {
                if (!readEscape())
                    return finish(false);
            } else if (ch == '"') {
                ++m_pos;
                m_quoted = true;
                m_inQuotes = !m_inQuotes;
                if (!m_inQuotes)
                    skipBlanks();
            } else if (ch == ',' && !m_inQuotes) {
                endItem();
                ++m_pos;
                skipBlanks();
            } else {
                readRun();
            }
        }
        return finish(true);
    }

private:
    // Escaped characters standing for themselves or a control character, as in C.
    static constexpr std::string_view kEscapeNames = "abfnrtv\"?'\\";
    static constexpr std::u16string_view kEscapeUnits = u"\a\b\f\n\r\t\v\"?'\\";

    void skipBlanks()
    {
        while (m_pos < m_raw.size() && isBlank(static_cast<char16_t>(m_raw[m_pos])))
            ++m_pos;
        m_keep = m_current.size();
    }

    // Text up to the next character with a meaning, decoded from UTF-8.
    void readRun()
    {
        std::size_t end = m_pos + 1;
        while (end < m_raw.size() && m_raw[end] != '\\' && m_raw[end] != '"' && m_raw[end] != ',')
            ++end;
        appendUtf8(m_current, m_raw.substr(m_pos, end - m_pos));
        m_pos = end;
    }

    // False when the value ends inside the escape: what was read so far is kept as it is.
    bool readEscape()
    {
        ++m_pos;
        if (m_pos >= m_raw.size())
            return false;
        const char code = m_raw[m_pos++];
        if (const std::size_t named = kEscapeNames.find(code); named != std::string_view::npos) {
            m_current += kEscapeUnits[named];
            m_keep = m_current.size();
            return true;
        }
        if (code == 'x') {
            if (m_pos >= m_raw.size())
                return false;
            if (hexValue(static_cast<char16_t>(m_raw[m_pos])) >= 0)
                appendNumber(16, hexValue);
        } else if (octalValue(static_cast<char16_t>(code)) >= 0) {
            --m_pos;
            appendNumber(8, octalValue);
        } else if (code == '\n' || code == '\r') {
            // A line continued on the next one; "\r\n" and "\n\r" count as one break.
            if (m_pos < m_raw.size() && (m_raw[m_pos] == '\n' || m_raw[m_pos] == '\r') && m_raw[m_pos] != code)
                ++m_pos;
        }
        // Any other escaped character is dropped.
        m_keep = m_current.size();
        return true;
    }

    // Digits are read as long as they come; the value wraps to a 16-bit code unit.
    void appendNumber(unsigned base, int (*digitValue)(char16_t))
    {
        char16_t value = 0;
        while (m_pos < m_raw.size()) {
            const int digit = digitValue(static_cast<char16_t>(m_raw[m_pos]));
            if (digit < 0)
                break;
            value = static_cast<char16_t>(value * base + static_cast<unsigned>(digit));
            ++m_pos;
        }
        m_current += value;
    }

    void chopTrailingBlanks()
    {
        while (m_current.size() > m_keep && isBlank(m_current.back()))
            m_current.pop_back();
    }

    void endItem()
    {
        if (!m_quoted)
            chopTrailingBlanks();
        if (!m_items.empty())
            m_items += u',';
        m_items += m_current;
        m_list = true;
        m_current.clear();
        m_quoted = false;
    }

    Units finish(bool chop)
    {
        if (chop && !m_quoted)
            chopTrailingBlanks();
        if (!m_list)
            return std::move(m_current);
        // A list reads as its items joined by commas: the literal text the user most likely
        // meant. A leading '@' then has no special meaning, hence the doubled one.
        m_items += u',';
        m_items += m_current;
        return m_items.starts_with(u'@') ? u'@' + m_items : m_items;
    }

    std::string_view m_raw;
    std::size_t m_pos = 0;
    Units m_current;
    Units m_items;
    std::size_t m_keep = 0;
    bool m_inQuotes = false;
    bool m_quoted = false;
    bool m_list = false;
};

// The value of an unescaped text: "@@..." is a text starting with '@', "@String(...)" and
// "@ByteArray(...)" hold texts, "@Invalid()" and the other typed values read as missing.
std::optional<std::string> valueOf(const Units& text)
{
    if (!text.starts_with(u'@'))
        return toUtf8(text);
    if (text.ends_with(u')')) {
        const std::u16string_view view(text);
        if (view.starts_with(u"@ByteArray(")) {
            std::string bytes;
            for (const char16_t unit : view.substr(11, view.size() - 12))
                bytes += static_cast<char>(unit & 0xFF);
            return bytes;
        }
        if (view.starts_with(u"@String("))
            return toUtf8(view.substr(8, view.size() - 9));
        for (const std::u16string_view typed : {u"@Variant(", u"@DateTime(", u"@Rect(", u"@Size(", u"@Point("}) {
            if (view.starts_with(typed))
                return std::nullopt;
        }
        if (view == u"@Invalid()")
            return std::nullopt;
    }
    if (text.starts_with(u"@@"))
        return toUtf8(std::u16string_view(text).substr(1));
    return toUtf8(text);
}

// Cuts the next logical line out of `text`: blank lines and comment lines (';' or '#'
// first) are skipped, a quoted part or an escaped line break continues the line, and an
// unquoted ';' ends it (the rest is a comment). `equals` is the offset of the first
// unquoted '=', or npos.
bool nextLine(std::string_view text, std::size_t& pos, std::string_view& line, std::size_t& equals)
{
    for (;;) {
        while (pos < text.size() && isSpace(text[pos]))
            ++pos;
        if (pos >= text.size())
            return false;
        if (text[pos] == ';' || text[pos] == '#') {
            while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r')
                ++pos;
            continue;
        }
        const std::size_t start = pos;
        bool inQuotes = false;
        equals = std::string_view::npos;
        while (pos < text.size()) {
            const char ch = text[pos];
            if (!inQuotes && (ch == '\n' || ch == '\r' || ch == ';'))
                break;
            ++pos;
            if (ch == '=' && !inQuotes && equals == std::string_view::npos) {
                equals = pos - 1 - start;
            } else if (ch == '"') {
                inQuotes = !inQuotes;
            } else if (ch == '\\' && pos < text.size()) {
                const char escaped = text[pos++];
                const bool pair = pos < text.size()
                    && ((escaped == '\n' && text[pos] == '\r') || (escaped == '\r' && text[pos] == '\n'));
                if (pair)
                    ++pos;
            }
        }
        line = text.substr(start, pos - start);
        return true;
    }
}

// The section a "[...]" line opens: "" for "[General]", "General" for "[%General]".
std::string sectionOf(std::string_view line)
{
    const std::size_t close = line.find(']');
    const std::string_view name = trimmed(close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1));
    if (equalsIgnoringCase(name, "general"))
        return {};
    if (equalsIgnoringCase(name, "%general"))
        return std::string(name.substr(1));
    return unescapeKey(name);
}

bool parseInt(std::string_view text, int& value)
{
    text = trimmed(text);
    if (text.size() > 1 && text.front() == '+' && text[1] >= '0' && text[1] <= '9')
        text.remove_prefix(1);
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

} // namespace

IniSettings::IniSettings(const std::string& path)
    : m_path(path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    std::string text;
    std::array<char, 64 * 1024> buffer{};
    while (in && text.size() <= kMaxFileSize) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        text.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad() || text.size() > kMaxFileSize)
        return;
    m_loaded = true;
    parse(text);
}

std::unique_ptr<IniSettings> IniSettings::fromText(std::string_view text)
{
    std::unique_ptr<IniSettings> settings(new IniSettings());
    settings->m_loaded = true;
    settings->parse(text);
    return settings;
}

std::string IniSettings::defaultPath()
{
    namespace fs = std::filesystem;
    fs::path folder;
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome) {
        folder = configHome;
    } else {
        const char* home = std::getenv("HOME");
        folder = fs::path(home && *home ? home : "/") / ".config";
    }
    fs::path file = folder / std::string(kCompany) / (std::string(kApplication) + ".ini");
    // As the workbench does: a relative folder is taken from the working folder.
    std::error_code error;
    if (file.is_relative())
        file = fs::absolute(file, error);
    return file.lexically_normal().string();
}

void IniSettings::parse(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::string section;
    std::size_t pos = 0;
    std::string_view line;
    std::size_t equals = 0;
    while (nextLine(text, pos, line, equals)) {
        if (line.front() == '[') {
            section = sectionOf(line);
            continue;
        }
        parseEntry(line, equals, section);
    }
}

// A "key=value" line; lines without '=' or with an empty key mean nothing.
void IniSettings::parseEntry(std::string_view line, std::size_t equals, const std::string& section)
{
    if (equals == std::string_view::npos)
        return;
    std::string_view rawKey = line.substr(0, equals);
    while (!rawKey.empty() && (rawKey.back() == ' ' || rawKey.back() == '\t'))
        rawKey.remove_suffix(1);
    const std::string key = fullKey(section, unescapeKey(rawKey));
    if (rawKey.empty() || key.empty())
        return;
    const std::optional<std::string> value = valueOf(ValueReader(line.substr(equals + 1)).read());
    if (value)
        m_values[key] = *value;
    else
        m_values.erase(key);
}

const std::string* IniSettings::find(std::string_view section, std::string_view key) const
{
    const auto it = m_values.find(fullKey(section, key));
    return it == m_values.end() ? nullptr : &it->second;
}

int IniSettings::readInt(std::string_view section, std::string_view key, int fallback) const
{
    const std::lock_guard lock(m_mutex);
    const std::string* text = find(section, key);
    int value = 0;
    return text && parseInt(*text, value) ? value : fallback;
}

std::string IniSettings::readText(std::string_view section, std::string_view key, std::string_view fallback) const
{
    const std::lock_guard lock(m_mutex);
    const std::string* text = find(section, key);
    return text ? *text : std::string(fallback);
}

void IniSettings::writeInt(std::string_view section, std::string_view key, int value)
{
    writeText(section, key, std::to_string(value));
}

void IniSettings::writeText(std::string_view section, std::string_view key, std::string_view value)
{
    const std::lock_guard lock(m_mutex);
    m_values[fullKey(section, key)] = std::string(value);
}

} // namespace zeb::platform
