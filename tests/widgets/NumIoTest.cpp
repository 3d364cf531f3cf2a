// Parsing, acceptance, reading and writing of the numeric input fields, as tables per input format
// and per field of the program, and the two input widgets driven by keystrokes.
#include "widgets/NumIO.h"

#include "DisplaysTestSupport.h"
#include "widgets/NumIO2.h"
#include "widgets/NumInput.h"

#include <QApplication>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace kv58 {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// The fields of the program, with the rules they are created with.
NumInputRules intervallIO()
{
    return {TInFormat::itInt, 1, 3600, TDecPSep::dsSystem, 2};
}
NumInputRules hourIO()
{
    return {TInFormat::itInt, 1, 24, TDecPSep::dsSystem, 2};
}
NumInputRules numIO2()
{
    return {TInFormat::itHex, 0, 255, TDecPSep::dsSystem, 2};
}
NumInputRules kalValue()
{
    return {TInFormat::itFloat, 0.0001, 9999.9999, TDecPSep::dsDot, 2};
}
NumInputRules offset()
{
    return {TInFormat::itFloat, -kInf, kInf, TDecPSep::dsDot, 2};
}
NumInputRules serialNumber()
{
    return {TInFormat::itInt, 1, 9999, TDecPSep::dsSystem, 2};
}

struct ParseCase {
    const char* text;
    TInFormat format;
    TDecPSep sep;
    std::optional<double> value;
};

TEST(NumInputParse, EachFormatTakesOnlyItsOwnSyntax)
{
    const ParseCase cases[] = {
        {"20", TInFormat::itInt, TDecPSep::dsSystem, 20},
        {"  -7", TInFormat::itInt, TDecPSep::dsSystem, -7},
        {"+3", TInFormat::itInt, TDecPSep::dsSystem, 3},
        {"", TInFormat::itInt, TDecPSep::dsSystem, std::nullopt},
        {"   ", TInFormat::itInt, TDecPSep::dsSystem, std::nullopt},
        {"1 2", TInFormat::itInt, TDecPSep::dsSystem, std::nullopt},
        {"12 ", TInFormat::itInt, TDecPSep::dsSystem, std::nullopt},
        {"-", TInFormat::itInt, TDecPSep::dsSystem, std::nullopt},
        {"1.0", TInFormat::itInt, TDecPSep::dsSystem, std::nullopt},
        {"1e3", TInFormat::itInt, TDecPSep::dsSystem, std::nullopt},
        {"FF", TInFormat::itHex, TDecPSep::dsSystem, 255},
        {"ff", TInFormat::itHex, TDecPSep::dsSystem, 255},
        {"$10", TInFormat::itHex, TDecPSep::dsSystem, 16},
        {"$", TInFormat::itHex, TDecPSep::dsSystem, std::nullopt},
        {"-1", TInFormat::itHex, TDecPSep::dsSystem, std::nullopt},
        {"G", TInFormat::itHex, TDecPSep::dsSystem, std::nullopt},
        {"17", TInFormat::itOct, TDecPSep::dsSystem, 15},
        {"8", TInFormat::itOct, TDecPSep::dsSystem, std::nullopt},
        {"101", TInFormat::itBin, TDecPSep::dsSystem, 5},
        {"2", TInFormat::itBin, TDecPSep::dsSystem, std::nullopt},
        {"1.25", TInFormat::itFloat, TDecPSep::dsDot, 1.25},
        {"1.", TInFormat::itFloat, TDecPSep::dsDot, 1},
        {".5", TInFormat::itFloat, TDecPSep::dsDot, 0.5},
        {"-0.5", TInFormat::itFloat, TDecPSep::dsDot, -0.5},
        {".", TInFormat::itFloat, TDecPSep::dsDot, std::nullopt},
        {"1,5", TInFormat::itFloat, TDecPSep::dsDot, std::nullopt},
        {"1,5", TInFormat::itFloat, TDecPSep::dsComma, 1.5},
        {"1.5", TInFormat::itFloat, TDecPSep::dsComma, std::nullopt},
        {"1,5", TInFormat::itFloat, TDecPSep::dsBoth, 1.5},
        {"1.5", TInFormat::itFloat, TDecPSep::dsBoth, 1.5},
        {"1.5,2", TInFormat::itFloat, TDecPSep::dsBoth, std::nullopt},
        {"1e3", TInFormat::itFloat, TDecPSep::dsDot, std::nullopt},
        {"1.5e3", TInFormat::itExp, TDecPSep::dsDot, 1500},
        {"2E-2", TInFormat::itExp, TDecPSep::dsDot, 0.02},
        {"1.5e", TInFormat::itExp, TDecPSep::dsDot, 1.5},
        {"1.5e-", TInFormat::itExp, TDecPSep::dsDot, 1.5},
        {"1.5e+", TInFormat::itExp, TDecPSep::dsDot, 1.5},
        {"e5", TInFormat::itExp, TDecPSep::dsDot, std::nullopt},
        {"1e5x", TInFormat::itExp, TDecPSep::dsDot, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto v = parseNumInput(QString::fromLatin1(c.text), c.format, c.sep, u'.');
        ASSERT_EQ(v.has_value(), c.value.has_value());
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *c.value);
        }
    }
}

TEST(NumInputParse, SystemSeparatorFollowsTheProcessSetting)
{
    EXPECT_EQ(parseNumInput(u"1,5", TInFormat::itFloat, TDecPSep::dsSystem, u','), 1.5);
    EXPECT_FALSE(parseNumInput(u"1.5", TInFormat::itFloat, TDecPSep::dsSystem, u','));
    EXPECT_EQ(parseNumInput(u"1.5", TInFormat::itFloat, TDecPSep::dsSystem, u'.'), 1.5);
    // Any separator other than "," counts as ".".
    EXPECT_EQ(parseNumInput(u"1.5", TInFormat::itFloat, TDecPSep::dsSystem, u'\''), 1.5);
}

struct EditCase {
    const char* field;
    NumInputRules (*rules)();
    const char* text;
    bool accepted;
};

TEST(NumInputCheck, FieldsAcceptWhatParsesWithinRangeOrExactlyZero)
{
    const EditCase cases[] = {
        {"IntervallIO", intervallIO, "20", true},
        {"IntervallIO", intervallIO, "1", true},
        {"IntervallIO", intervallIO, "3600", true},
        {"IntervallIO", intervallIO, "3601", false},
        {"IntervallIO", intervallIO, "0", true},
        {"IntervallIO", intervallIO, "-1", false},
        {"IntervallIO", intervallIO, "", false},
        {"IntervallIO", intervallIO, "2x", false},
        {"HourIO", hourIO, "24", true},
        {"HourIO", hourIO, "25", false},
        {"NumIO2", numIO2, "FF", true},
        {"NumIO2", numIO2, "$10", true},
        {"NumIO2", numIO2, "100", false},
        {"NumIO2", numIO2, "fg", false},
        {"CH1KalValue", kalValue, "0", true},
        {"CH1KalValue", kalValue, "0.", true},
        {"CH1KalValue", kalValue, "0.0000", true},
        {"CH1KalValue", kalValue, "0.00001", false},
        {"CH1KalValue", kalValue, "0.0001", true},
        {"CH1KalValue", kalValue, "1.25", true},
        {"CH1KalValue", kalValue, "1,5", false},
        {"CH1KalValue", kalValue, "9999.9999", true},
        {"CH1KalValue", kalValue, "10000", false},
        {"CH1KalValue", kalValue, "-1", false},
        {"CH1Offset", offset, "-12.5", true},
        {"CH1Offset", offset, "1e9", false},
        {"CH1Offset", offset, "-", false},
        {"SerialNumber", serialNumber, "7", true},
        {"SerialNumber", serialNumber, "9999", true},
        {"SerialNumber", serialNumber, "10000", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " \"" + c.text + "\"");
        const NumInputCheck r = checkNumInput(QString::fromLatin1(c.text), c.rules(), u'.');
        EXPECT_EQ(r.accepted, c.accepted);
    }
}

TEST(NumInputCheck, FixPointNeedsAPointAndCutsSurplusDecimals)
{
    NumInputRules rules{TInFormat::itFixPoint, -kInf, kInf, TDecPSep::dsDot, 2};
    EXPECT_FALSE(checkNumInput("12", rules, u'.').accepted);
    const NumInputCheck cut = checkNumInput("1.239", rules, u'.');
    EXPECT_TRUE(cut.accepted);
    EXPECT_EQ(cut.text, "1.23");
    EXPECT_EQ(checkNumInput("1.2", rules, u'.').text, "1.2");
    rules.fixPointDecPlaces = 4;
    EXPECT_EQ(checkNumInput("0.123456", rules, u'.').text, "0.1234");
}

TEST(NumInputValue, ReadsTheDisplayedText)
{
    EXPECT_EQ(numInputValue(u"FF", TInFormat::itHex), 255);
    EXPECT_EQ(numInputValue(u"$10", TInFormat::itHex), 16);
    EXPECT_EQ(numInputValue(u"20", TInFormat::itInt), 20);
    EXPECT_EQ(numInputValue(u"1,5", TInFormat::itFloat), 1.5);
    EXPECT_EQ(numInputValue(u"3.", TInFormat::itFloat), 3);
    EXPECT_EQ(numInputValue(u"3,", TInFormat::itFloat), 3);
    EXPECT_EQ(numInputValue(u"2e", TInFormat::itExp), 2);
    EXPECT_EQ(numInputValue(u"", TInFormat::itFloat), 0);
    EXPECT_EQ(numInputValue(u"abc", TInFormat::itInt), 0);
    EXPECT_EQ(numInputValue(u"1,5,5", TInFormat::itFloat), 0);
}

TEST(NumInputText, WritesEachFormatAsTheFieldShowsIt)
{
    struct Case {
        double value;
        TInFormat format;
        int places;
        const char* text;
    };
    const Case cases[] = {
        {0.5, TInFormat::itFloat, 2, "0.50000000"},
        {-1.25, TInFormat::itFloat, 2, "-1.25000000"},
        {1, TInFormat::itFloat, 2, "1.00000000"},
        {2.345, TInFormat::itFixPoint, 2, "2.35"},
        {2, TInFormat::itFixPoint, 3, "2.000"},
        {20, TInFormat::itInt, 2, "20"},
        {2.5, TInFormat::itInt, 2, "3"},
        {-0.4, TInFormat::itInt, 2, "0"},
        {255, TInFormat::itHex, 2, "FF"},
        {16.4, TInFormat::itHex, 2, "10"},
        {-1, TInFormat::itHex, 2, "FFFFFFFF"},
        {4294967296.0 + 5, TInFormat::itHex, 2, "5"},
        {8, TInFormat::itOct, 2, "10"},
        {5, TInFormat::itBin, 2, "101"},
        {1234.5678, TInFormat::itExp, 2, "1.234568E+03"},
        {0, TInFormat::itExp, 2, "0.000000E+00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numInputText(c.value, c.format, c.places), QString::fromLatin1(c.text));
    }
    EXPECT_EQ(numInputText(1234.5678, TInFormat::itExp, 2).size(), 12);
}

TEST(NumIO2Value, IntegerBufferRules)
{
    EXPECT_EQ(numIO2IntValue(u""), 0);
    EXPECT_EQ(numIO2IntValue(u"0007"), 7);
    EXPECT_EQ(numIO2IntValue(u"-12"), -12);
    EXPECT_EQ(numIO2IntValue(u"2147483647"), 2147483647);
    EXPECT_EQ(numIO2IntValue(u"2147483648"), 2147483647);
    EXPECT_EQ(numIO2IntValue(u"99999999999999999999999"), 2147483647);
    EXPECT_EQ(numIO2IntValue(u"XXXX"), 0);
    EXPECT_EQ(numIO2IntValue(u"1.5"), 0);
}

// --- the widgets ------------------------------------------------------------------------------

class NumIOWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        io.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&io));
        io.setFocus();
    }
    void type(const char* keys) { QTest::keyClicks(&io, QString::fromLatin1(keys)); }

    TNumIO io;
};

TEST_F(NumIOWidget, RejectedKeystrokePutsBackTheLastTextWithTheCaretBefore)
{
    io.setInputFormat(TInFormat::itInt);
    io.setRange(1, 3600);
    io.setText("360");
    io.setCursorPosition(3);
    type("1");
    EXPECT_EQ(io.text(), "360");
    EXPECT_EQ(io.cursorPosition(), 3);
    type("0"); // 3600 is still in range
    EXPECT_EQ(io.text(), "3600");
    io.setCursorPosition(1);
    type("9"); // 39600
    EXPECT_EQ(io.text(), "3600");
    EXPECT_EQ(io.cursorPosition(), 1);
    EXPECT_EQ(io.GetValue(), 3600);
}

TEST_F(NumIOWidget, CalibrationFactorTypedDigitByDigit)
{
    io.setInputFormat(TInFormat::itFloat);
    io.setRange(0.0001, 9999.9999);
    io.setDecPlaceSep(TDecPSep::dsDot);
    io.setText("1");
    io.selectAll();
    type("1.25");
    EXPECT_EQ(io.text(), "1.25");
    io.selectAll();
    type("0.00001");
    EXPECT_EQ(io.text(), "0.0000");
    io.selectAll();
    type("1,5");
    EXPECT_EQ(io.text(), "15");
}

TEST_F(NumIOWidget, BackspaceToEmptyIsRejected)
{
    io.setInputFormat(TInFormat::itInt);
    io.setRange(1, 24);
    io.setText("5");
    io.setCursorPosition(1);
    QTest::keyClick(&io, Qt::Key_Backspace);
    EXPECT_EQ(io.text(), "5");
}

TEST_F(NumIOWidget, TextsSetByTheProgramAreTakenUncheckedAndBecomeTheFallback)
{
    io.setInputFormat(TInFormat::itInt);
    io.setRange(1, 3600);
    io.setText("5000");
    EXPECT_EQ(io.text(), "5000");
    io.setCursorPosition(4);
    type("1");
    EXPECT_EQ(io.text(), "5000");
    io.setCursorPosition(0);
    QTest::keyClick(&io, Qt::Key_Delete); // "000" is exactly zero
    EXPECT_EQ(io.text(), "000");
}

TEST_F(NumIOWidget, FixPointTypingCutsSurplusDecimals)
{
    io.setInputFormat(TInFormat::itFixPoint);
    io.setFixPointDecPlaces(2);
    io.setText("1.00");
    io.setCursorPosition(4);
    type("7");
    EXPECT_EQ(io.text(), "1.00");
    io.setCursorPosition(2);
    type("5");
    EXPECT_EQ(io.text(), "1.50");
}

TEST_F(NumIOWidget, SetValueWritesTheOffsetCommandText)
{
    io.setInputFormat(TInFormat::itFloat);
    io.setDecPlaceSep(TDecPSep::dsDot);
    io.SetValue(0.5);
    EXPECT_EQ(io.text(), "0.50000000");
    EXPECT_EQ(io.GetValue(), 0.5);
    io.setInputFormat(TInFormat::itHex);
    io.setRange(0, 255);
    io.setText("FF");
    EXPECT_EQ(io.GetValue(), 255);
}

class NumIO2Widget : public ::testing::Test {
protected:
    void SetUp() override
    {
        field.setRange(1, 9999);
        field.SetText("2");
        field.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&field));
        field.setFocus();
    }
    TNumIO2 field;
};

TEST_F(NumIO2Widget, SetTextTakesValidOrEmptyTextsAndResetsTheCaret)
{
    QTest::keyClick(&field, Qt::Key_End);
    EXPECT_EQ(field.cursorPosition(), 1);
    field.SetText("0007");
    EXPECT_EQ(field.text(), "0007");
    EXPECT_EQ(field.cursorPosition(), 0);
    EXPECT_EQ(field.selectionLength(), 0);
    EXPECT_EQ(field.GetValue(), 7);
    field.SetText("XXXX");
    EXPECT_EQ(field.text(), "0007");
    field.SetText("");
    EXPECT_EQ(field.text(), "");
    EXPECT_EQ(field.GetValue(), 0);
}

TEST_F(NumIO2Widget, TypingFollowsTheRangeAndAnEmptyBufferIsAllowed)
{
    QTest::keyClick(&field, Qt::Key_End);
    QTest::keyClicks(&field, "345");
    EXPECT_EQ(field.text(), "2345");
    QTest::keyClicks(&field, "6");
    EXPECT_EQ(field.text(), "2345");
    EXPECT_EQ(field.cursorPosition(), 4);
    QTest::keyClicks(&field, "x");
    EXPECT_EQ(field.text(), "2345");
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.text(), "");
    QTest::keyClicks(&field, "12");
    EXPECT_EQ(field.text(), "12");
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&field, "9");
    EXPECT_EQ(field.text(), "9");
}

TEST_F(NumIO2Widget, DisabledFieldIgnoresInput)
{
    field.setEnabled(false);
    QTest::keyClicks(&field, "5");
    EXPECT_EQ(field.text(), "2");
    field.setEnabled(true);
    field.setFocus();
    QTest::keyClick(&field, Qt::Key_End);
    QTest::keyClicks(&field, "5");
    EXPECT_EQ(field.text(), "25");
}

TEST_F(NumIO2Widget, SameLeftTextDoesNotRepaint)
{
    field.SetLeftText("64 58 2 ");
    test::PaintCounter counter(&field);
    EXPECT_EQ(counter.paintsDuring([&] { field.SetLeftText("64 58 2 "); }), 0);
    EXPECT_EQ(counter.paintsDuring([&] { field.SetLeftText("64 58 3 "); }), 1);
}

} // namespace
} // namespace kv58
