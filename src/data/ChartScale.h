// The description of one chart axis (TScaleProps): its range with the chart's range rules, and how
// its ticks and labels look. Every change goes to the owning chart, which redraws.
#pragma once

#include "data/ChartTypes.h"

#include <QChar>

namespace kv58 {

class ChartModel;

enum class TFigType { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };
enum class TTimeFormat { tfHHMMSS, tfHHhMM, tfAMPM };
enum class TYearLength { ylNone, ylYY, ylYYYY };
enum class TDateOrder { doMMDDYY, doDDMMYY, doYYMMDD };
enum class TDateForTime { dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks };

// How date/time labels read; the part of an axis description the label texts depend on.
struct DateTimeLabelFormat {
    TTimeFormat timeFormat = TTimeFormat::tfHHMMSS;
    QChar dateSeparator = u'-';
    QChar timeSeparator = u':';
    TYearLength yearLength = TYearLength::ylYYYY;
    bool monthName = true;
    TDateOrder dateOrder = TDateOrder::doDDMMYY;
    TDateForTime dateForTime = TDateForTime::dtOnePerDay;
};

class TScaleProps {
public:
    TScaleProps(ChartModel* owner, double low, double high);
    TScaleProps(const TScaleProps&) = delete;
    TScaleProps& operator=(const TScaleProps&) = delete;

    double RangeLow() const { return low_; }
    double RangeHigh() const { return high_; }
    // Range writes: a value closer than MinRange to the other end moves the other end to
    // MinRange beyond it; a reversed range is kept as written (and drawn reversed).
    void setRangeLow(double value);
    void setRangeHigh(double value);

    // The smallest range difference the axis accepts.
    double MinRange() const { return minRange_; }
    void setMinRange(double value);

    // A logarithmic axis needs a positive range: turning it on over a range with an end at or
    // below zero throws std::invalid_argument("Logarithmic axis must not be negative.").
    bool Logarithmic() const { return logarithmic_; }
    void setLogarithmic(bool on);

    TFigType LabelType() const { return labelType_; }
    void setLabelType(TFigType type);
    // Decimals of numeric labels; -2 chooses them from the range.
    int DecPlaces() const { return decPlaces_; }
    void setDecPlaces(int places);
    // Number of intervals the range is divided into at least: 0, or 2 to 10.
    int MinTicks() const { return minTicks_; }
    void setMinTicks(int ticks);
    bool ShortTicks() const { return shortTicks_; }
    void setShortTicks(bool on);
    bool Visible() const { return visible_; }
    void setVisible(bool on);
    ChartColor ColorScale() const { return colorScale_; }
    void setColorScale(ChartColor color);

    const DateTimeLabelFormat& dateTimeFormat() const { return dateTime_; }
    void setDateTimeFormat(const DateTimeLabelFormat& format);

private:
    friend class ChartModel;
    void changed();

    ChartModel* owner_;
    double low_;
    double high_;
    double minRange_ = 1e-10;
    bool logarithmic_ = false;
    TFigType labelType_ = TFigType::ftNum;
    int decPlaces_ = -2;
    int minTicks_ = 3;
    bool shortTicks_ = true;
    bool visible_ = true;
    ChartColor colorScale_ = chartcolors::black;
    DateTimeLabelFormat dateTime_;
};

} // namespace kv58
