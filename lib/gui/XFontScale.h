#pragma once
// The user's scaling of the application font, in percent of the font the platform gave at start.
// Remembered in the GUI kernel's root record ("fontScale"); GUI thread only.
#include <cstdint>

namespace zem {

class XFontScale {
public:
    static constexpr uint32_t MIN_PERCENT = 100;
    static constexpr uint32_t MAX_PERCENT = 300;

    // The stored scale; 100 when unset, out of range or without a kernel.
    static uint32_t percent();
    // Stores the scale (clamped to the range) and applies it.
    static void set_percent(uint32_t percent);
    // Sets the application font to the stored scale of the start font.
    static void apply();
};

} // namespace zem
