#pragma once

#include "terminal/session/TerminalSink.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::terminal::test {

struct Piece
{
    std::uint32_t colour = 0;
    std::string text;

    bool operator==(const Piece&) const = default;
};

// Keeps every piece shown, or with keep off only counts them (for counting allocations).
class RecordingSink : public TerminalSink
{
public:
    void show(std::uint32_t colour, std::string_view text) override
    {
        ++count;
        if (keep) {
            pieces.push_back({colour, std::string(text)});
        }
    }

    std::string all() const
    {
        std::string text;
        for (const Piece& piece : pieces) {
            text += piece.text;
        }
        return text;
    }

    std::vector<Piece> pieces;
    std::size_t count = 0;
    bool keep = true;
};

} // namespace zeb::terminal::test
