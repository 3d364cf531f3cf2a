// The dot-matrix line: the built-in font, where the dots of a text go, the automatic height, the
// dots on the drawn image at both pixel ratios, and that an unchanged text does not repaint.
#include "DisplaysTestSupport.h"
#include "widgets/RasterFont.h"
#include "widgets/RasterLab.h"

#include <QFont>
#include <gtest/gtest.h>
#include <set>

namespace kv58 {
namespace {

// The lit dots of a code as art rows, for readable failures.
QStringList art(const TRDCharMatrix& m, int code)
{
    QStringList rows;
    for (int r = 0; r < m.FontHeight; ++r) {
        QString row;
        for (int c = 0; c < m.FontWidth; ++c)
            row += m.dot(code, c, r) ? u'#' : u'.';
        rows << row;
    }
    return rows;
}

TEST(RasterFont, BuiltInFontCoversEveryCodeWithinItsCell)
{
    const TRDCharMatrix& f = builtinRasterFont();
    EXPECT_EQ(f.FontWidth, 7);
    EXPECT_EQ(f.FontHeight, 12);
    std::set<QString> distinct;
    for (int code = 33; code <= 255; ++code) {
        SCOPED_TRACE(code);
        const auto* g = f.glyph(code);
        ASSERT_NE(g, nullptr);
        for (int row = 12; row < TRDCharMatrix::MaxRows; ++row)
            EXPECT_EQ(g->rows[static_cast<std::size_t>(row)], 0U);
        std::uint32_t used = 0;
        for (const auto bits : g->rows)
            used |= bits;
        EXPECT_EQ(used >> 7, 0U);
        if (code == 0xA0)
            continue; // the no-break space
        ASSERT_NE(used, 0U);
        EXPECT_TRUE((used >> g->left) & 1U);
        EXPECT_TRUE((used >> g->right) & 1U);
        EXPECT_EQ(used & ((1U << g->left) - 1), 0U);
        EXPECT_EQ(used >> (g->right + 1), 0U);
        distinct.insert(art(f, code).join(u'/'));
    }
    // Printable letters and digits are told apart (the undefined codes share one box).
    EXPECT_GE(distinct.size(), 215U);
    EXPECT_EQ(f.glyph(31), nullptr);
}

TEST(RasterFont, GlyphShapes)
{
    const TRDCharMatrix& f = builtinRasterFont();
    // Capitals stand on rows 2 to 8, descenders go below, accents above.
    EXPECT_EQ(art(f, 'T').mid(2, 7),
              QStringList({"#####..", "..#....", "..#....", "..#....", "..#....", "..#....", "..#...."}));
    EXPECT_TRUE(f.dot('g', 1, 10));
    EXPECT_FALSE(f.dot('A', 1, 0));
    EXPECT_TRUE(f.dot(0xC4, 1, 1) && f.dot(0xC4, 3, 1)); // A with diaeresis
    // Digits are equally wide, so a changing value does not shift the unit.
    for (int d = '0'; d <= '9'; ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(f.glyph(d)->left, 0);
        EXPECT_EQ(f.glyph(d)->right, 4);
    }
    EXPECT_EQ(f.glyph(' ')->right - f.glyph(' ')->left, 2);
}

TEST(RasterFont, ProportionalAndFixedAdvance)
{
    const TRDCharMatrix& f = builtinRasterFont();
    // "1" spans columns 0..4 (advance 6), "." columns 1..2 (advance 3) and starts at its leftmost.
    const RasterLine prop = layoutRasterText(f, u"1.1", true);
    ASSERT_EQ(prop.blocks.size(), 3U);
    EXPECT_EQ(prop.blocks[1].column, 6);
    EXPECT_EQ(prop.blocks[2].column, 9);
    EXPECT_EQ(prop.widthDots, 15);
    const std::set<std::pair<int, int>> dots = [&] {
        std::set<std::pair<int, int>> s;
        for (const auto& d : prop.dots)
            s.insert({d.x(), d.y()});
        return s;
    }();
    EXPECT_TRUE(dots.count({6, 7}) && dots.count({7, 8}));
    EXPECT_FALSE(dots.count({8, 7}));

    const RasterLine fixed = layoutRasterText(f, u"1.1", false);
    EXPECT_EQ(fixed.blocks[1].column, 8);
    EXPECT_EQ(fixed.widthDots, 24);

    // Text is read through the 8-bit code page: the superscript two has its own glyph, characters
    // outside it show as "?", control characters take no room.
    EXPECT_EQ(layoutRasterText(f, u"\u00B2", true).dots.size(),
              layoutRasterText(f, QString(QChar(0xB2)), true).dots.size());
    EXPECT_EQ(layoutRasterText(f, u"\u4E00", true).dots.size(), layoutRasterText(f, u"?", true).dots.size());
    EXPECT_EQ(layoutRasterText(f, u"\t", true).widthDots, 0);
}

TEST(RasterFont, SampledFromARealFont)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    const TRDCharMatrix m = sampleRasterFont(font);
    EXPECT_GT(m.FontHeight, 8);
    EXPECT_LE(m.FontHeight, 32);
    EXPECT_GT(m.FontWidth, 5);
    auto count = [&](int code) {
        int n = 0;
        for (int r = 0; r < 32; ++r)
            for (int c = 0; c < 32; ++c)
                n += m.dot(code, c, r);
        return n;
    };
    EXPECT_EQ(count(' '), 0);
    EXPECT_GT(count('W'), count('.'));
    EXPECT_GT(count('.'), 0);
    EXPECT_GT(m.glyph(' ')->right, 0); // a blank keeps a width
}

class RasterLabWidget : public ::testing::Test {
protected:
    void SetUp() override { lab.resize(300, 40); }
    TRasterLab lab;
};

TEST_F(RasterLabWidget, AutoHeightFollowsPitchFontAndFrame)
{
    EXPECT_EQ(lab.height(), 37);
    lab.setFrameStyle(TFrameStyle::fsEmbossed);
    EXPECT_EQ(lab.height(), 38);
    lab.setFrameStyle(TFrameStyle::fsNone);
    lab.setDotSize(3);
    EXPECT_EQ(lab.height(), 48);
    lab.setAutoHeight(false);
    lab.resize(300, 60);
    EXPECT_EQ(lab.height(), 60);
}

TEST_F(RasterLabWidget, DotsAtThePitchOnTheRaster)
{
    lab.setText("1");
    const QColor on(0, 255, 0), off(64, 64, 64), back(0, 0, 0);
    for (const int dpr : {1, 2}) {
        SCOPED_TRACE(dpr);
        const QImage img = test::renderAt(lab, dpr);
        auto px = [&](int x, int y) { return img.pixelColor(x * dpr, y * dpr); };
        auto dotColour = [&](int col, int row) {
            const QRect r = lab.dotRect(col, row);
            // All device pixels of the dot carry one colour: no blur at any ratio.
            const QColor c = px(r.x(), r.y());
            for (int y = r.top() * dpr; y <= r.bottom() * dpr + dpr - 1; ++y)
                for (int x = r.left() * dpr; x <= r.right() * dpr + dpr - 1; ++x)
                    EXPECT_EQ(img.pixelColor(x, y), c);
            return c;
        };
        // The foot of "1" is row 8, columns 0 to 4: dots at x = 1 + 3 * col, y = 1 + 3 * 8.
        EXPECT_EQ(lab.dotRect(4, 8), QRect(13, 25, 2, 2));
        for (int col = 0; col <= 4; ++col)
            EXPECT_EQ(dotColour(col, 8), on);
        EXPECT_EQ(dotColour(1, 7), off);
        EXPECT_EQ(dotColour(3, 2), off);
        EXPECT_EQ(dotColour(2, 2), on);
        EXPECT_EQ(dotColour(40, 5), off); // unlit dots show everywhere
        // Background lines between the dots.
        EXPECT_EQ(px(3, 10), back);
        EXPECT_EQ(px(10, 3), back);
        EXPECT_EQ(px(15, 26), back);
    }
}

TEST_F(RasterLabWidget, BlockModes)
{
    lab.setText("1");
    lab.setCharBlockMode(TRDBlockMode::rdbmOff);
    QImage img = test::renderAt(lab, 1);
    EXPECT_EQ(img.pixelColor(lab.dotRect(1, 7).topLeft()), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(lab.dotRect(0, 8).topLeft()), QColor(0, 255, 0));
    lab.setCharBlockMode(TRDBlockMode::rdbmOn);
    img = test::renderAt(lab, 1);
    EXPECT_EQ(img.pixelColor(lab.dotRect(1, 7).topLeft()), QColor(64, 64, 64));
    EXPECT_EQ(img.pixelColor(lab.dotRect(20, 7).topLeft()), QColor(0, 0, 0));
}

TEST_F(RasterLabWidget, SameTextDoesNotRepaint)
{
    lab.setText("UVA: 000,500 mW/cm\u00B2");
    test::PaintCounter counter(&lab);
    EXPECT_EQ(counter.paintsDuring([&] { lab.setText("UVA: 000,500 mW/cm\u00B2"); }), 0);
    EXPECT_EQ(counter.paintsDuring([&] { lab.setText("UVA: 000,501 mW/cm\u00B2"); }), 1);
}

} // namespace
} // namespace kv58
