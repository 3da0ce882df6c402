// Model state of the window's controls that the shared routines act on. The window
// model builds on these; the Qt view copies them into its widgets.
#pragma once

#include <algorithm>
#include <cstdint>

namespace pagemeld {

// A colour is red + 256 x green + 65536 x blue; parts above 255 count as 255.
constexpr std::uint32_t rgbColour(int red, int green, int blue) {
    const auto part = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    return part(red) + 256u * part(green) + 65536u * part(blue);
}

// "No colour set": the bar is drawn in the platform's own colour.
inline constexpr std::uint32_t kDefaultBarColour = 0xFF000000u;
// The runs' bar colours: blue while working, green when done.
inline constexpr std::uint32_t kBarColourWorking = rgbColour(49, 102, 197);
inline constexpr std::uint32_t kBarColourDone = rgbColour(0, 102, 0);

struct ProgressBar {
    int value = 0;  // 0..100
    std::uint32_t colour = kDefaultBarColour;
};

}  // namespace pagemeld
