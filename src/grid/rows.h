// The 23 resolutions of the grid. Rows are numbered by their stepper (UpDown1 is row 0,
// UpDown23 is row 22); every other order is a list of these numbers.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace hzwk {

inline constexpr int kRowCount = 23;

// A row number (an int, as the steppers and captions count them; never negative) as an index
// into the 23-row arrays.
constexpr std::size_t RowIndex(int row) { return static_cast<std::size_t>(row); }

struct RowInfo {
    int width;
    int height;
    const char* resolutionText;  // "1360 x 768"
    int stepperMax;              // 75 or 240
};

inline constexpr std::array<RowInfo, kRowCount> kRows = {{
    {320, 200, "320 x 200", 75},      // UpDown1, Label25
    {320, 240, "320 x 240", 75},      // UpDown2, Label26
    {400, 300, "400 x 300", 75},      // UpDown3, Label27
    {480, 360, "480 x 360", 75},      // UpDown4, Label28
    {512, 384, "512 x 384", 75},      // UpDown5, Label29
    {640, 400, "640 x 400", 240},     // UpDown6, Label30
    {640, 480, "640 x 480", 240},     // UpDown7, Label31
    {800, 600, "800 x 600", 240},     // UpDown8, Label32
    {1024, 768, "1024 x 768", 240},   // UpDown9, Label33
    {1152, 864, "1152 x 864", 240},   // UpDown10, Label34
    {1280, 768, "1280 x 768", 240},   // UpDown11, Label35
    {1280, 960, "1280 x 960", 240},   // UpDown12, Label36
    {1280, 1024, "1280 x 1024", 240}, // UpDown13, Label37
    {1600, 900, "1600 x 900", 240},   // UpDown14, Label38
    {1600, 1024, "1600 x 1024", 240}, // UpDown15, Label39
    {1600, 1200, "1600 x 1200", 240}, // UpDown16, Label40
    {1920, 1080, "1920 x 1080", 240}, // UpDown17, Label41
    {1920, 1200, "1920 x 1200", 240}, // UpDown18, Label42
    {1920, 1440, "1920 x 1440", 240}, // UpDown19, Label43
    {2048, 1536, "2048 x 1536", 240}, // UpDown20, Label44
    {848, 480, "848 x 480", 240},     // UpDown21, Label54
    {1280, 720, "1280 x 720", 240},   // UpDown22, Label55
    {1360, 768, "1360 x 768", 240},   // UpDown23, Label56
}};

// Row numbers by name, for readability where a row is singled out.
enum Row : int {
    kR320x200 = 0, kR320x240, kR400x300, kR480x360, kR512x384, kR640x400, kR640x480,
    kR800x600, kR1024x768, kR1152x864, kR1280x768, kR1280x960, kR1280x1024, kR1600x900,
    kR1600x1024, kR1600x1200, kR1920x1080, kR1920x1200, kR1920x1440, kR2048x1536,
    kR848x480, kR1280x720, kR1360x768,
};

// The main window shows 11 rows on the left and 12 on the right, in this order.
inline constexpr std::array<int, kRowCount> kDisplayOrder = {
    kR320x200, kR320x240, kR400x300, kR480x360, kR512x384, kR640x400, kR640x480,
    kR800x600, kR848x480, kR1024x768, kR1152x864,
    kR1280x720, kR1280x768, kR1280x960, kR1280x1024, kR1360x768, kR1600x900,
    kR1600x1024, kR1600x1200, kR1920x1080, kR1920x1200, kR1920x1440, kR2048x1536,
};
inline constexpr int kLeftRows = 11;

using Captions = std::array<std::string, kRowCount>;

}  // namespace hzwk
