#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zeb::terminal {

// Turns a telecommand text as typed or picked into the bytes to send. Every character other than a
// backslash is copied; a backslash starts an escape:
//   \r  CR      \n  LF      \\  one backslash
//   \xXX        one byte of two hexadecimal digits (either case)
//   \dDDD       one byte: 100 * D1 + 10 * D2 + D3, modulo 256
//   \x<blank or tab>  a hexadecimal block: numbers of 1-8 digits separated by blanks or tabs, each sent
//               most significant byte first in (digits + 1) / 2 bytes, up to the end of the line. The CR LF
//               that ends the block is not sent; the end of the text ends it too.
// Inside a block, where a number may begin, a lone LF gives "Missing end of line" (the line end lacks
// its CR) and any other character that is no digit, blank, tab or CR gives "Bad hexadecimal number".
//
// The output buffer is kept between calls and only grows, so sending texts no longer than an earlier
// one allocates nothing. The translated bytes never outnumber the characters of the text.
class TelecommandTranslator
{
public:
    static constexpr std::string_view kSyntaxError = "Syntax: '\\r' or '\\n' or '\\\\' or '\\xXX' or '\\dDDD'";
    static constexpr std::string_view kMissingWhiteSpace = "Missing white space";
    static constexpr std::string_view kBadHexadecimalNumber = "Bad hexadecimal number";
    static constexpr std::string_view kMissingEndOfLine = "Missing end of line";
    static constexpr std::string_view kAllocationFailed = "CIHTEView::OnSendTelecommandmalloc failed";

    struct Result
    {
        // Valid until the next translate(); empty when there is an error or nothing to send.
        std::span<const std::uint8_t> bytes;
        // Empty on success; otherwise the message to show, and nothing is sent.
        std::string_view error;

        bool ok() const { return error.empty(); }
    };

    Result translate(std::string_view text);

private:
    // Each returns the error text, or an empty view; `position` moves past what was consumed.
    std::string_view escape(std::string_view text, std::size_t& position);
    std::string_view hexadecimalBlock(std::string_view text, std::size_t& position);
    std::string_view hexadecimalNumber(std::string_view text, std::size_t& position);

    std::vector<std::uint8_t> m_buffer;
    std::size_t m_count = 0;
};

} // namespace zeb::terminal
