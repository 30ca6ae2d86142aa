#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zeb::messages {

namespace sentence_family {
constexpr std::uint32_t None = 0;
constexpr std::uint32_t Pkvr = 1; // "$PKVR,<sub-word>,..."
constexpr std::uint32_t Talker = 2; // "$ttsss,..." and the query "$ttllQ,sss"
constexpr std::uint32_t Ptss = 3; // "$PTSS,<sub-word>,..."
constexpr std::uint32_t Prcm = 4; // "$PRCM,<sub-word>,..."
} // namespace sentence_family

namespace sentence_mode {
constexpr std::uint32_t None = 0;
constexpr std::uint32_t Sentence = 1;
constexpr std::uint32_t Query = 2;
} // namespace sentence_mode

namespace sentence_result {
constexpr int Parsed = 0;
constexpr int Malformed = 6; // also: too long, too many fields
constexpr int ChecksumMismatch = 15;
} // namespace sentence_result

// Splits one NMEA-style sentence into family, address (talker, listener, identifier) and data fields.
//
// The sentence is copied into the parser, so the result does not depend on the caller's buffer; the views
// it hands out point into the parser and stay valid until the next parse() or the parser's destruction.
// Nothing is allocated.
class SentenceParser
{
public:
    static constexpr std::size_t kMaxLength = 120;
    static constexpr std::size_t kMaxFields = 30;

    // Parses the sentence up to its first CR, LF, NUL or its end. Returns sentence_result::Parsed,
    // Malformed or ChecksumMismatch; on anything but Parsed the result is empty.
    int parse(std::string_view sentence);

    std::uint32_t family() const { return family_; }
    std::uint32_t mode() const { return mode_; }
    // Empty where the family has none (the three proprietary families have no talker or listener,
    // only talker queries have a listener).
    std::string_view talker() const { return view(talker_); }
    std::string_view listener() const { return view(listener_); }
    std::string_view identifier() const { return view(identifier_); }

    // Data fields only: the header fields (address and sub-word) are not counted.
    std::size_t fieldCount() const { return dataCount_; }
    // Field 1 is the first data field. An absent (empty) field and an index out of range give an empty view.
    std::string_view field(std::size_t index) const;
    bool hasField(std::size_t index) const { return !field(index).empty(); }

private:
    struct Slice
    {
        std::uint8_t offset = 0;
        std::uint8_t length = 0;
    };

    void reset();
    bool split(std::string_view text);
    bool readAddress();
    std::string_view view(Slice slice) const { return {text_.data() + slice.offset, slice.length}; }

    std::array<char, kMaxLength + 1> text_{};
    std::array<Slice, kMaxFields> fields_{};
    std::size_t fieldTotal_ = 0; // header fields included
    std::size_t headerCount_ = 0;
    std::size_t dataCount_ = 0;
    std::uint32_t family_ = sentence_family::None;
    std::uint32_t mode_ = sentence_mode::None;
    Slice talker_;
    Slice listener_;
    Slice identifier_;
};

} // namespace zeb::messages
