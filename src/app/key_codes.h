// Keys and shift flags as the window's key events number them (the classic
// virtual-key codes): the model's key handlers read them, the view translates its
// toolkit's keys into them.
#pragma once

#include <cstdint>

namespace pagemeld {

namespace keycode {
inline constexpr std::int16_t kPageUp = 33;
inline constexpr std::int16_t kPageDown = 34;
inline constexpr std::int16_t kEnd = 35;
inline constexpr std::int16_t kHome = 36;
inline constexpr std::int16_t kUp = 38;
inline constexpr std::int16_t kDown = 40;
inline constexpr std::int16_t kDelete = 46;
// Letters and digits are their capital character.
inline constexpr std::int16_t kO = 'O';
}  // namespace keycode

namespace shiftkey {
inline constexpr std::int16_t kNone = 0;
inline constexpr std::int16_t kShift = 1;
inline constexpr std::int16_t kCtrl = 2;
inline constexpr std::int16_t kAlt = 4;
}  // namespace shiftkey

}  // namespace pagemeld
