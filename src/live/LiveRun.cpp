#include "live/LiveRun.h"

#include "core/Clock.h"
#include "core/Formats.h"
#include "core/MeasureMode.h"
#include "core/Translation.h"
#include "data/Measurement.h"
#include "live/ValueText.h"

#include <cmath>

namespace kv58 {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr long long kWholeDay = 86400;
constexpr QChar kDecimalSep = u',';
constexpr QChar kTimeSep = u':';
// Numbered samples (transmission, relation) lie one second apart on the chart whatever the
// measuring interval, so their window holds one sample per second of its width. Counted by the
// interval field instead, a window of 120 s at 20 s would scroll after seven samples and keep
// the curve squeezed into its first seven seconds.
constexpr int kNumberedSpacing = 1;

QString dateText(TDateTime date)
{
    return formatDate(date, DateOrder::YearMonthDay, u'.');
}

// "hh:nn:ss" of `row` seconds after midnight: transmission and relation rows are numbered so.
QString numberText(int row)
{
    return formatTime(row / kSecondsPerDay, kTimeSep);
}

std::optional<double> cellNumber(const TRLData& table, int col, int row)
{
    return parseDecimal(table.GetElem(col, row), kDecimalSep);
}

} // namespace

LiveRun::LiveRun(Measurement& measurement, const Clock& clock, std::function<QString(const char*)> translate)
    : measurement_(measurement), clock_(clock), translate_(std::move(translate)), feed_(measurement.chart())
{
}

TRLData& LiveRun::table()
{
    return measurement_.table();
}

QString LiveRun::tr(const char* english) const
{
    return translate_ ? translate_(english) : QString::fromUtf8(english);
}

void LiveRun::nameColumn(int col, const QString& name)
{
    // Every line names its columns; only a real change reaches the header's observers.
    if (table().GetColName(col) != name)
        table().SetColName(col, name);
}

TDateTime LiveRun::today() const
{
    return std::floor(clock_.now());
}

TDateTime LiveRun::numberedTime(int row, TDateTime date)
{
    if (!numberDate_)
        numberDate_ = date;
    return *numberDate_ + row / kSecondsPerDay;
}

void LiveRun::start(int kind, bool bothSensors, const LiveSettings& settings)
{
    const char* header = nullptr;
    switch (kind) {
    case Irradiation:
        header = N_("IRRADIATION");
        break;
    case Transmission:
        header = N_("TRANSMISSION");
        break;
    case Relation:
        header = N_("RELATION");
        break;
    default:
        return;
    }
    TRLData& t = table();
    t.Clear();
    t.RemoveEmptyRows();
    t.SetCommonHeader(tr(header));
    if (kind == Irradiation)
        t.SetNrOfColumns(bothSensors ? 6 : 4);
    else if (kind == Relation)
        t.SetNrOfColumns(2);
    // A transmission run anchors its window at its own first line too: left at the time of an
    // earlier run, its samples would be drawn outside the window for the whole run.
    if (kind == Irradiation || kind == Transmission)
        startTime_ = 0;
    feed_.reset(settings.yMax, settings.yMin, settings.displayTime);

    lastTimeOfDay_ = -1;
    timeBase_ = 0;
    elapsedSeconds_ = 0;
    numberDate_.reset();
    relationAnchored_ = false;
    lastDose_ = {};
    measurement_.setRunKind(kind);
}

LiveDisplay LiveRun::irradiation(const Kanal& kanal1, const Kanal& kanal2, TDateTime timeOfDay,
                                 const LiveSettings& settings)
{
    TRLData& t = table();
    LiveDisplay display;
    const int r = t.AddRow();
    display.row = r;
    const QString clockText = formatTime(timeOfDay, kTimeSep);
    display.clock = clockText;

    const TDateTime date = today();
    t.SetElem(1, r, dateText(date));
    const bool first = startTime_ == 0;
    if (first) {
        startTime_ = timeOfDay + date;
        feed_.anchor(startTime_, settings.displayTime);
    }

    nameColumn(2, tr(N_("Time")));
    nameColumn(1, tr(N_("Date")));
    nameColumn(3, kanal1.SensorTyp + u'[' + kanal1.Einheit + u']');
    nameColumn(4, kanal1.SensorTyp + tr(N_(" Dose")));
    t.SetElem(2, r, clockText);
    t.SetElem(3, r, formatByMagnitude(kanal1.Wert));
    display.channel1 = channelDisplayText(kanal1);

    const bool two = !kanal2.SensorTyp.isEmpty();
    if (two) {
        display.channel2 = channelDisplayText(kanal2);
        t.SetElem(5, r, formatByMagnitude(kanal2.Wert));
        nameColumn(5, kanal2.SensorTyp + u'[' + kanal2.Einheit + u']');
        nameColumn(6, kanal2.SensorTyp + tr(N_(" Dose")));
    }

    // The sample time in whole seconds, as the time cell shows it.
    const auto secondOfDay = parseTime(t.GetElem(2, r), kTimeSep);
    if (!secondOfDay)
        return display;
    // The interval since the previous sample comes from the instrument's clock alone, taken
    // modulo a day: today's PC date joined with the instrument's time of day would make a run
    // that passes midnight on either clock jump by a day and back. The first sample of a run is
    // placed at the PC's date with the instrument's time of day; later ones follow it by the
    // instrument's intervals, while the date cell keeps showing the PC's date of arrival.
    double seconds = 0;
    if (first || lastTimeOfDay_ < 0) {
        timeBase_ = date + *secondOfDay;
        elapsedSeconds_ = 0;
    } else {
        long long delta = std::llround((*secondOfDay - lastTimeOfDay_) * kSecondsPerDay);
        if (delta < 0)
            delta += kWholeDay;
        elapsedSeconds_ += delta;
        seconds = static_cast<double>(delta);
    }
    lastTimeOfDay_ = *secondOfDay;
    zeit_ = timeBase_ + static_cast<double>(elapsedSeconds_) / kSecondsPerDay;

    double value1 = 0;
    double value2 = 0;
    if (!writeDose(0, r, seconds, value1))
        return display;
    if (two && !writeDose(1, r, seconds, value2))
        return display; // e.g. a table of 4 columns that has no room for channel 2
    feed_.update(zeit_, value1, value2, two, settings.displayTime, settings.interval);
    display.scroll = true;
    return display;
}

bool LiveRun::writeDose(int channel, int row, double seconds, double& value)
{
    TRLData& t = table();
    const int valueCol = channel == 0 ? 3 : 5;
    const int doseCol = valueCol + 1;
    // The value as the table holds it, rounded to its pattern.
    const auto x = cellNumber(t, valueCol, row);
    if (!x)
        return false;
    value = *x;
    double previous = 0;
    if (row > 1) {
        const QString previousText = t.GetElem(doseCol, row - 1);
        if (const auto p = parseDecimal(previousText, kDecimalSep))
            previous = *p;
        else if (previousText.isEmpty() && t.GetElem(valueCol, row - 1).isEmpty())
            previous = lastDose_[static_cast<std::size_t>(channel)]; // that line lacked the channel
        else
            return false;
    }
    t.SetElem(doseCol, row, formatFixedValue(value * seconds + previous));
    // Carried on as the cell shows it, three decimals.
    if (const auto written = cellNumber(t, doseCol, row))
        lastDose_[static_cast<std::size_t>(channel)] = *written;
    return true;
}

LiveDisplay LiveRun::transmission(const Kanal& kanal1, const Kanal& kanal2, const LiveSettings& settings)
{
    TRLData& t = table();
    LiveDisplay display;
    const bool two = !kanal2.SensorTyp.isEmpty();
    // The column count comes first: set after the cells, a table left at 2 columns by a relation
    // run would drop the first line's channel 1 value and its chart point.
    t.SetNrOfColumns(two ? 4 : 3);
    const int r = t.AddRow();
    display.row = r;
    nameColumn(1, tr(N_("Date")));

    const TDateTime date = today();
    t.SetElem(1, r, dateText(date));
    t.SetElem(2, r, numberText(r));
    zeit_ = numberedTime(r, date);
    lastTimeOfDay_ = -1; // an irradiation line after this one starts its own time base
    if (startTime_ == 0) {
        startTime_ = zeit_;
        feed_.anchor(startTime_, settings.displayTime);
    }

    t.SetElem(3, r, formatFixedValue(kanal1.Wert));
    display.channel1 = channelDisplayText(kanal1);
    nameColumn(2, tr(N_("Number")));
    nameColumn(3, kanal1.SensorTyp + QStringLiteral("[%]"));
    if (two) {
        display.channel2 = channelDisplayText(kanal2);
        t.SetElem(4, r, formatFixedValue(kanal2.Wert));
        nameColumn(4, kanal2.SensorTyp + QStringLiteral("[%]"));
    }

    const auto value1 = cellNumber(t, 3, r);
    if (!value1)
        return display;
    double value2 = 0;
    if (two) {
        const auto v = cellNumber(t, 4, r);
        if (!v)
            return display;
        value2 = *v;
    }
    feed_.update(zeit_, *value1, value2, two, settings.displayTime, kNumberedSpacing);
    display.scroll = true;
    return display;
}

void LiveRun::relationLineArrived()
{
    table().SetNrOfColumns(4);
}

LiveDisplay LiveRun::relation(const Kanal& kanal1, const LiveSettings& settings)
{
    TRLData& t = table();
    LiveDisplay display;
    relationLineArrived();
    const int r = t.AddRow();
    display.row = r;
    nameColumn(1, tr(N_("Date")));
    nameColumn(2, tr(N_("Number")));
    nameColumn(3, tr(N_("Relation")));
    nameColumn(4, tr(N_("Value [%]")));

    const TDateTime date = today();
    t.SetElem(1, r, dateText(date));
    t.SetElem(2, r, numberText(r));
    t.SetElem(3, r, kanal1.SensorTyp);
    t.SetElem(4, r, formatFixedValue(kanal1.Wert));
    display.channel1 = channelDisplayText(kanal1);

    // Relation samples carry no time. They are drawn one second apart as the table numbers them,
    // counted from the run's date, and the window starts at the run's first relation line, so the
    // curve is seen from its start and scrolls like the other runs. `Zeit` and the run's start
    // time stay as they were.
    const TDateTime time = numberedTime(r, date);
    if (!relationAnchored_) {
        feed_.anchor(time, settings.displayTime);
        relationAnchored_ = true;
    }
    feed_.update(time, kanal1.Wert, 0, false, settings.displayTime, kNumberedSpacing);
    display.scroll = true;
    return display;
}

} // namespace kv58
