#include "core/Cp1252.h"

#include <gtest/gtest.h>

using namespace kv58;

TEST(Cp1252, DecodesHighBytesAndRoundTripsEveryByte)
{
    EXPECT_EQ(cp1252ToUnicode(std::string_view("\x80\xB2\xFC\x9F", 4)), QString::fromUtf8("€²üŸ"));
    EXPECT_EQ(cp1252ToUnicode(0x81), u'\x81');
    for (int b = 0; b < 256; ++b) {
        const char16_t ch = cp1252ToUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(unicodeToCp1252(ch), b) << b;
    }
}

TEST(Cp1252, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(unicodeToCp1252(QString::fromUtf8("W/m² Ω €")), std::string("W/m\xB2 ? \x80"));
}
