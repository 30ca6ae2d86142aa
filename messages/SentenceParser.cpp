#include "messages/SentenceParser.h"

#include "messages/Checksum.h"
#include "text/HexDigit.h"

#include <algorithm>

namespace zeb::messages {

namespace {

// "*hh" at the end of a sentence of at least three characters.
bool endsWithChecksum(std::string_view text)
{
    const std::size_t n = text.size();
    return n >= 3 && text[n - 3] == '*' && text::hexDigitValue(text[n - 2]) >= 0
        && text::hexDigitValue(text[n - 1]) >= 0;
}

bool isProprietaryAddress(std::string_view first)
{
    return first == "$PKVR" || first == "$PTSS" || first == "$PRCM";
}

std::uint32_t proprietaryFamily(std::string_view first)
{
    if (first == "$PKVR") {
        return sentence_family::Pkvr;
    }
    return first == "$PTSS" ? sentence_family::Ptss : sentence_family::Prcm;
}

} // namespace

void SentenceParser::reset()
{
    fieldTotal_ = 0;
    headerCount_ = 0;
    dataCount_ = 0;
    family_ = sentence_family::None;
    mode_ = sentence_mode::None;
    talker_ = {};
    listener_ = {};
    identifier_ = {};
}

int SentenceParser::parse(std::string_view sentence)
{
    reset();
    std::string_view text = sentence.substr(0, sentence.find_first_of(std::string_view("\r\n\0", 3)));
    if (text.size() > kMaxLength) {
        return sentence_result::Malformed;
    }
    if (endsWithChecksum(text)) {
        const std::size_t n = text.size();
        const int given = text::hexDigitValue(text[n - 2]) * 16 + text::hexDigitValue(text[n - 1]);
        // The checksum covers the bytes between the leading "$" and the "*".
        if (nmeaChecksum(text.substr(0, n - 3)) != given) {
            return sentence_result::ChecksumMismatch;
        }
        text.remove_suffix(3);
    }
    if (!split(text) || !readAddress()) {
        reset();
        return sentence_result::Malformed;
    }
    return sentence_result::Parsed;
}

bool SentenceParser::split(std::string_view text)
{
    std::copy(text.begin(), text.end(), text_.begin());
    text_[text.size()] = '\0';
    bool quoted = false;
    bool anyText = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        if (!end && text[i] == '\'') {
            quoted = !quoted;
        }
        if (!end && (text[i] != ',' || quoted)) {
            continue;
        }
        if (fieldTotal_ == kMaxFields) {
            return false;
        }
        fields_[fieldTotal_++] = {static_cast<std::uint8_t>(start), static_cast<std::uint8_t>(i - start)};
        anyText = anyText || i > start;
        start = i + 1;
    }
    return anyText;
}

bool SentenceParser::readAddress()
{
    const std::string_view first = view(fields_[0]);
    const std::uint8_t base = fields_[0].offset;
    if (isProprietaryAddress(first)) {
        if (fieldTotal_ < 2 || fields_[1].length < 1 || fields_[1].length > 6) {
            return false;
        }
        family_ = proprietaryFamily(first);
        mode_ = fieldTotal_ == 2 ? sentence_mode::Query : sentence_mode::Sentence;
        identifier_ = fields_[1];
        headerCount_ = 2;
    } else if (first.size() == 6 && first[0] == '$' && first[5] == 'Q') {
        if (fieldTotal_ < 2 || fields_[1].length != 3) {
            return false;
        }
        family_ = sentence_family::Talker;
        mode_ = sentence_mode::Query;
        talker_ = {static_cast<std::uint8_t>(base + 1), 2};
        listener_ = {static_cast<std::uint8_t>(base + 3), 2};
        identifier_ = fields_[1];
        headerCount_ = 2;
    } else if (first.size() == 6 && first[0] == '$') {
        family_ = sentence_family::Talker;
        mode_ = sentence_mode::Sentence;
        talker_ = {static_cast<std::uint8_t>(base + 1), 2};
        identifier_ = {static_cast<std::uint8_t>(base + 3), 3};
        headerCount_ = 1;
    } else {
        return false;
    }
    dataCount_ = fieldTotal_ - headerCount_;
    return true;
}

std::string_view SentenceParser::field(std::size_t index) const
{
    if (index == 0 || index > dataCount_) {
        return {};
    }
    return view(fields_[headerCount_ + index - 1]);
}

} // namespace zeb::messages
