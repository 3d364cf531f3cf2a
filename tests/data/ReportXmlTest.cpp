// XML table files: round trip, the line search for the table, element reading, content decoding and
// files that are damaged or not table files at all.
#include "data/RLData.h"
#include "data/RLXml.h"
#include "data/RLXmlText.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace kv58;

namespace {

class ReportXml : public ::testing::Test {
protected:
    QString write(const std::string& bytes, const QString& name = QStringLiteral("table.xml"))
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// Everything the file carries, as one comparable text.
std::string describe(const TRLData& s)
{
    std::string out = "cols=" + std::to_string(s.NrOfColumns()) + " rows=" + std::to_string(s.NrOfRows()) +
                      " id=" + s.DataID().toStdString() + " comment=" + s.Comment().toStdString() +
                      " header=" + s.CommonHeader().toStdString() + "\n";
    for (int c = 1; c <= s.NrOfColumns(); ++c)
        out += "name" + std::to_string(c) + "=" + s.GetColName(c).toStdString() +
               " format=" + s.ColumnFormat(c).toStdString() + (s.ColumnIsCheckBox(c) ? " checkbox" : "") +
               "\n";
    for (int r = 1; r <= s.NrOfRows(); ++r)
        for (int c = 0; c <= s.NrOfColumns(); ++c)
            if (!s.ElemBytes(c, r).empty() || s.ElemChecked(c, r))
                out += "cell" + std::to_string(c) + "," + std::to_string(r) + "=" +
                       std::string(s.ElemBytes(c, r)) + (s.ElemChecked(c, r) ? " checked" : "") + "\n";
    return out;
}

// The file head up to and including the "replist" line.
std::string head(const std::string& id = "KV58")
{
    return "<?xml version=\"1.0\"?>\r\n\r\n<!-- TRLData / Report Table -->\r\n"
           "<replist sig=\"RLTable\" vers=\"1070\" id=\"" +
           id + "\">\r\n";
}

// A small table written by hand, every kind of element once.
const std::string kSmall =
    head() + "<comment>c</comment>\r\n<numcols>2</numcols>\r\n<numrows>2</numrows>\r\n"
             "<commonheader>IRRADIATION</commonheader>\r\n<colname ix=\"1\">Date</colname>\r\n"
             "<colname ix=\"2\">UVA[W/m&#178;]</colname>\r\n<cell ix=\"1\" iy=\"1\">2026.12.10</cell>\r\n"
             "<cell ix=\"2\" iy=\"2\">012,346</cell>\r\n</replist>\r\n";

} // namespace

TEST_F(ReportXml, WhatIsWrittenReadsBackUnchanged)
{
    TRLData out;
    out.SetNrOfColumns(4);
    out.SetNrOfRows(3);
    out.SetDataID(u"KV58");
    out.SetComment(u"comment with <markup> & \"quotes\"");
    out.SetCommonHeader(u"IRRADIATION \u00C4\u00F6\u00DF");
    out.SetColName(1, u"Date");
    out.SetColName(3, u"UVA[W/m\u00B2]");
    out.SetColName(4, u"&lt; is not <");
    out.SetColumnFormat(2, u"hh:nn:ss");
    out.SetColumnCheckBox(4, true);
    out.SetElem(1, 1, u"2026.12.10");
    out.SetElem(0, 2, u"hidden column");
    out.SetElem(2, 2, u"line\r\nbreak\ttab");
    out.SetElem(3, 3, QString(255, QChar(0x20AC)));
    out.SetElem(4, 3, u"&amp; &#65; &nbsp;");
    out.SetElemChecked(4, 1, true);
    ASSERT_TRUE(out.SaveToXMLFile(path("t.xml")));

    TRLData in;
    ASSERT_TRUE(in.LoadFromXMLFile(path("t.xml"), "KV58"));
    EXPECT_EQ(describe(in), describe(out));

    // An empty table too: no rows, one column.
    TRLData empty;
    ASSERT_TRUE(empty.SaveToXMLFile(path("e.xml")));
    TRLData back;
    back.SetNrOfColumns(3);
    back.SetNrOfRows(2);
    ASSERT_TRUE(back.LoadFromXMLFile(path("e.xml"), ""));
    EXPECT_EQ(describe(back), describe(empty));
}

TEST_F(ReportXml, IdentifiersAndLongTextsReadBackUnchanged)
{
    const QString ids[] = {u"KV58"_qs, u"K;</colname><cell"_qs, u"a>b"_qs, u"with blank"_qs};
    for (const QString& id : ids) {
        TRLData out;
        out.SetDataID(id);
        out.SetComment(QString(70000, QChar(0xE9)));
        out.SetCommonHeader(QString(70000, QLatin1Char('<')));
        out.SetElem(0, 0, u"not stored");
        ASSERT_TRUE(out.SaveToXMLFile(path("id.xml")));
        TRLData in;
        ASSERT_TRUE(in.LoadFromXMLFile(path("id.xml"), id)) << id.toStdString();
        EXPECT_EQ(in.DataID(), id);
        EXPECT_EQ(in.Comment().size(), TRLData::kMaxTextLength);
        EXPECT_EQ(describe(in), describe(out)) << id.toStdString();
    }
}

TEST_F(ReportXml, WriterLaysOutOneElementPerLine)
{
    TRLData store;
    store.SetNrOfColumns(2);
    store.SetNrOfRows(2);
    store.SetDataID(u"KV58");
    store.SetCommonHeader(u"IRRADIATION");
    store.SetColName(1, u"Date");
    store.SetColName(2, u"UVA[W/m\u00B2]");
    store.SetElem(2, 2, u"a<b>&c");
    store.SetElem(0, 1, u"z");
    EXPECT_EQ(rlXmlText(store),
              head() + "<comment></comment>\r\n<numcols>2</numcols>\r\n<numrows>2</numrows>\r\n"
                       "<commonheader>IRRADIATION</commonheader>\r\n"
                       "<colname ix=\"1\">Date</colname>\r\n<colname ix=\"2\">UVA[W/m&#178;]</colname>\r\n"
                       "<cell ix=\"0\" iy=\"1\">z</cell>\r\n"
                       "<cell ix=\"2\" iy=\"2\">a&lt;b&gt;&amp;c</cell>\r\n</replist>\r\n");
}

TEST_F(ReportXml, TheTableLineIsFoundByIdWithoutRegardToCase)
{
    struct Case {
        std::string replist;
        QString dataId;
        bool found;
    };
    const Case cases[] = {
        {"<replist sig=\"RLTable\" vers=\"1070\" id=\"KV58\">", "KV58", true},
        {"<REPLIST SIG=\"rltable\" ID=\"kv58\">", "KV58", true},
        {"<replist sig=\"RLTable\" id=\"  Kv58 \">", "kv58", true},
        {"<replist sig=\"RLTable\" id=\"KV57\">", "KV58", false},
        {"<replist sig=\"RLTable\" id=\"KV58x\">", "KV58", false},
        {"<replist sig=\"RLTable\">", "KV58", false},
        {"<replist sig=\"RLTable\">", "", true},
        {"<replist sig=\"Other\" id=\"KV58\">", "KV58", false},
        {"<table sig=\"RLTable\" id=\"KV58\">", "KV58", false},
        {"<replist sig=\"RLTable\" id=\"KV58", "KV58", true},
    };
    for (const Case& c : cases) {
        TRLData store;
        const bool read =
            store.LoadFromXMLFile(write(c.replist + "\n<numcols>3</numcols>\n</replist>\n"), c.dataId);
        EXPECT_EQ(read, c.found) << c.replist;
        EXPECT_EQ(store.NrOfColumns(), c.found ? 3 : 1) << c.replist;
    }
}

TEST_F(ReportXml, AnotherIdentifierLeavesTheTableUnchanged)
{
    TRLData store;
    store.SetNrOfColumns(2);
    store.SetNrOfRows(1);
    store.SetElem(1, 1, u"kept");
    store.SetColName(2, u"Time");
    const std::string before = describe(store);
    EXPECT_FALSE(
        store.LoadFromXMLFile(write(head("KV99") + "<numcols>5</numcols>\r\n</replist>\r\n"), "KV58"));
    EXPECT_EQ(describe(store), before);
}

TEST_F(ReportXml, ReadingStartsByEmptyingCellsButKeepsSizesAndNames)
{
    TRLData store;
    store.SetNrOfColumns(3);
    store.SetNrOfRows(2);
    store.SetElem(3, 2, u"old");
    store.SetColName(3, u"Old name");
    store.SetColumnCheckBox(2, true);
    ASSERT_TRUE(store.LoadFromXMLFile(write(head() + "<cell ix=\"1\" iy=\"1\">new</cell>\r\n</replist>\r\n"),
                                      "KV58"));
    EXPECT_EQ(store.NrOfColumns(), 3);
    EXPECT_EQ(store.NrOfRows(), 2);
    EXPECT_EQ(store.GetElem(3, 2), "");
    EXPECT_EQ(store.GetElem(1, 1), "new");
    EXPECT_EQ(store.GetColName(3), "Old name");
    EXPECT_FALSE(store.ColumnIsCheckBox(2));
    EXPECT_EQ(store.DataID(), "KV58");
}

TEST_F(ReportXml, WithoutTheEndTheElementsReadSoFarStay)
{
    TRLData store;
    EXPECT_FALSE(store.LoadFromXMLFile(
        write(head() +
              "<numcols>2</numcols>\r\n<numrows>1</numrows>\r\n<cell ix=\"2\" iy=\"1\">x</cell>\r\n"),
        "KV58"));
    EXPECT_EQ(store.NrOfColumns(), 2);
    EXPECT_EQ(store.NrOfRows(), 1);
    EXPECT_EQ(store.GetElem(2, 1), "x");
}

TEST_F(ReportXml, AnUnknownElementEndsTheReadingWithFalse)
{
    TRLData store;
    EXPECT_FALSE(store.LoadFromXMLFile(
        write(head() + "<numcols>2</numcols>\r\n<row>1</row>\r\n<numrows>4</numrows>\r\n</replist>\r\n"),
        "KV58"));
    EXPECT_EQ(store.NrOfColumns(), 2);
    EXPECT_EQ(store.NrOfRows(), 0);
}

TEST_F(ReportXml, ElementsAreReadInAnyOrderOnceTheSizesAreKnown)
{
    const std::string text = head() +
                             "<NumRows>2</NUMROWS>\n<cell iy=\"2\" ix=\"1\">before numcols</cell>\n"
                             "<numcols>2</numcols>\n<!-- a > b -->\n<colname ix=\"2\">Time</colname>\n"
                             "<cell iy=\"2\" ix=\"2\">10:15:30</cell><commonheader>RELATION</commonheader>\n"
                             "text between elements\n<cell ix=\"1\" iy=\"1\"\n checked=\"\">ok</cell>\n"
                             "<checkedcolumn ix=\"1\" />\n<comment>last</comment>\n</RepList>\n";
    TRLData store;
    ASSERT_TRUE(store.LoadFromXMLFile(write(text), "KV58"));
    EXPECT_EQ(store.NrOfRows(), 2);
    EXPECT_EQ(store.NrOfColumns(), 2);
    // Rows existed and column 1 always does, so the cell before "numcols" is kept.
    EXPECT_EQ(store.GetElem(1, 2), "before numcols");
    EXPECT_EQ(store.GetElem(2, 2), "10:15:30");
    EXPECT_EQ(store.GetColName(2), "Time");
    EXPECT_EQ(store.CommonHeader(), "RELATION");
    EXPECT_EQ(store.GetElem(1, 1), "ok");
    EXPECT_TRUE(store.ElemChecked(1, 1));
    EXPECT_TRUE(store.ColumnIsCheckBox(1));
    EXPECT_EQ(store.Comment(), "last");
}

TEST_F(ReportXml, ACellBeforeNumcolsIsIgnored)
{
    TRLData store;
    ASSERT_TRUE(store.LoadFromXMLFile(
        write(head() +
              "<numrows>1</numrows>\n<cell ix=\"3\" iy=\"1\">lost</cell>\n<numcols>3</numcols>\n</replist>"),
        "KV58"));
    EXPECT_EQ(store.NrOfColumns(), 3);
    EXPECT_EQ(store.GetElem(3, 1), "");
}

TEST_F(ReportXml, ElementsMayShareTheLineOfTheTableStart)
{
    TRLData store;
    ASSERT_TRUE(
        store.LoadFromXMLFile(write("<replist sig=\"RLTable\" id=\"KV58\"><numcols>4</numcols><colname "
                                    "ix=\"4\">D</colname></replist>"),
                              "KV58"));
    EXPECT_EQ(store.NrOfColumns(), 4);
    EXPECT_EQ(store.GetColName(4), "D");
}

TEST_F(ReportXml, DoubtfulNumbersAndIndicesAreLeftOut)
{
    const std::string text =
        head() +
        "<numcols>abc</numcols>\n<numcols>0</numcols>\n<numcols>-2</numcols>\n"
        "<numrows>-1</numrows>\n<numrows>99999999999</numrows>\n<numcols> 3 </numcols>\n"
        "<numrows>\n2\n</numrows>\n<cell ix=\"1\">no row</cell>\n<cell iy=\"1\">no column</cell>\n"
        "<cell six=\"1\" iy=\"1\">wrong name</cell>\n<cell ix=\" +2\" iy=\"1\">blank and sign</cell>\n"
        "<colname>no index</colname>\n<colname ix=\"x\">bad index</colname>\n</replist>\n";
    TRLData store;
    ASSERT_TRUE(store.LoadFromXMLFile(write(text), "KV58"));
    EXPECT_EQ(store.NrOfColumns(), 3);
    EXPECT_EQ(store.NrOfRows(), 2);
    EXPECT_EQ(store.GetElem(1, 1), "");
    EXPECT_EQ(store.GetElem(2, 1), "blank and sign");
    EXPECT_EQ(store.GetColName(1), "C-1");
}

TEST_F(ReportXml, SizesNoStoreCanHoldEndTheReadingWithFalse)
{
    TRLData store;
    EXPECT_FALSE(store.LoadFromXMLFile(
        write(head() + "<numcols>2</numcols>\n<numrows>2000000000</numrows>\n</replist>"), "KV58"));
    EXPECT_EQ(store.NrOfColumns(), 2);
    EXPECT_EQ(store.NrOfRows(), 0);
    EXPECT_FALSE(store.LoadFromXMLFile(write(head() + "<numcols>2000000000</numcols>\n</replist>"), "KV58"));
    EXPECT_EQ(store.NrOfColumns(), 2);
}

TEST(ReportXmlText, ContentEntitiesDecodeToBytes)
{
    struct Case {
        std::string raw, decoded;
    };
    const Case cases[] = {
        {"&lt;&gt;&amp;&quot;", "<>&\""},
        {"a&nbsp;b", "a b"},
        {"&#65;&#x41;&#X42;&#048;", "AAB0"},
        {"&#178;&#xB0;&#128;", "\xB2\xB0\x80"},
        {"&iexcl;&Agrave;&eacute;&szlig;&yuml;&times;&divide;", "\xA1\xC0\xE9\xDF\xFF\xD7\xF7"},
        {"&#8364;&#x2014;&#x4E2D;&#x1F600;", "\x80\x97??"},
        {"&foo; &EACUTE; &apos;", "&foo; &EACUTE; &apos;"},
        {"&#; &#x; &#12 &#1a; &#1114112; & ;", "&#; &#x; &#12 &#1a; &#1114112; & ;"},
        {"&&lt;;", "&<;"},
        {"ends with &", "ends with &"},
        {"&amp;lt;", "&lt;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rlXmlDecode(c.raw), c.decoded) << c.raw;
}

TEST(ReportXmlText, EncodingDecodesBackToEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string encoded = rlXmlEncode(all);
    EXPECT_EQ(rlXmlDecode(encoded), all);
    for (const char c : encoded)
        EXPECT_TRUE(c >= 32 && c < 127 && c != '<' && c != '>') << int(c);
}

TEST_F(ReportXml, EveryTruncationOfAFileGivesFalseAndNoMore)
{
    for (std::size_t n = 0; n < kSmall.size(); ++n) {
        TRLData store;
        const bool complete = rlLoadXmlBytes(store, std::string_view(kSmall).substr(0, n), "KV58");
        // Only the last line end may go.
        EXPECT_EQ(complete, n >= kSmall.size() - 2) << n;
        EXPECT_LE(store.NrOfColumns(), 2);
        EXPECT_LE(store.NrOfRows(), 2);
    }
    TRLData store;
    ASSERT_TRUE(store.LoadFromXMLFile(write(kSmall), "KV58"));
    EXPECT_EQ(store.GetColName(2), u"UVA[W/m\u00B2]");
    EXPECT_EQ(store.GetElem(2, 2), "012,346");
}

TEST_F(ReportXml, BinaryAndForeignFilesAreRefusedSilently)
{
    std::mt19937 random(58);
    std::string noise(200000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    const std::string cases[] = {
        noise,
        head() + noise,
        head() + "<cell ix=\"1\" iy=\"1\">" + noise,
        head() + "<!-- " + noise,
        head() + "<numcols" + std::string(100000, ' '),
        std::string(3000000, 'x') + "\n" + head() + "</replist>",
        "",
    };
    for (const std::string& bytes : cases) {
        TRLData store;
        store.SetNrOfRows(1);
        store.SetElem(1, 1, u"kept");
        const bool complete = store.LoadFromXMLFile(write(bytes), "KV58");
        // A very long line before the table start does not hide it.
        EXPECT_EQ(complete, bytes.size() > 3000000);
        EXPECT_LE(store.NrOfColumns(), 1);
    }
}

TEST_F(ReportXml, MissingFilesAndFoldersGiveFalse)
{
    TRLData store;
    EXPECT_FALSE(store.LoadFromXMLFile(path("missing.xml"), "KV58"));
    EXPECT_FALSE(store.LoadFromXMLFile(path(""), "KV58"));
    EXPECT_FALSE(store.SaveToXMLFile(path("no/such/folder/t.xml")));
}
