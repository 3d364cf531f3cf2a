// The seven-segment display: how captions fill the cells, the cells' geometry, which segments light
// for a glyph on the drawn image, and that an unchanged caption does not repaint.
#include "DisplaysTestSupport.h"
#include "widgets/SevenSeg.h"
#include "widgets/SevenSegLayout.h"

#include <gtest/gtest.h>

namespace kv58 {
namespace {

QString describe(const std::vector<SevenSegCell>& cells)
{
    // One character per cell ('_' for an empty one), a '.' after a cell whose point is lit.
    QString out;
    for (const auto& c : cells) {
        out += c.glyph.isNull() ? QChar(u'_') : c.glyph;
        if (c.point)
            out += u'.';
        out += u'|';
    }
    return out;
}

TEST(SevenSegLayout, CaptionsFillTheCells)
{
    struct Case {
        const char16_t* caption;
        int digits;
        const char16_t* cells;
    };
    const Case cases[] = {
        {u"12:34:56", 8, u"1|2|:|3|4|:|5|6|"},
        {u"1.5", 8, u"1.|5|"},
        {u"1,5", 8, u"1.|5|"},
        {u".5", 8, u"_.|5|"},
        {u"1..", 8, u"1.|_.|"},
        {u"abcdef", 8, u"A|B|C|D|E|F|"},
        {u"-12\u00B0C", 8, u"-|1|2|\u00B0|C|"},
        {u"+1", 8, u"+|1|"},
        {u"1 x2", 8, u"1|_|_|2|"},
        {u"x.", 8, u"_.|"},
        {u"123456789", 8, u"1|2|3|4|5|6|7|8|"},
        {u"12345678.9", 8, u"1|2|3|4|5|6|7|8.|"},
        {u"", 8, u""},
        {u"12:34", 3, u"1|2|:|"},
    };
    for (const auto& c : cases) {
        const QString caption = QString::fromUtf16(c.caption);
        SCOPED_TRACE(caption.toStdString());
        EXPECT_EQ(describe(layoutSevenSegCaption(caption, c.digits)), QString::fromUtf16(c.cells));
    }
}

TEST(SevenSegLayout, GlyphTable)
{
    // Bits of segments 1..7: top, upper left, upper right, middle, lower left, lower right, bottom.
    EXPECT_EQ(sevenSegMask(u'0'), 0b1110111U);
    EXPECT_EQ(sevenSegMask(u'1'), 0b0100100U);
    EXPECT_EQ(sevenSegMask(u'4'), 0b0101110U);
    EXPECT_EQ(sevenSegMask(u'7'), 0b0100101U);
    EXPECT_EQ(sevenSegMask(u'8'), 0b1111111U);
    EXPECT_EQ(sevenSegMask(u'-'), 0b0001000U);
    EXPECT_EQ(sevenSegMask(u'B'), 0b1111010U);
    EXPECT_EQ(sevenSegMask(u'D'), 0b1111100U);
    EXPECT_EQ(sevenSegMask(u'F'), 0b0011011U);
    EXPECT_TRUE(hasSevenSegGlyph(u':'));
    EXPECT_TRUE(hasSevenSegGlyph(u'\u00B0'));
    EXPECT_FALSE(hasSevenSegGlyph(u'G'));
    EXPECT_FALSE(hasSevenSegGlyph(u'b')); // the layout upper-cases before looking up
}

TEST(SevenSegLayout, CellGeometry)
{
    // (200 - 16) / 8 - 1 = 22 wide, 60 - 16 = 44 high, one pixel apart.
    EXPECT_EQ(sevenSegCellRect({200, 60}, 8, 8, 1, 0), QRect(8, 8, 22, 44));
    EXPECT_EQ(sevenSegCellRect({200, 60}, 8, 8, 1, 1), QRect(31, 8, 22, 44));
    EXPECT_EQ(sevenSegCellRect({200, 60}, 8, 8, 1, 7), QRect(169, 8, 22, 44));
}

class SevenSegWidget : public ::testing::Test {
protected:
    void SetUp() override { seg.resize(8 * 40 + 16, 100); }

    // The colour drawn at a point of the design cell, in cell `index`.
    QColor at(const QImage& image, int index, QPointF design, qreal dpr = 1) const
    {
        const QRect cell = seg.cellRect(index);
        const QSize d = sevenSegDesignSize();
        const QPointF p(cell.x() + design.x() * cell.width() / d.width(),
                        cell.y() + design.y() * cell.height() / d.height());
        return image.pixelColor((p * dpr).toPoint());
    }
    // Centre of segment n in the design cell.
    static QPointF centre(int segment)
    {
        const SegPlacement s = segmentPlacement(segment);
        return s.image == SegImage::Horz ? QPointF(s.designPos) + QPointF(105, 23)
                                         : QPointF(s.designPos) + QPointF(41, 98);
    }
    bool lit(const QColor& c) const { return c.red() > 200 && c.green() < 80; }

    TSevenSeg seg;
};

TEST_F(SevenSegWidget, DrawsTheSegmentsOfEachGlyph)
{
    seg.setCaption("0123456789");
    for (const qreal dpr : {1.0, 2.0}) {
        const QImage image = test::renderAt(seg, dpr);
        for (int i = 0; i < 8; ++i) {
            const unsigned mask = sevenSegMask(QChar(u'0' + i));
            for (int s = 1; s <= 7; ++s) {
                SCOPED_TRACE(testing::Message() << "dpr " << dpr << " digit " << i << " segment " << s);
                EXPECT_EQ(lit(at(image, i, centre(s), dpr)), bool(mask & (1U << (s - 1))));
            }
        }
        // Between the segments stays the background.
        EXPECT_EQ(at(image, 0, {163, 110}, dpr), QColor(51, 51, 51));
    }
}

TEST_F(SevenSegWidget, PointLightsInTheCellBefore)
{
    seg.setCaption("1.5");
    const QImage image = test::renderAt(seg, 1);
    const QPointF dot(271 + 23, 394 + 23);
    EXPECT_TRUE(lit(at(image, 0, dot)));
    EXPECT_FALSE(lit(at(image, 1, dot)));
    EXPECT_TRUE(lit(at(image, 1, centre(1))));
    EXPECT_FALSE(lit(at(image, 2, centre(4)))); // nothing in the third cell
}

TEST_F(SevenSegWidget, UnchangedCaptionDoesNotRepaint)
{
    test::PaintCounter counter(&seg);
    EXPECT_EQ(counter.paintsDuring([&] { seg.setCaption("00:00:00"); }), 0);
    EXPECT_EQ(counter.paintsDuring([&] { seg.setCaption("12:00:01"); }), 1);
    EXPECT_EQ(counter.paintsDuring([&] { seg.setCaption("12:00:01"); }), 0);
}

} // namespace
} // namespace kv58
