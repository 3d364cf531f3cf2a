#include "widgets/SevenSegLayout.h"

#include <QString>

namespace kv58 {

namespace {

constexpr char16_t kDegree = u'\u00B0';

unsigned bits(std::initializer_list<int> segments)
{
    unsigned m = 0;
    for (const int s : segments)
        m |= 1U << (s - 1);
    return m;
}

bool isPoint(QChar c)
{
    return c == u'.' || c == u',';
}

} // namespace

QString segImagePath(SegImage image)
{
    switch (image) {
    case SegImage::Horz:
        return QStringLiteral(":/segments/SEGHORZ");
    case SegImage::Vert:
        return QStringLiteral(":/segments/SEGVERT");
    case SegImage::Colon:
        return QStringLiteral(":/segments/SEGCOLON");
    case SegImage::Deg:
        return QStringLiteral(":/segments/SEGDEG");
    case SegImage::Dot:
        return QStringLiteral(":/segments/SEGDOT");
    case SegImage::Plus:
        return QStringLiteral(":/segments/SEGPLUS");
    }
    return {};
}

unsigned sevenSegMask(QChar glyph)
{
    switch (glyph.unicode()) {
    case u'0':
        return bits({1, 2, 3, 5, 6, 7});
    case u'1':
        return bits({3, 6});
    case u'2':
        return bits({1, 3, 4, 5, 7});
    case u'3':
        return bits({1, 3, 4, 6, 7});
    case u'4':
        return bits({2, 3, 4, 6});
    case u'5':
        return bits({1, 2, 4, 6, 7});
    case u'6':
        return bits({1, 2, 4, 5, 6, 7});
    case u'7':
        return bits({1, 3, 6});
    case u'8':
        return bits({1, 2, 3, 4, 5, 6, 7});
    case u'9':
        return bits({1, 2, 3, 4, 6, 7});
    case u'-':
        return bits({4});
    case u'A':
        return bits({1, 2, 3, 4, 5, 6});
    case u'B':
        return bits({2, 4, 5, 6, 7});
    case u'C':
        return bits({1, 2, 5, 7});
    case u'D':
        return bits({3, 4, 5, 6, 7});
    case u'E':
        return bits({1, 2, 4, 5, 7});
    case u'F':
        return bits({1, 2, 4, 5});
    default:
        return 0;
    }
}

bool hasSevenSegGlyph(QChar upperCaseChar)
{
    return sevenSegMask(upperCaseChar) != 0 || upperCaseChar == u'+' || upperCaseChar == u':' ||
           upperCaseChar == kDegree;
}

std::vector<SevenSegCell> layoutSevenSegCaption(QStringView caption, int numDigits)
{
    std::vector<SevenSegCell> cells;
    if (numDigits <= 0)
        return cells;
    bool afterCharacter = false; // the last cell holds a character whose point is still free
    for (const QChar raw : caption) {
        if (isPoint(raw)) {
            if (afterCharacter) {
                cells.back().point = true;
                afterCharacter = false;
                continue;
            }
            if (static_cast<int>(cells.size()) == numDigits)
                break;
            cells.push_back({QChar(), true});
            continue;
        }
        if (static_cast<int>(cells.size()) == numDigits)
            break;
        const QChar c = raw.toUpper();
        cells.push_back({hasSevenSegGlyph(c) ? c : QChar(), false});
        afterCharacter = true;
    }
    return cells;
}

QSize sevenSegDesignSize()
{
    return QSize(327, 440);
}

SegPlacement segmentPlacement(int segment)
{
    static const QPoint positions[] = {{94, 0},  {37, 23},   {244, 23}, {57, 197},
                                       {0, 220}, {207, 220}, {20, 394}};
    const bool horizontal = segment == 1 || segment == 4 || segment == 7;
    return {horizontal ? SegImage::Horz : SegImage::Vert, positions[segment - 1]};
}

std::vector<SegPlacement> cellPlacements(const SevenSegCell& cell)
{
    std::vector<SegPlacement> out;
    const QChar g = cell.glyph;
    if (g == u'+')
        out.push_back({SegImage::Plus, {73, 130}});
    else if (g == u':')
        out.push_back({SegImage::Colon, {123, 107}});
    else if (g == kDegree)
        out.push_back({SegImage::Deg, {129, 20}});
    const unsigned mask = g.isNull() ? 0U : sevenSegMask(g);
    for (int s = 1; s <= 7; ++s)
        if (mask & (1U << (s - 1)))
            out.push_back(segmentPlacement(s));
    // The point sits in the lower right sixth of the cell, clear of the lower right segment.
    if (cell.point)
        out.push_back({SegImage::Dot, {271, 394}});
    return out;
}

QRect sevenSegCellRect(QSize controlSize, int margin, int numDigits, int interDigDist, int index)
{
    if (numDigits <= 0)
        return {};
    const int w = (controlSize.width() - 2 * margin) / numDigits - interDigDist;
    const int h = controlSize.height() - 2 * margin;
    return QRect(margin + index * (w + interDigDist), margin, w, h);
}

} // namespace kv58
