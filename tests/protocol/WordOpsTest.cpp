#include "protocol/WordOps.h"

#include "ProtocolTestSupport.h"

#include <gtest/gtest.h>

using namespace kv58;
using namespace kv58::test;

namespace {

TEST(WordOps, FirstWordNeedsABlankBehindIt)
{
    const struct {
        const char* text;
        const char* word;
    } cases[] = {
        {"UVA 12,5", "UVA"}, {"UVA  12,5", "UVA"}, {" UVA 12,5", ""}, {"UVA", ""}, {"", ""},
        {"a\tb c", "a\tb"},  {"x ", "x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstWord(u16(c.text)), u16(c.word)) << c.text;
}

TEST(WordOps, RemainderSkipsWordsAndBlanksAndStopsAtTheEnd)
{
    const QString line = QStringLiteral("one  two three");
    Remainder rem(line);
    rem.skipWord();
    EXPECT_EQ(rem.toString(), QStringLiteral(" two three"));
    rem.skipWord();
    EXPECT_EQ(rem.toString(), QStringLiteral("two three"));
    rem.skipWord();
    EXPECT_EQ(rem.toString(), QStringLiteral("three"));
    rem.skipWord(); // no blank left: unchanged
    EXPECT_EQ(rem.toString(), QStringLiteral("three"));

    const QString blanks = QStringLiteral("   ");
    Remainder empty(blanks);
    empty.skipBlanks();
    EXPECT_TRUE(empty.isEmpty());
    empty.skipBlanks();
    empty.skipWord();
    empty.dropFirst(5);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(WordOps, CharacterRangesCountFromOneAndClipAtTheEnd)
{
    const QString text = QStringLiteral("UNIT SET: cm");
    EXPECT_EQ(charsRange(text, 11, 12), QStringLiteral("cm"));
    EXPECT_EQ(charsRange(text, 12, 13), QStringLiteral("m"));
    EXPECT_EQ(charsRange(text, 13, 20), QString());
    EXPECT_EQ(charsRange(text, 1, 4), QStringLiteral("UNIT"));
    EXPECT_EQ(charsRange(text, 5, 4), QString());
    EXPECT_EQ(charsRange(QString(), 1, 9), QString());
}

} // namespace
