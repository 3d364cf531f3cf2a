// What the seven-segment display shows, apart from painting: the glyph table, how a caption fills
// the cells, where each segment image sits in the design cell, and the cells' geometry.
#pragma once

#include <QChar>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringView>
#include <vector>

namespace kv58 {

// The segment images among the application's resources.
enum class SegImage { Horz, Vert, Colon, Deg, Dot, Plus };

// Resource path of an image, e.g. ":/segments/SEGHORZ".
QString segImagePath(SegImage image);

// One cell of the display: the glyph it shows (upper case; a null character for none) and whether
// its decimal point is lit.
struct SevenSegCell {
    QChar glyph;
    bool point = false;
    bool operator==(const SevenSegCell&) const = default;
};

// Glyphs exist for "0" to "9", "-", "+", ":", the degree sign and "A" to "F" (upper case).
bool hasSevenSegGlyph(QChar upperCaseChar);

// Segments lit for a glyph: bit (n - 1) for segment n, numbered top 1, upper left 2, upper right 3,
// middle 4, lower left 5, lower right 6, bottom 7. 0 for glyphs drawn with their own image.
unsigned sevenSegMask(QChar glyph);

// Reads a caption into at most `numDigits` cells: letters in upper case; a "." or "," right after
// a character lights that cell's point and takes no cell, one standing alone takes a cell with only
// the point; a character without a glyph leaves its cell empty.
std::vector<SevenSegCell> layoutSevenSegCaption(QStringView caption, int numDigits);

// The design cell in which glyphs are composed before being stretched to a display cell.
QSize sevenSegDesignSize();

struct SegPlacement {
    SegImage image;
    QPoint designPos;
};
// Position of segment n (1 to 7) in the design cell.
SegPlacement segmentPlacement(int segment);
// The images that compose a cell, in drawing order.
std::vector<SegPlacement> cellPlacements(const SevenSegCell& cell);

// Cell `index` (from 0) of a control of `controlSize`: cell width (width - 2 x margin) / numDigits -
// interDigDist, height - 2 x margin.
QRect sevenSegCellRect(QSize controlSize, int margin, int numDigits, int interDigDist, int index);

} // namespace kv58
