// Drawing a loaded table again: which columns become curves per run kind, the times of the rows,
// the ranges afterwards, tables that stop at a cell that does not convert, and cell texts in other
// forms than the live table writes.
#include "live/ShowFile.h"

#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/Formats.h"
#include "core/MeasureMode.h"
#include "data/Measurement.h"
#include "live/LiveRun.h"

#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace kv58 {
namespace {

constexpr double kDay = 86400.0;
constexpr double kTolerance = 1e-6 / kDay;
constexpr ChartColor kBlue = 0x0000FF;
constexpr ChartColor kRed = 0xFF0000;

class FixedClock final : public Clock {
public:
    TDateTime now() const override { return 0; }
    std::int64_t monotonicMs() const override { return 0; }
};

TDateTime at(int year, int month, int day, int hour, int minute, int second)
{
    return *encodeDate(year, month, day) + *encodeTime(hour, minute, second);
}

// One drawn sample: its time and the value of each curve (channel 2 only for two curves).
struct Sample {
    TDateTime time;
    double value1;
    std::optional<double> value2;
};

class ShowFileTest : public ::testing::Test {
protected:
    ShowFileTest()
    {
        chart().setRepaintHandler([this] { ++repaints; });
    }

    void load(int kind, const std::vector<QStringList>& rows, int columns)
    {
        TRLData& t = measurement.table();
        t.SetNrOfColumns(columns);
        t.SetNrOfRows(static_cast<int>(rows.size()));
        for (int r = 1; r <= t.NrOfRows(); ++r) {
            const QStringList& cells = rows[static_cast<std::size_t>(r - 1)];
            for (int c = 1; c <= cells.size(); ++c)
                t.SetElem(c, r, cells[c - 1]);
        }
        measurement.setRunKind(kind);
    }

    ChartModel& chart() { return measurement.chart(); }

    // The samples the chart holds, read back from its move-to/line-to pairs.
    std::vector<Sample> samples()
    {
        std::vector<Sample> out;
        const ChartItemList& items = chart().items();
        for (int i = 0; i + 1 < items.count(); i += 2) {
            const TrcChartItem& line = items.at(i + 1);
            EXPECT_EQ(items.at(i).ItemKind, TrcItem::tkMoveTo);
            EXPECT_EQ(line.ItemKind, TrcItem::tkLineto);
            if (line.Color == kBlue) {
                out.push_back({line.x, line.y, std::nullopt});
                continue;
            }
            EXPECT_EQ(line.Color, kRed);
            if (!out.empty())
                out.back().value2 = line.y;
        }
        return out;
    }

    void expectSamples(const std::vector<Sample>& expected)
    {
        const std::vector<Sample> drawn = samples();
        ASSERT_EQ(drawn.size(), expected.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_NEAR(drawn[i].time, expected[i].time, kTolerance);
            EXPECT_EQ(drawn[i].value1, expected[i].value1);
            EXPECT_EQ(drawn[i].value2, expected[i].value2);
        }
    }

    void expectRanges(double loX, double hiX, double loY, double hiY)
    {
        EXPECT_NEAR(chart().Scale1X().RangeLow(), loX, kTolerance);
        EXPECT_NEAR(chart().Scale1X().RangeHigh(), hiX, kTolerance);
        EXPECT_EQ(chart().Scale1Y().RangeLow(), loY);
        EXPECT_EQ(chart().Scale1Y().RangeHigh(), hiY);
    }

    Measurement measurement;
    FixedClock clock;
    LiveRun run{measurement, clock, {}};
    int repaints = 0;
};

const TDateTime kT1 = at(2024, 3, 15, 10, 0, 0);
const TDateTime kT2 = at(2024, 3, 15, 10, 0, 20);
const TDateTime kT3 = at(2024, 3, 16, 0, 0, 3);

TEST_F(ShowFileTest, EachRunKindDrawsItsValueColumns)
{
    struct Case {
        const char* name;
        int kind;
        int columns;
        std::vector<QStringList> rows;
        std::vector<Sample> expected;
    };
    const std::vector<Case> cases = {
        {"irradiation, two sensors: columns 3 and 5",
         Irradiation,
         6,
         {{"2024.03.15", "10:00:00", "0,050000", "000,000", "150,000", "000,000"},
          {"2024.03.15", "10:00:20", "12,5000", "000,250", "-0,010000", "003,000"},
          {"2024.03.16", "00:00:03", "1,000000", "000,500", "100,0000", "005,000"}},
         {{kT1, 0.05, 150}, {kT2, 12.5, -0.01}, {kT3, 1, 100}}},
        {"irradiation, one sensor: column 3",
         Irradiation,
         4,
         {{"2024.03.15", "10:00:00", "0,050000", "000,000"},
          {"2024.03.15", "10:00:20", "7,50000", "000,150"}},
         {{kT1, 0.05, std::nullopt}, {kT2, 7.5, std::nullopt}}},
        {"one-channel irradiation read back with 6 columns: a second curve along 0",
         Irradiation,
         6,
         {{"2024.03.15", "10:00:00", "0,050000", "000,000", "0", "0"},
          {"2024.03.15", "10:00:20", "7,50000", "000,150", "0", "0"}},
         {{kT1, 0.05, 0}, {kT2, 7.5, 0}}},
        {"transmission, two channels: columns 3 and 4 without their % signs",
         Transmission,
         4,
         {{"2024.03.15", "10:00:00", "045,500%", "%012,000"}, {"2024.03.15", "10:00:20", "100,000", "0%%"}},
         {{kT1, 45.5, 12}, {kT2, 100, 0}}},
        {"transmission, one channel: column 3",
         Transmission,
         3,
         {{"2024.03.15", "10:00:00", "045,500%"}, {"2024.03.15", "10:00:20", "046,000"}},
         {{kT1, 45.5, std::nullopt}, {kT2, 46, std::nullopt}}},
        {"relation: column 4 only",
         Relation,
         4,
         {{"2024.03.15", "10:00:00", "UVA/VISL ", "098,700%"},
          {"2024.03.15", "10:00:20", "12345", "101,200"}},
         {{kT1, 98.7, std::nullopt}, {kT2, 101.2, std::nullopt}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run.chart().reset(200, 0, 120); // the feed's previous values back to 0
        run.setZeit(0);
        repaints = 0;
        chart().MoveTo(1, 1); // something drawn before: it goes
        chart().DrawTo(2, 2);
        load(c.kind, c.rows, c.columns);

        EXPECT_EQ(ShowFile(run, measurement, 250, -5), std::nullopt);

        expectSamples(c.expected);
        const TDateTime first = c.expected.front().time;
        const TDateTime last = c.expected.back().time;
        EXPECT_EQ(run.startTime(), first);
        EXPECT_EQ(run.zeit(), last);
        EXPECT_EQ(run.chart().oldDateTime(), last);
        expectRanges(first, last, -5, 250);
        // The first sample's lines start at its own time, from the values the feed drew last (0).
        EXPECT_EQ(chart().items().at(0).x, first);
        EXPECT_EQ(chart().items().at(0).y, 0);
        EXPECT_EQ(chart().LastElemOnShow(), chart().NumChartItems() - 1);
        EXPECT_EQ(repaints, 1); // the view is told once, not per row
    }
}

TEST_F(ShowFileTest, WithoutRunKindTheChartStaysAsItWas)
{
    for (const int kind : {0, 4, -1}) {
        SCOPED_TRACE(kind);
        chart().ClearGraf();
        chart().MoveTo(1, 1);
        chart().DrawTo(2, 2);
        chart().SetRange(1, 3, 4, 5, 6);
        run.setStartTime(7);
        run.setZeit(8);
        load(kind, {{"2024.03.15", "10:00:00", "0,050000", "000,000"}}, 4);
        repaints = 0;

        EXPECT_EQ(ShowFile(run, measurement, 250, -5), std::nullopt);

        EXPECT_EQ(chart().NumChartItems(), 2);
        expectRanges(3, 5, 4, 6);
        EXPECT_EQ(run.startTime(), 7);
        EXPECT_EQ(run.zeit(), 8);
        EXPECT_EQ(repaints, 0);
    }
}

TEST_F(ShowFileTest, EmptyTableClearsTheChartAndSpansXFromZeroToTheUnchangedTime)
{
    chart().MoveTo(1, 1);
    chart().DrawTo(2, 2);
    run.setStartTime(kT1);
    run.setZeit(kT2);
    load(Irradiation, {}, 6);

    EXPECT_EQ(ShowFile(run, measurement, 200, 0), std::nullopt);

    EXPECT_EQ(chart().NumChartItems(), 0);
    EXPECT_EQ(run.startTime(), 0);
    EXPECT_EQ(run.zeit(), kT2);
    expectRanges(0, kT2, 0, 200);
}

TEST_F(ShowFileTest, RowWithoutDateIsDrawnAtThePreviousRowsTime)
{
    const TDateTime before = at(2024, 3, 14, 8, 0, 0);
    run.setZeit(before);
    load(Irradiation,
         {{"", "", "1,000000", ""}, // the first row: the time held before
          {"2024.03.15", "10:00:00", "2,00000", ""},
          {"Total", "garbage", "3,00000", ""}, // not a date: its time cell is not read
          {"2024.03.15", "10:00:20", "4,00000", ""}},
         4);

    EXPECT_EQ(ShowFile(run, measurement, 200, 0), std::nullopt);

    expectSamples(
        {{before, 1, std::nullopt}, {kT1, 2, std::nullopt}, {kT1, 3, std::nullopt}, {kT2, 4, std::nullopt}});
    EXPECT_EQ(run.startTime(), before);
    expectRanges(before, kT2, 0, 200);
}

TEST_F(ShowFileTest, CellThatDoesNotConvertStopsAtItsRowWithoutRanges)
{
    struct Case {
        const char* name;
        int kind;
        QStringList badRow;
        QString message;
    };
    const Case cases[] = {
        {"value",
         Irradiation,
         {"2024.03.15", "10:00:20", "abc", "0", "1,0", "0"},
         QStringLiteral("'abc' is not a valid floating point value")},
        {"second value",
         Irradiation,
         {"2024.03.15", "10:00:20", "1,0", "0", "", "0"},
         QStringLiteral("'' is not a valid floating point value")},
        {"% in an irradiation cell",
         Irradiation,
         {"2024.03.15", "10:00:20", "5%", "0", "1,0", "0"},
         QStringLiteral("'5%' is not a valid floating point value")},
        {"value with a decimal point",
         Transmission,
         {"2024.03.15", "10:00:20", "045.500%", "1,0"},
         QStringLiteral("'045.500' is not a valid floating point value")},
        {"time beside a date",
         Irradiation,
         {"2024.03.15", "25:00:00", "1,0", "0", "1,0", "0"},
         QStringLiteral("'25:00:00' is not a valid time")},
        {"missing time beside a date",
         Relation,
         {"2024.03.15", "", "REL", "1,0"},
         QStringLiteral("'' is not a valid time")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chart().SetRange(1, 3, 4, 5, 6);
        run.setStartTime(0);
        load(c.kind,
             {{"2024.03.15", "10:00:00", "1,0", "0", "2,0", "0"},
              c.badRow,
              {"2024.03.15", "10:00:40", "1", "0", "1", "0"}},
             6);
        repaints = 0;

        const std::optional<ShowFileError> error = ShowFile(run, measurement, 250, -5);

        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->row, 2);
        EXPECT_EQ(error->message, c.message);
        EXPECT_EQ(samples().size(), 1U); // the rows before stay drawn
        EXPECT_EQ(run.startTime(), kT1);
        expectRanges(3, 5, 4, 6);
        EXPECT_EQ(repaints, 1); // and are shown
    }
}

TEST_F(ShowFileTest, CellsInOtherFormsReadLikeTheGeneralReaders)
{
    // Texts beside the table's own forms, each drawn as the general date, time and number readers
    // read them.
    struct Case {
        const char* date;
        const char* time;
        const char* value;
    };
    const Case cases[] = {
        {"2024.03.15", "10:00:00", "0,1"},
        {"2024.3.5", "9:05", "-0,050000"},
        {" 2024.03.15 ", " 10:00:00.5 ", " 7,5 "},
        {"24.03.15", "23:59:59", "+7,5"},
        {"2024.03.15", "10:00:00", "123456789012345"},
        {"2024.03.15", "10:00:00", "0,123456789012345"},
        {"2024.03.15", "10:00:00", "0,1234567890123456789"},
        {"2024.03.15", "10:00:00", "1234567890123456789,5"},
        {"2024.03.15", "10:00:00", "1,5E2"},
        {"2024.03.15", "10:00:00", "-0,0"},
        {"2024.03.15", "10:00:00", "5,"},
        {"2024.03.15", "10:00:00", ",25"},
        {"2024.03.15", "10:00:00", "0000000000000000000001,5"},
        {"2024.02.29", "00:00:00", "9,999999999999999"},
    };
    std::vector<QStringList> rows;
    std::vector<Sample> expected;
    for (const Case& c : cases) {
        const QString date = QString::fromLatin1(c.date);
        const QString time = QString::fromLatin1(c.time);
        const QString value = QString::fromLatin1(c.value);
        rows.push_back({date, time, QStringLiteral("REL"), value});
        const auto d = parseDate(date, DateOrder::YearMonthDay, u'.');
        const auto t = parseTime(time, u':');
        const auto v = parseDecimal(value, u',');
        ASSERT_TRUE(d && t && v) << c.date << " " << c.time << " " << c.value;
        expected.push_back({*d + *t, *v, std::nullopt});
    }
    load(Relation, rows, 4);

    EXPECT_EQ(ShowFile(run, measurement, 200, 0), std::nullopt);

    expectSamples(expected);
    // The sign of zero survives as the general reader gives it.
    EXPECT_TRUE(std::signbit(samples()[9].value1));
}

} // namespace
} // namespace kv58
