// The character matrix of the dot-matrix display (one bit pattern per code 32 to 255 of the
// Windows-1252 code page) and the placing of a text line's dots.
#pragma once

#include <QPoint>
#include <QStringView>
#include <array>
#include <cstdint>
#include <vector>

class QFont;

namespace kv58 {

struct TRDCharMatrix {
    static constexpr int FirstCode = 32;
    static constexpr int LastCode = 255;
    static constexpr int MaxRows = 32;
    static constexpr int MaxColumns = 32;

    struct Glyph {
        std::array<std::uint32_t, MaxRows> rows{}; // bit c set: column c is lit
        int left = 0;                              // leftmost used column
        int right = 0;                             // rightmost used column
    };

    int FontWidth = 0;
    int FontHeight = 0;
    std::array<Glyph, LastCode - FirstCode + 1> glyphs{};

    // The pattern of a code, or null for codes below 32 (they have none).
    const Glyph* glyph(int code) const;
    bool dot(int code, int column, int row) const;
};

// The built-in font: 7 dots wide, 12 high. Capitals and digits stand on rows 2 to 8, small letters
// on rows 4 to 8, descenders reach row 11 and accents on capitals use rows 0 and 1.
const TRDCharMatrix& builtinRasterFont();

// Samples `font` in a 32 x 32 grid per character: the height is the lowest used row + 1 over all
// characters, the width that of the widest character. Needs a running QGuiApplication.
TRDCharMatrix sampleRasterFont(const QFont& font);

// Where the dots of a text go, in dot units from the first character's origin. Characters outside
// the code page show as "?"; control characters take no room.
struct RasterLine {
    std::vector<QPoint> dots;
    struct Block {
        int column; // first dot column of the character
        int width;  // dot columns it advances by
    };
    std::vector<Block> blocks;
    int widthDots = 0;
};

// A character advances by (rightmost - leftmost used column + 2) dots when proportional, otherwise
// by FontWidth + 1 dots.
RasterLine layoutRasterText(const TRDCharMatrix& matrix, QStringView text, bool proportional);

} // namespace kv58
