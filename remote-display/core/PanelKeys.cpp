#include "remote-display/core/PanelKeys.h"

#include <array>

namespace zeb::remote_display {

namespace {

constexpr std::array<HotSpot, 21> kHotSpots{{
    {0xFFFF0001u, 485, 72, 527, 101, "1"},       {0xFFFF0002u, 540, 73, 582, 102, "2"},
    {0xFFFF0003u, 595, 73, 637, 102, "3"},       {0xFFFF0004u, 486, 116, 528, 145, "4"},
    {0xFFFF0005u, 541, 117, 583, 146, "5"},      {0xFFFF0006u, 594, 117, 636, 146, "6"},
    {0xFFFF0007u, 485, 159, 527, 188, "7"},      {0xFFFF0008u, 541, 158, 583, 187, "8"},
    {0xFFFF0009u, 595, 159, 637, 188, "9"},      {key_code::Digit0, 593, 200, 635, 229, "0"},
    {0xFFF00000u, 100, 313, 142, 342, "F1"},     {0xFFF00001u, 165, 314, 207, 343, "F2"},
    {0xFFF00002u, 228, 313, 270, 342, "F3"},     {0xFFF00003u, 293, 314, 335, 343, "F4"},
    {key_code::Soft5, 356, 314, 398, 343, "F5"}, {key_code::Contrast, 595, 249, 637, 278, "C"},
    {key_code::Menu, 594, 291, 636, 320, "M"},   {key_code::Up, 496, 232, 538, 261, "^"},
    {key_code::Down, 497, 309, 539, 338, "v"},   {key_code::Left, 466, 267, 495, 307, "<"},
    {key_code::Right, 542, 264, 571, 306, ">"},
}};

} // namespace

std::span<const HotSpot> PanelKeys::hotSpots()
{
    return kHotSpots;
}

const HotSpot* PanelKeys::at(int x, int y)
{
    for (const HotSpot& spot : kHotSpots) {
        if (spot.contains(x, y))
            return &spot;
    }
    return nullptr;
}

std::uint32_t PanelKeys::code(KeyboardKey key)
{
    switch (key) {
    case KeyboardKey::F1:
    case KeyboardKey::F2:
    case KeyboardKey::F3:
    case KeyboardKey::F4:
        return key_code::Soft1 + static_cast<std::uint32_t>(key) - static_cast<std::uint32_t>(KeyboardKey::F1);
    case KeyboardKey::F5:
        return key_code::Soft5;
    case KeyboardKey::Up:
        return key_code::Up;
    case KeyboardKey::Down:
        return key_code::Down;
    case KeyboardKey::Left:
        return key_code::Left;
    case KeyboardKey::Right:
        return key_code::Right;
    case KeyboardKey::Escape:
        return key_code::Escape;
    case KeyboardKey::Tab:
        return key_code::Tab;
    }
    return 0;
}

std::optional<std::uint32_t> PanelKeys::characterCode(std::uint32_t character)
{
    if (character < 32 || character > 127)
        return std::nullopt;
    return character;
}

} // namespace zeb::remote_display
