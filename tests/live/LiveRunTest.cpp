// Live processing of runs: the table a run start leaves, the rows, doses and chart points of
// irradiation, transmission and relation lines, and lines that cannot be completed.
#include "live/LiveRun.h"

#include "core/Clock.h"
#include "core/DateTime.h"
#include "data/Measurement.h"

#include <QHash>
#include <QStringList>
#include <gtest/gtest.h>

namespace kv58 {
namespace {

constexpr double kDay = 86400.0;
constexpr double kTolerance = 1e-6 / kDay;

class FixedClock final : public Clock {
public:
    TDateTime now() const override { return value; }
    std::int64_t monotonicMs() const override { return 0; }
    TDateTime value = 0;
};

TDateTime dateOf(int year, int month, int day)
{
    return *encodeDate(year, month, day);
}

TDateTime timeOf(int hour, int minute, int second)
{
    return *encodeTime(hour, minute, second);
}

Kanal channel(const char* type, double value, const char* unit = "W/m²")
{
    return {QString::fromUtf8(type), QString::fromUtf8(unit), value, 0};
}

const Kanal kNone{};

class LiveRunTest : public ::testing::Test {
protected:
    LiveRunTest() { pcDate(2024, 3, 15); }

    void pcDate(int year, int month, int day) { clock.value = dateOf(year, month, day) + 14.0 / 24; }

    LiveDisplay irradiate(double uva, std::optional<double> visl, TDateTime timeOfDay)
    {
        return run.irradiation(channel("UVA", uva), visl ? channel("VISL", *visl) : kNone, timeOfDay,
                               settings);
    }

    TRLData& table() { return measurement.table(); }
    ChartModel& chart() { return measurement.chart(); }

    QStringList row(int r)
    {
        QStringList cells;
        for (int c = 1; c <= table().NrOfColumns(); ++c)
            cells << table().GetElem(c, r);
        return cells;
    }
    QStringList names()
    {
        QStringList n;
        for (int c = 1; c <= table().NrOfColumns(); ++c)
            n << table().GetColName(c);
        return n;
    }

    Measurement measurement;
    FixedClock clock;
    QHash<QString, QString> translations;
    LiveRun run{measurement, clock, [this](const char* english) {
                    const QString text = QString::fromUtf8(english);
                    return translations.value(text, text);
                }};
    LiveSettings settings;
};

TEST_F(LiveRunTest, RunStartEmptiesTheTableAndResetsTheChartByKind)
{
    struct Case {
        int kind;
        bool bothSensors;
        int columnsBefore;
        int columns;
        const char* header;
        bool clearsStartTime;
    };
    const Case cases[] = {
        {1, true, 3, 6, "BESTRAHLUNG", true},
        {1, false, 3, 4, "BESTRAHLUNG", true},
        {2, true, 5, 5, "TRANSMISSION", true},
        {3, true, 6, 2, "RELATION", false},
    };
    translations.insert(QStringLiteral("IRRADIATION"), QStringLiteral("BESTRAHLUNG"));
    settings.yMax = 50;
    settings.yMin = -5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        table().SetNrOfColumns(c.columnsBefore);
        table().SetColName(1, u"old");
        table().SetElem(1, table().AddRow(), u"old");
        chart().MoveTo(1, 1);
        run.setStartTime(45000);

        run.start(c.kind, c.bothSensors, settings);

        EXPECT_EQ(table().NrOfRows(), 0);
        EXPECT_EQ(table().NrOfColumns(), c.columns);
        EXPECT_EQ(table().GetColName(1), QStringLiteral("C-1"));
        EXPECT_EQ(table().CommonHeader(), QString::fromLatin1(c.header));
        EXPECT_EQ(measurement.runKind(), c.kind);
        EXPECT_EQ(run.startTime(), c.clearsStartTime ? 0 : 45000);
        EXPECT_EQ(chart().NumChartItems(), 0);
        EXPECT_EQ(run.chart().dataCount(), 0);
        EXPECT_EQ(chart().Scale1X().RangeLow(), 0);
        EXPECT_NEAR(chart().Scale1X().RangeHigh(), 120 / kDay, kTolerance);
        EXPECT_EQ(chart().Scale1Y().RangeLow(), -5);
        EXPECT_EQ(chart().Scale1Y().RangeHigh(), 50);
    }
}

TEST_F(LiveRunTest, FirstIrradiationLineAnchorsTheRunAndStartsBothDoses)
{
    run.start(1, true, settings);
    const LiveDisplay shown = irradiate(0.05, 150, timeOf(10, 15, 30));

    const TDateTime start = dateOf(2024, 3, 15) + timeOf(10, 15, 30);
    EXPECT_NEAR(run.startTime(), start, kTolerance);
    EXPECT_NEAR(run.zeit(), start, kTolerance);
    EXPECT_NEAR(chart().Scale1X().RangeLow(), start, kTolerance);
    EXPECT_NEAR(chart().Scale1X().RangeHigh(), start + 126 / kDay, kTolerance);
    EXPECT_EQ(names(), (QStringList{"Date", "Time", "UVA[W/m²]", "UVA Dose", "VISL[W/m²]", "VISL Dose"}));
    EXPECT_EQ(row(1), (QStringList{"2024.03.15", "10:15:30", "0,050000", "000,000", "150,000", "000,000"}));
    EXPECT_EQ(shown.channel1, QStringLiteral("UVA: 000,050 W/m²"));
    EXPECT_EQ(shown.channel2, QStringLiteral("VISL: 150,000 W/m²"));
    EXPECT_EQ(shown.clock, QStringLiteral("10:15:30"));
    EXPECT_EQ(shown.row, 1);
    EXPECT_TRUE(shown.scroll);
    // Both curves begin with a vertical segment at the first sample's time.
    ASSERT_EQ(chart().NumChartItems(), 4);
    EXPECT_NEAR(chart().items().at(0).x, start, kTolerance);
    EXPECT_NEAR(chart().items().at(3).x, start, kTolerance);
    EXPECT_EQ(chart().items().at(3).y, 150);
}

TEST_F(LiveRunTest, ColumnNamesAndHeaderAreTranslated)
{
    translations.insert(QStringLiteral("Date"), QStringLiteral("Datum"));
    translations.insert(QStringLiteral("Time"), QStringLiteral("Zeit"));
    translations.insert(QStringLiteral(" Dose"), QStringLiteral(" Dosis"));
    run.start(1, false, settings);
    irradiate(1, std::nullopt, timeOf(9, 0, 0));
    EXPECT_EQ(names(), (QStringList{"Datum", "Zeit", "UVA[W/m²]", "UVA Dosis"}));
}

TEST_F(LiveRunTest, DoseAddsTheRoundedValueTimesTheSecondsSinceThePreviousSample)
{
    run.start(1, true, settings);
    irradiate(10.0, 2, timeOf(10, 0, 0));
    irradiate(12.5, 4, timeOf(10, 0, 20));
    irradiate(1.234567, 0.5, timeOf(10, 0, 30)); // stored as 1,23457 and 0,500000
    EXPECT_EQ(row(2).mid(2), (QStringList{"12,5000", "250,000", "4,00000", "080,000"}));
    EXPECT_EQ(row(3).mid(2), (QStringList{"1,23457", "262,346", "0,500000", "085,000"}));
    EXPECT_NEAR(run.zeit() - run.startTime(), 30 / kDay, kTolerance);
    EXPECT_EQ(chart().NumChartItems(), 12);
}

TEST_F(LiveRunTest, OneChannelLineLeavesChannelTwoAloneAndItsDoseCarriesOver)
{
    run.start(1, true, settings);
    irradiate(2, 4, timeOf(10, 0, 0));
    const LiveDisplay oneChannel = irradiate(2, std::nullopt, timeOf(10, 0, 10));
    EXPECT_EQ(row(2), (QStringList{"2024.03.15", "10:00:10", "2,00000", "020,000", "", ""}));
    EXPECT_FALSE(oneChannel.channel2.has_value()); // the channel 2 display keeps its text
    EXPECT_TRUE(oneChannel.scroll);

    // Channel 2 comes back: its dose goes on from the last row that had it.
    const LiveDisplay twoAgain = irradiate(2, 4, timeOf(10, 0, 20));
    EXPECT_EQ(row(3).mid(2), (QStringList{"2,00000", "040,000", "4,00000", "040,000"}));
    EXPECT_TRUE(twoAgain.scroll);
    EXPECT_EQ(chart().NumChartItems(), 4 + 2 + 4);
}

TEST_F(LiveRunTest, IntervalAcrossMidnightIsTheInstrumentsTwentySeconds)
{
    struct Case {
        const char* name;
        int secondPcDay;
        TDateTime firstTime;
        TDateTime secondTime;
    };
    const Case cases[] = {
        {"instrument clock passes midnight", 15, timeOf(23, 59, 50), timeOf(0, 0, 10)},
        {"PC clock passes midnight", 16, timeOf(10, 0, 0), timeOf(10, 0, 20)},
        {"both pass midnight", 16, timeOf(23, 59, 50), timeOf(0, 0, 10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pcDate(2024, 3, 15);
        run.start(1, false, settings);
        irradiate(10, std::nullopt, c.firstTime);
        pcDate(2024, 3, c.secondPcDay);
        const LiveDisplay shown = irradiate(12.5, std::nullopt, c.secondTime);

        const TDateTime start = dateOf(2024, 3, 15) + c.firstTime;
        EXPECT_NEAR(run.startTime(), start, kTolerance);
        EXPECT_NEAR(run.zeit(), start + 20 / kDay, kTolerance);
        EXPECT_EQ(table().GetElem(1, 2), QStringLiteral("2024.03.%1").arg(c.secondPcDay));
        EXPECT_EQ(table().GetElem(4, 2), QStringLiteral("250,000"));
        EXPECT_NEAR(chart().items().last().x, start + 20 / kDay, kTolerance);
        EXPECT_NEAR(chart().Scale1X().RangeLow(), start, kTolerance); // no scrolling yet
        EXPECT_TRUE(shown.scroll);
    }
}

TEST_F(LiveRunTest, TwoChannelLineInFourColumnTableStopsAfterChannelOnesDose)
{
    run.start(1, false, settings); // the channel 2 tab was not shown
    LiveDisplay shown = irradiate(10, 4, timeOf(10, 0, 0));
    EXPECT_EQ(row(1), (QStringList{"2024.03.15", "10:00:00", "10,00000", "000,000"}));
    EXPECT_EQ(shown.channel2, QStringLiteral("VISL: 004,000 W/m²"));
    EXPECT_FALSE(shown.scroll);
    EXPECT_EQ(chart().NumChartItems(), 0);

    irradiate(12.5, 4, timeOf(10, 0, 20));
    shown = irradiate(12.5, 4, timeOf(10, 0, 40));
    // Each row adds only its own interval, although no chart point marks the previous sample.
    EXPECT_EQ(table().GetElem(4, 2), QStringLiteral("250,000"));
    EXPECT_EQ(table().GetElem(4, 3), QStringLiteral("500,000"));
    EXPECT_FALSE(shown.scroll);
    EXPECT_EQ(chart().NumChartItems(), 0);
}

TEST_F(LiveRunTest, PreviousDoseThatDoesNotConvertEndsTheLine)
{
    const char* damaged[] = {"1,2,3", ""};
    for (const char* previous : damaged) {
        SCOPED_TRACE(previous);
        run.start(1, false, settings);
        irradiate(10, std::nullopt, timeOf(10, 0, 0));
        table().SetElem(4, 1, QString::fromLatin1(previous));
        const LiveDisplay shown = irradiate(12.5, std::nullopt, timeOf(10, 0, 20));
        EXPECT_EQ(row(2), (QStringList{"2024.03.15", "10:00:20", "12,5000", ""}));
        EXPECT_TRUE(shown.channel1.has_value());
        EXPECT_FALSE(shown.scroll);
        EXPECT_EQ(chart().NumChartItems(), 2);
    }
}

TEST_F(LiveRunTest, TransmissionRowsCountSecondsAndFollowTheChannelCount)
{
    run.start(1, true, settings);
    irradiate(1, 1, timeOf(8, 0, 0)); // an earlier run anchored the chart
    run.start(2, true, settings);
    LiveDisplay shown;
    for (int r = 1; r <= 75; ++r)
        shown = run.transmission(channel("UVA", 7.5, "%"), channel("VISL", 88.25, "%"), settings);

    const TDateTime date = dateOf(2024, 3, 15);
    EXPECT_EQ(names(), (QStringList{"Date", "Number", "UVA[%]", "VISL[%]"}));
    EXPECT_EQ(row(75), (QStringList{"2024.03.15", "00:01:15", "007,500", "088,250"}));
    EXPECT_EQ(shown.row, 75);
    EXPECT_TRUE(shown.scroll);
    EXPECT_EQ(shown.channel2, QStringLiteral("VISL: 088,250 %"));
    EXPECT_FALSE(shown.clock.has_value());
    EXPECT_NEAR(run.zeit(), date + 75 / kDay, kTolerance);
    // The run's window starts at its first line and holds a sample per second of its width.
    EXPECT_NEAR(run.startTime(), date + 1 / kDay, kTolerance);
    EXPECT_NEAR(chart().Scale1X().RangeLow(), date + 1 / kDay, kTolerance);
    EXPECT_EQ(chart().NumChartItems(), 75 * 4);

    shown = run.transmission(channel("UVA", 7.5, "%"), kNone, settings);
    EXPECT_EQ(table().NrOfColumns(), 3);
    EXPECT_EQ(row(76), (QStringList{"2024.03.15", "00:01:16", "007,500"}));
    EXPECT_TRUE(shown.scroll);
}

TEST_F(LiveRunTest, TransmissionAfterRelationRunKeepsTheFirstValue)
{
    run.start(3, true, settings); // leaves 2 columns, which a transmission start keeps
    run.start(2, true, settings);
    const LiveDisplay shown = run.transmission(channel("UVA", 50, "%"), channel("VISL", 60, "%"), settings);
    EXPECT_EQ(row(1), (QStringList{"2024.03.15", "00:00:01", "050,000", "060,000"}));
    EXPECT_EQ(table().GetColName(3), QStringLiteral("UVA[%]"));
    EXPECT_TRUE(shown.scroll);
    EXPECT_EQ(chart().NumChartItems(), 4);
}

TEST_F(LiveRunTest, TransmissionTimeDoesNotJumpAtThePcsMidnight)
{
    run.start(2, true, settings);
    run.transmission(channel("UVA", 1, "%"), kNone, settings);
    pcDate(2024, 3, 16);
    run.transmission(channel("UVA", 2, "%"), kNone, settings);
    EXPECT_EQ(table().GetElem(1, 2), QStringLiteral("2024.03.16"));
    EXPECT_NEAR(run.zeit(), dateOf(2024, 3, 15) + 2 / kDay, kTolerance);
    EXPECT_NEAR(chart().items().last().x, dateOf(2024, 3, 15) + 2 / kDay, kTolerance);
}

TEST_F(LiveRunTest, RelationLinesFillFourColumnsAndPlotOneSecondApart)
{
    run.start(1, true, settings);
    irradiate(3, 3, timeOf(8, 0, 0));
    const TDateTime zeit = run.zeit();
    const TDateTime startTime = run.startTime();

    run.start(3, true, settings);
    EXPECT_EQ(names(), (QStringList{"C-1", "C-2"}));
    run.relationLineArrived();
    const LiveDisplay first = run.relation(channel("UVA/VISL ", 85.5, "%"), settings);
    run.relationLineArrived();
    run.relation(channel("UVA/VISL ", 86, "%"), settings);

    EXPECT_EQ(names(), (QStringList{"Date", "Number", "Relation", "Value [%]"}));
    EXPECT_EQ(row(1), (QStringList{"2024.03.15", "00:00:01", "UVA/VISL ", "085,500"}));
    EXPECT_EQ(row(2), (QStringList{"2024.03.15", "00:00:02", "UVA/VISL ", "086,000"}));
    EXPECT_EQ(first.channel1, QStringLiteral("UVA/VISL : 085,500 %"));
    EXPECT_TRUE(first.scroll);

    const TDateTime date = dateOf(2024, 3, 15);
    EXPECT_NEAR(chart().Scale1X().RangeLow(), date + 1 / kDay, kTolerance);
    EXPECT_NEAR(chart().Scale1X().RangeHigh(), date + 127 / kDay, kTolerance);
    ASSERT_EQ(chart().NumChartItems(), 4);
    EXPECT_NEAR(chart().items().at(1).x, date + 1 / kDay, kTolerance);
    EXPECT_NEAR(chart().items().at(3).x, date + 2 / kDay, kTolerance);
    EXPECT_EQ(chart().items().at(3).y, 86);
    // Relation lines leave the times of the measurement alone.
    EXPECT_EQ(run.zeit(), zeit);
    EXPECT_EQ(run.startTime(), startTime);
}

} // namespace
} // namespace kv58
