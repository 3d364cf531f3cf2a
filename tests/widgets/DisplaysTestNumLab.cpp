// The numeric label: its text per display type, the overflow indicator, and repainting only when
// the value changes.
#include "DisplaysTestSupport.h"
#include "widgets/NumLab.h"
#include "widgets/NumLabFormat.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kv58 {
namespace {

TEST(NumLabFormat, ValueTexts)
{
    struct Case {
        double value;
        NumLabFormat format;
        const char* text;
    };
    const Case cases[] = {
        {1.2345, {}, "1.23"},
        {1.235, {}, "1.24"},
        {-0.004, {}, "0.00"},
        {-2.5, {}, "-2.50"},
        {1.2345, {TDisplay::dtFixP, 3, false, false}, "1.235"},
        {1.2345, {TDisplay::dtFixP, 2, true, false}, "1,23"},
        {1.5, {TDisplay::dtFixP, 2, false, true}, "+1.50"},
        {0, {TDisplay::dtFixP, 2, false, true}, "0.00"},
        {-1.5, {TDisplay::dtFixP, 2, false, true}, "-1.50"},
        {1.5, {TDisplay::dtFloat, 2, false, false}, "1.5"},
        {1234.5, {TDisplay::dtExp, 2, false, false}, "1.23E+03"},
        {7.6, {TDisplay::dtInt, 2, false, false}, "8"},
        {7, {TDisplay::dtZeroInt, 3, false, false}, "007"},
        {255, {TDisplay::dtHex, 2, false, false}, "FF"},
        {std::nan(""), {}, "NAN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numLabValueText(c.value, c.format), QString::fromLatin1(c.text));
    }
}

TEST(NumLabFormat, OverflowWhenWiderThanTheLabelLessSix)
{
    const auto sevenPerChar = [](const QString& t) { return 7 * static_cast<int>(t.size()); };
    EXPECT_EQ(numLabShownText("1234567890", 80, "*********", sevenPerChar), "1234567890"); // 70 px
    EXPECT_EQ(numLabShownText("12345678901", 80, "*********", sevenPerChar), "*********"); // 77 px
    EXPECT_EQ(numLabShownText("12345678901", 83, "*********", sevenPerChar), "12345678901");
}

TEST(NumLabWidget, WideValueShowsTheIndicator)
{
    TNumLab lab;
    lab.SetValue(1.2345);
    EXPECT_EQ(lab.displayedText(), "1.23");
    lab.SetValue(1e30);
    EXPECT_EQ(lab.displayedText(), "*********");
    lab.setEmpty(true);
    EXPECT_EQ(lab.displayedText(), "");
}

TEST(NumLabWidget, RepaintsOnlyOnAChangedValue)
{
    TNumLab lab;
    lab.resize(90, 24);
    test::PaintCounter counter(&lab);
    EXPECT_EQ(counter.paintsDuring([&] { lab.SetValue(0); }), 0);
    EXPECT_EQ(counter.paintsDuring([&] { lab.SetValue(1.5); }), 1);
    EXPECT_EQ(counter.paintsDuring([&] { lab.SetValue(1.5); }), 0);
    EXPECT_EQ(counter.paintsDuring([&] { lab.SetValue(std::nan("")); }), 1);
    EXPECT_EQ(counter.paintsDuring([&] { lab.SetValue(std::nan("")); }), 1);
    EXPECT_TRUE(std::isnan(lab.value()));
}

} // namespace
} // namespace kv58
