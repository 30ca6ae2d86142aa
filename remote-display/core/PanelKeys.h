#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zeb::remote_display {

// The keys of the receiver's front panel: their codes, where they are painted in the panel
// view (hot spots, in view pixels, edges included) and the keyboard keys that stand for them.
namespace key_code {
constexpr std::uint32_t Digit0 = 0xFFFF0000u;
constexpr std::uint32_t Digit1 = 0xFFFF0001u;
constexpr std::uint32_t Soft1 = 0xFFF00000u;
constexpr std::uint32_t Soft5 = 0xFFF00005u;
constexpr std::uint32_t Up = 0xFFF10000u;
constexpr std::uint32_t Down = 0xFFF10001u;
constexpr std::uint32_t Left = 0xFFF10002u;
constexpr std::uint32_t Right = 0xFFF10003u;
// Handled by the view, never sent.
constexpr std::uint32_t Contrast = 0xFFF10004u;
constexpr std::uint32_t Menu = 0xFFF10005u;
constexpr std::uint32_t Escape = 0xFFF10006u;
constexpr std::uint32_t Tab = 0xFFF10007u;
} // namespace key_code

struct HotSpot
{
    std::uint32_t code = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    // What the panel picture writes on the key.
    const char* label = "";

    bool contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

// Keyboard keys with a panel meaning besides the characters 32-127.
enum class KeyboardKey { F1, F2, F3, F4, F5, Up, Down, Left, Right, Escape, Tab };

class PanelKeys
{
public:
    // In the order they are tested.
    static std::span<const HotSpot> hotSpots();
    // The first hot spot containing (x, y), none outside every key.
    static const HotSpot* at(int x, int y);
    static std::uint32_t code(KeyboardKey key);
    // A typed character 32-127 is its own code.
    static std::optional<std::uint32_t> characterCode(std::uint32_t character);
    // Whether the key is sent to the receiver (contrast and menu stay in the view).
    static bool isSent(std::uint32_t code) { return code != key_code::Contrast && code != key_code::Menu; }
};

} // namespace zeb::remote_display
