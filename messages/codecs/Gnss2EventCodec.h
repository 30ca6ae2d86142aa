#pragma once

#include "messages/codecs/MessageCodec.h"

#include <array>
#include <cstdint>

namespace zeb::codecs {

// The "GNSS2" family: SBin frames of letter bytes 0xE0 to 0xE4, rendered as "!0xE0" ... "!0xE4" text frames. The
// frames name their fields by letters only (T, A, B, Z, N, P, Q, R, S, F1-F3, U-X, G, H, J, K, M, O), and so does
// this class.
//
// Frames with more than 12 blocks keep the first 12 (the header still shows the N received); blocks of 0xE4 with a
// channel outside 1-12 are dropped. A frame whose blocks run past its length gives Truncated.
class Gnss2EventCodec : public MessageCodec
{
public:
    static constexpr std::size_t kSlots = 12;

    struct Block
    {
        bool used = false;
        unsigned p = 0;
        unsigned q = 0;
        unsigned r = 0;
        unsigned s = 0;
        std::array<std::uint8_t, 63> data{}; // 30 values for 0xE0 and 0xE1, 63 for 0xE3
        // 0xE4
        unsigned channel = 0;
        bool f1 = false;
        bool f2 = false;
        bool f3 = false;
        unsigned u = 0;
        std::uint32_t v = 0; // unit 0.1
        std::uint32_t w = 0; // unit 0.001
        std::int32_t x = 0; // unit 0.004
        unsigned g = 0;
        unsigned h = 0;
        unsigned j = 0;
        unsigned k = 0;
        unsigned m = 0;
        unsigned o = 0;
    };

    Gnss2EventCodec();

    void reset() override;
    int renderText(OutputBuffer& out) const override;
    // Decodes `frame` as the letter that `type` (8 to 12) stands for and renders it: 54 for any other type, or a frame
    // of another letter; an empty text for 12, which has no decoded form.
    int renderRecord(messages::MessageType type, std::span<const std::uint8_t> frame, OutputBuffer& out);

    std::uint8_t letter() const { return m_letter; }
    std::uint32_t t() const { return m_t; }
    unsigned a() const { return m_a; }
    unsigned b() const { return m_b; }
    unsigned z() const { return m_z; }
    unsigned n() const { return m_n; }
    const Block& block(std::size_t slot) const { return m_blocks[slot < kSlots ? slot : 0]; }

protected:
    int decodeBinary(std::span<const std::uint8_t> frame) override;

private:
    int decodeDataBlocks(std::span<const std::uint8_t> body, std::size_t size);
    void decodeMeasureBlocks(std::span<const std::uint8_t> body);
    void renderData(OutputBuffer& out) const;
    void renderMeasure(OutputBuffer& out) const;

    std::uint8_t m_letter = 0;
    std::uint32_t m_t = 0;
    unsigned m_a = 0;
    unsigned m_b = 0;
    unsigned m_z = 0;
    unsigned m_n = 0;
    std::array<Block, kSlots> m_blocks{};
};

} // namespace zeb::codecs
