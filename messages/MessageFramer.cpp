#include "messages/MessageFramer.h"

#include "messages/Classifier.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

namespace zeb::messages {

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kBinaryStart = 0xFE;
constexpr std::uint8_t kBinaryEnd = 0xFF;
constexpr std::uint8_t kEscape = 0xFD;
constexpr std::size_t kMaxRawBodyLength = 7996;
constexpr std::string_view kPing = "$PKVR,RPC,PING\r\n";

FramerHooks g_noHooks;

// A byte the RTCM assembler takes that cannot begin an HTTP request line either.
constexpr bool plainRtcmByte(std::uint8_t b)
{
    return (b & 0xC0u) == 0x40u && b != 'G' && b != 'H' && b != 'P';
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// Marks, in the high bit of each byte, the bytes of `x` that are not plain text (0x20-0x7F),
// and with `quoteStops` also the double quotes. The lowest mark is exact; marks above it may
// be spurious, which is all a scan for the first such byte needs.
constexpr std::uint64_t specialBytes(std::uint64_t x, bool quoteStops)
{
    std::uint64_t marks = (x & kHighs) | ((x - 0x20 * kOnes) & ~x & kHighs);
    if (quoteStops) {
        const std::uint64_t q = x ^ ('"' * kOnes);
        marks |= (q - kOnes) & ~q & kHighs;
    }
    return marks;
}

// The first byte from `p` on that is not plain text (or a quote, with `quoteStops`); `end` if none.
const std::uint8_t* skipPlain(const std::uint8_t* p, const std::uint8_t* end, bool quoteStops)
{
    for (; end - p >= 8; p += 8) {
        std::uint64_t x;
        std::memcpy(&x, p, sizeof x);
        if constexpr (std::endian::native == std::endian::big) {
            x = __builtin_bswap64(x);
        }
        const std::uint64_t marks = specialBytes(x, quoteStops);
        if (marks != 0) {
            return p + std::countr_zero(marks) / 8;
        }
    }
    for (; p < end; ++p) {
        if (*p < 0x20 || *p > 0x7F || (quoteStops && *p == '"')) {
            return p;
        }
    }
    return end;
}

// A byte that starts nothing and goes to no assembler: outside 0x40-0x7F, and no STX, binary
// frame start or '$'. It only joins the unknown run.
constexpr std::array<bool, 256> makeFillerTable()
{
    std::array<bool, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        table[b] = (b < 0x40 || b > 0x7F) && b != kStx && b != kBinaryStart && b != '$';
    }
    return table;
}
constexpr std::array<bool, 256> kFiller = makeFillerTable();

constexpr std::uint64_t zeroBytes(std::uint64_t x)
{
    return (x - kOnes) & ~x & kHighs;
}

// A letter a request line starts with, whose next byte is there and rules the request line out
// (as matchRequestLine would decide at once): it goes to the RTCM assembler like a plain byte.
constexpr bool letterOfNoRequest(const std::uint8_t* p, const std::uint8_t* end)
{
    const std::uint8_t b = *p;
    return (b == 'G' || b == 'H' || b == 'P') && end - p >= 2 && p[1] != (b == 'P' ? 'O' : 'E');
}

// The first byte from `p` on that is not a plain RTCM byte (nor a letterOfNoRequest);
// `end` if none. Marks as in specialBytes: the lowest is exact.
const std::uint8_t* skipPlainRtcm(const std::uint8_t* p, const std::uint8_t* end)
{
    while (end - p >= 8) {
        std::uint64_t x;
        std::memcpy(&x, p, sizeof x);
        if constexpr (std::endian::native == std::endian::big) {
            x = __builtin_bswap64(x);
        }
        // Not 0x40-0x7F: bit 7 set or bit 6 clear; or one of the letters a request line starts with.
        const std::uint64_t marks = (x & kHighs) | ((~x << 1) & kHighs) | zeroBytes(x ^ ('G' * kOnes))
            | zeroBytes(x ^ ('H' * kOnes)) | zeroBytes(x ^ ('P' * kOnes));
        if (marks == 0) {
            p += 8;
            continue;
        }
        p += std::countr_zero(marks) / 8;
        if (!letterOfNoRequest(p, end)) {
            return p;
        }
        ++p;
    }
    while (p < end && (plainRtcmByte(*p) || letterOfNoRequest(p, end))) {
        ++p;
    }
    return p;
}

} // namespace

MessageFramer::MessageFramer(FramerHooks* hooks)
    : m_hooks(hooks != nullptr ? hooks : &g_noHooks)
{
    m_rtcm.setOverflowHandler([](void* self) { static_cast<MessageFramer*>(self)->m_hooks->onRtcmOverflow(); }, this);
}

// ---- receive buffer ------------------------------------------------------------------------

void MessageFramer::compact()
{
    if (m_head == 0) {
        return;
    }
    const std::size_t count = held();
    std::memmove(m_buffer.data(), m_buffer.data() + m_head, count);
    m_head = 0;
    m_tail = count;
    m_buffer[m_tail] = 0;
}

std::span<std::uint8_t> MessageFramer::freeSpace()
{
    compact();
    return {m_buffer.data() + m_tail, kCapacity - 1 - m_tail};
}

void MessageFramer::commit(std::size_t count)
{
    m_tail += std::min(count, kCapacity - 1 - m_tail);
    m_buffer[m_tail] = 0;
}

std::size_t MessageFramer::append(std::span<const std::uint8_t> bytes)
{
    const auto space = freeSpace();
    const std::size_t count = std::min(bytes.size(), space.size());
    std::memcpy(space.data(), bytes.data(), count);
    commit(count);
    return count;
}

std::size_t MessageFramer::held() const
{
    return m_tail - m_head;
}

std::span<const std::uint8_t> MessageFramer::heldBytes() const
{
    return {m_buffer.data() + m_head, held()};
}

void MessageFramer::clearBuffer()
{
    m_head = 0;
    m_tail = 0;
    m_buffer[0] = 0;
}

void MessageFramer::clearState()
{
    m_frame = MessageKind::Unknown;
}

const RtcmWordAssembler& MessageFramer::rtcm() const
{
    return m_rtcm;
}

HttpRequestRecord& MessageFramer::http()
{
    return m_http;
}

// ---- results -------------------------------------------------------------------------------

FrameResult MessageFramer::handOut(ReadStatus status, MessageKind kind, const std::uint8_t* bytes, std::size_t count,
                                   std::size_t consumed)
{
    if (count != 0 && bytes != m_output.data()) {
        std::memcpy(m_output.data(), bytes, count);
    }
    m_output[count] = 0;
    m_head += consumed;
    m_frame = MessageKind::Unknown;
    FrameResult result;
    result.status = status;
    result.kind = kind;
    result.length = static_cast<std::uint32_t>(count);
    result.data = m_output.data();
    if (status == ReadStatus::Complete) {
        result.type = classify(kind, {m_output.data(), count});
    }
    return result;
}

FrameResult MessageFramer::pending(ReadStatus status, MessageKind kind)
{
    m_output[0] = 0;
    FrameResult result;
    result.status = status;
    result.kind = kind;
    result.data = m_output.data();
    return result;
}

// ---- one step ------------------------------------------------------------------------------

FrameResult MessageFramer::step(bool flush)
{
    if (flush) {
        return flushStep();
    }
    // The unknown run is [runStart, m_head): bytes examined at the head and taken in this step.
    std::size_t runStart = m_head;
    while (m_head < m_tail) {
        const std::uint8_t b = m_buffer[m_head];
        const bool inFrame = m_frame != MessageKind::Unknown;
        // The common case of an RTCM stream first, in a tight loop: bytes that go straight to the
        // assembler because they can begin no request line.
        const std::uint8_t* const end = m_buffer.data() + m_tail;
        if (!inFrame && (plainRtcmByte(b) || letterOfNoRequest(m_buffer.data() + m_head, end))) {
            const std::uint8_t* const run = m_buffer.data() + m_head;
            const std::uint8_t* const runEnd = skipPlainRtcm(run + 1, end);
            const RtcmWordAssembler::Run fed = m_rtcm.feedRun({run, runEnd});
            m_head += fed.taken;
            if (fed.complete) {
                return rtcmComplete();
            }
            continue;
        }
        if (!inFrame && (b == 'G' || b == 'H' || b == 'P')) {
            const RequestLine line = matchRequestLine();
            // Hand out what came before a (possible) request line first rather than lose it, as
            // for any other frame start; the line is examined again at the next step.
            if (line != RequestLine::NoMatch && m_head > runStart) {
                return handOut(ReadStatus::Complete, MessageKind::Unknown, m_buffer.data() + runStart,
                               m_head - runStart, 0);
            }
            if (line == RequestLine::Partial) {
                return pending(ReadStatus::NeedMore, MessageKind::Unknown);
            }
            if (line == RequestLine::Match) {
                m_http.clear();
                m_frame = MessageKind::HttpRequest;
            }
        }
        if (m_frame == MessageKind::HttpRequest) {
            return collectHttp();
        }
        if (!inFrame && b >= 0x40 && b <= 0x7F) {
            // Absorbed or rejected, the byte leaves the buffer: it starts no other frame.
            ++m_head;
            if (m_rtcm.feed(b) == RtcmWordAssembler::Feed::Complete) {
                return rtcmComplete();
            }
            continue;
        }
        if (!inFrame && m_head > runStart && (b == kBinaryStart || b == kStx || b == '$')) {
            return handOut(ReadStatus::Complete, MessageKind::Unknown, m_buffer.data() + runStart, m_head - runStart,
                           0);
        }
        switch (b) {
        case kStx:
            return frameStx();
        case kBinaryStart:
            return frameBinary();
        case '$': {
            FrameResult result;
            if (frameSentence(result)) {
                return result;
            }
            runStart = m_head;
            continue;
        }
        default:
            // The bytes after it that start nothing either join the run in one go.
            ++m_head;
            while (m_head < m_tail && kFiller[m_buffer[m_head]]) {
                ++m_head;
            }
            m_frame = MessageKind::Unknown;
            continue;
        }
    }
    if (m_frame != MessageKind::Unknown) {
        return pending(ReadStatus::Idle, m_frame);
    }
    if (m_head > runStart) {
        return handOut(ReadStatus::Complete, MessageKind::Unknown, m_buffer.data() + runStart, m_head - runStart, 0);
    }
    return pending(ReadStatus::Idle, MessageKind::Unknown);
}

FrameResult MessageFramer::flushStep()
{
    if (held() == 0) {
        m_frame = MessageKind::Unknown;
        return pending(ReadStatus::Idle, MessageKind::Unknown);
    }
    return handOut(ReadStatus::Complete, MessageKind::Residue, m_buffer.data() + m_head, held(), held());
}

FrameResult MessageFramer::rtcmComplete()
{
    const std::size_t count = m_rtcm.rebuild(m_output.data());
    FrameResult result = handOut(ReadStatus::Complete, MessageKind::RTCM, m_output.data(), count, 0);
    result.rtcm = &m_rtcm.message();
    return result;
}

// ---- HTTP requests -------------------------------------------------------------------------

// "GET %s HTTP/%u.%u\r\n" (or HEAD, POST) at the head of the buffer: a blank stands for a run of
// blanks, %s for a run of 0x21-0x7E, %u for a run of digits. A buffer that ends inside a
// possible match is Partial, unless it is full: then no more bytes can come to decide it.
MessageFramer::RequestLine MessageFramer::matchRequestLine() const
{
    const std::uint8_t* p = m_buffer.data() + m_head;
    const std::uint8_t* const end = m_buffer.data() + m_tail;
    const RequestLine partial = full() ? RequestLine::NoMatch : RequestLine::Partial;
    const auto literal = [&](std::string_view text) {
        for (const char c : text) {
            if (p == end) {
                return false;
            }
            if (*p != static_cast<std::uint8_t>(c)) {
                p = nullptr;
                return false;
            }
            ++p;
        }
        return true;
    };
    const auto run = [&](auto member) {
        if (p == end) {
            return false;
        }
        if (!member(*p)) {
            p = nullptr;
            return false;
        }
        while (p != end && member(*p)) {
            ++p;
        }
        return p != end;
    };
    const auto blank = [](std::uint8_t c) { return c == ' '; };
    const auto token = [](std::uint8_t c) { return c >= 0x21 && c <= 0x7E; };
    const auto digit = [](std::uint8_t c) { return c >= '0' && c <= '9'; };
    const std::string_view method = *p == 'G' ? "GET" : (*p == 'H' ? "HEAD" : "POST");
    if (end - p >= 2 && p[1] != static_cast<std::uint8_t>(method[1])) {
        return RequestLine::NoMatch;
    }
    const bool matched = literal(method) && run(blank) && run(token) && run(blank) && literal("HTTP/") && run(digit)
        && literal(".") && run(digit) && literal("\r\n");
    if (matched) {
        return RequestLine::Match;
    }
    return p == nullptr ? RequestLine::NoMatch : partial;
}

FrameResult MessageFramer::collectHttp()
{
    for (;;) {
        const std::uint8_t* const start = m_buffer.data() + m_head;
        const std::size_t available = held();
        const auto* lineFeed = static_cast<const std::uint8_t*>(std::memchr(start, '\n', available));
        const std::size_t length = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - start) : available;
        const std::string_view line(reinterpret_cast<const char*>(start), length);
        // A line with a control byte stays in the buffer and is framed again from its start;
        // so does a line that can no longer end because the buffer is full.
        if (HttpRequestRecord::hasControlByte(line) || (lineFeed == nullptr && full())) {
            return abandonHttp();
        }
        if (lineFeed == nullptr) {
            return pending(ReadStatus::NeedMore, MessageKind::HttpRequest);
        }
        m_head += length + 1;
        const auto state = m_http.handleLine(line);
        if (state == HttpRequestRecord::Malformed) {
            return abandonHttp();
        }
        if (state == HttpRequestRecord::Complete) {
            m_hooks->onHttpRequest(m_http);
            return handOut(ReadStatus::Complete, MessageKind::HttpRequest, nullptr, 0, 0);
        }
    }
}

FrameResult MessageFramer::abandonHttp()
{
    m_http.clear();
    return handOut(ReadStatus::Discarded, MessageKind::HttpRequest, nullptr, 0, 0);
}

// ---- sentences -----------------------------------------------------------------------------

// From the byte after "$": plain text, CR anywhere, bytes 0x80-0xFF between double quotes; the
// first LF ends the sentence.
MessageFramer::SentenceScan MessageFramer::scanSentence(std::size_t& lineFeed) const
{
    const std::uint8_t* p = m_buffer.data() + m_head + 1;
    const std::uint8_t* const end = m_buffer.data() + m_tail;
    bool quoted = false;
    for (;;) {
        p = skipPlain(p, end, true);
        if (p == end) {
            return SentenceScan::NeedMore;
        }
        const std::uint8_t c = *p;
        if (c == '\n') {
            lineFeed = static_cast<std::size_t>(p - m_buffer.data());
            return SentenceScan::End;
        }
        if (c == '"') {
            quoted = !quoted;
        } else if (c != '\r' && !(quoted && c >= 0x80)) {
            return SentenceScan::Broken;
        }
        ++p;
    }
}

bool MessageFramer::frameSentence(FrameResult& result)
{
    std::size_t lineFeed = 0;
    const SentenceScan scan = scanSentence(lineFeed);
    // A sentence that cannot end because the buffer is full is no sentence either.
    if (scan == SentenceScan::Broken || (scan == SentenceScan::NeedMore && full())) {
        result = handOut(ReadStatus::Discarded, MessageKind::Telecommand, m_buffer.data() + m_head, 1, 1);
        return true;
    }
    if (scan == SentenceScan::NeedMore) {
        m_frame = MessageKind::Telecommand;
        result = pending(ReadStatus::NeedMore, MessageKind::Telecommand);
        return true;
    }
    const std::uint8_t* const start = m_buffer.data() + m_head;
    const std::size_t length = lineFeed - m_head + 1;
    if (length == kPing.size() && std::memcmp(start, kPing.data(), kPing.size()) == 0) {
        m_head += length;
        m_frame = MessageKind::Unknown;
        m_hooks->onPingSentence();
        return false;
    }
    result = handOut(ReadStatus::Complete, MessageKind::Telecommand, start, length, length);
    return true;
}

// ---- STX frames ----------------------------------------------------------------------------

FrameResult MessageFramer::frameStx()
{
    const std::uint8_t* const frame = m_buffer.data() + m_head;
    const std::size_t available = held();
    if (available < 2) {
        return frameSVar();
    }
    const std::uint8_t letter = frame[1];
    std::size_t headerLength = 0;
    std::size_t frameLength = 0;
    if (letter == 'C' || letter == 'P') {
        headerLength = 5;
        if (available >= headerLength) {
            frameLength = (frame[3] >> 4) * 10u + (frame[3] & 0x0Fu);
        }
    } else if (letter == 'T' || letter == 'X') {
        headerLength = 6;
        if (available >= headerLength) {
            frameLength = (static_cast<std::size_t>(frame[3]) << 8) | frame[4];
        }
    } else {
        return frameSVar();
    }
    if (available < headerLength) {
        m_frame = MessageKind::SVar;
        return pending(ReadStatus::NeedMore, MessageKind::SVar);
    }
    // A length shorter than the frame's own header cannot be a UHF frame.
    if (frameLength < headerLength || frameLength >= kCapacity - 1) {
        return frameSVar();
    }
    if (available < frameLength) {
        m_frame = MessageKind::SVar;
        return pending(ReadStatus::NeedMore, MessageKind::SVar);
    }
    if (frame[frameLength - 1] != kEtx) {
        return frameSVar();
    }
    return handOut(ReadStatus::Complete, MessageKind::UHF, frame, frameLength, frameLength);
}

FrameResult MessageFramer::frameSVar()
{
    const std::uint8_t* const frame = m_buffer.data() + m_head;
    const std::uint8_t* const end = m_buffer.data() + m_tail;
    for (const std::uint8_t* p = frame + 1;; ++p) {
        p = skipPlain(p, end, false);
        if (p == end) {
            break;
        }
        if (*p == '\r' || *p == '\n') {
            continue;
        }
        const auto count = static_cast<std::size_t>(p - frame) + 1;
        if (*p == kEtx) {
            return handOut(ReadStatus::Complete, MessageKind::SVar, frame, count, count);
        }
        return handOut(ReadStatus::Discarded, MessageKind::Unknown, frame, count, count);
    }
    if (!full()) {
        m_frame = MessageKind::SVar;
        return pending(ReadStatus::NeedMore, MessageKind::SVar);
    }
    return handOut(ReadStatus::Discarded, MessageKind::Unknown, frame, held(), held());
}

// ---- binary frames -------------------------------------------------------------------------

FrameResult MessageFramer::frameBinary()
{
    const std::uint8_t* const frame = m_buffer.data() + m_head;
    const std::size_t available = held();
    const auto needMore = [this] {
        m_frame = MessageKind::SBin;
        return pending(ReadStatus::NeedMore, MessageKind::SBin);
    };
    if (available < 7) {
        return needMore();
    }
    const auto* last = static_cast<const std::uint8_t*>(std::memchr(frame + 6, kBinaryEnd, available - 6));
    if (last == nullptr) {
        return full() ? dropLeadByte() : needMore();
    }
    const auto rawEnd = static_cast<std::size_t>(last - frame) + 1;
    const std::size_t rawBody = (static_cast<std::size_t>(frame[2]) << 8) | frame[3];
    if (rawBody + 4 == rawEnd) {
        return handOut(ReadStatus::Complete, MessageKind::SBin, frame, rawEnd, rawEnd);
    }
    // Undo the escapes straight into the output area.
    std::uint8_t* const out = m_output.data();
    std::size_t decoded = 0;
    bool valid = true;
    for (std::size_t i = 0; i < rawEnd && valid; ++i) {
        if (frame[i] != kEscape) {
            out[decoded++] = frame[i];
            continue;
        }
        valid = i + 1 < rawEnd && frame[i + 1] <= 0x02;
        if (valid) {
            out[decoded++] = static_cast<std::uint8_t>(kEscape + frame[++i]);
        }
    }
    if (valid && decoded >= 4 && ((static_cast<std::size_t>(out[2]) << 8) | out[3]) + 4 == decoded) {
        return handOut(ReadStatus::Complete, MessageKind::SBin, out, decoded, rawEnd);
    }
    // Neither form agrees with the first 0xFF: trust the raw length field.
    if (rawBody > kMaxRawBodyLength) {
        return dropLeadByte();
    }
    if (rawBody + 4 > available) {
        return needMore();
    }
    if (frame[rawBody + 3] != kBinaryEnd) {
        return dropLeadByte();
    }
    return handOut(ReadStatus::Complete, MessageKind::SBin, frame, rawBody + 4, rawBody + 4);
}

FrameResult MessageFramer::dropLeadByte()
{
    return handOut(ReadStatus::Discarded, MessageKind::Unknown, m_buffer.data() + m_head, 1, 1);
}

} // namespace zeb::messages
