#include "live/ChartFeed.h"

#include "data/ChartModel.h"

#include <algorithm>

namespace kv58 {

namespace {
constexpr double kSecondsPerDay = 86400.0;
}

void ChartFeed::reset(double yMax, double yMin, int displayTime)
{
    chart_.ClearGraf();
    TScaleProps& y = chart_.Scale1Y();
    y.setRangeHigh(yMax);
    y.setRangeLow(yMin);
    chart_.SetRange(1, 0, y.RangeLow(), displayTime / kSecondsPerDay, y.RangeHigh());
    dataCnt_ = 0;
    save1_ = 0;
    save2_ = 0;
    sampleItems_.clear();
    trackedItems_ = 0;
    untrackedItems_ = 0;
}

void ChartFeed::anchor(TDateTime start, int displayTime)
{
    const TScaleProps& y = chart_.Scale1Y();
    chart_.SetRange(1, start, y.RangeLow(), start + displayTime * 1.05 / kSecondsPerDay, y.RangeHigh());
    oldDateTime_ = start;
}

void ChartFeed::update(TDateTime time, double value1, double value2, bool two, int displayTime, int interval)
{
    syncWithChart();
    draw(time, value1, value2, two);
    const double step = time - oldDateTime_;
    // An interval field of 0 would make the window endless (and divide by zero): count it as 1 s.
    const double limit = static_cast<double>(displayTime) / std::max(interval, 1);
    if (dataCnt_ > limit) {
        removeOldestSample(two);
        const TScaleProps& x = chart_.Scale1X();
        const TScaleProps& y = chart_.Scale1Y();
        chart_.SetRange(1, x.RangeLow() + step, y.RangeLow(), x.RangeHigh() + step, y.RangeHigh());
    } else {
        dataCnt_ += 1;
    }
    oldDateTime_ = time;
    chart_.ShowGraf();
}

void ChartFeed::updateTime(TDateTime time, double value1, double value2, bool two)
{
    syncWithChart();
    draw(time, value1, value2, two);
    oldDateTime_ = time;
    chart_.ShowGraf();
}

void ChartFeed::syncWithChart()
{
    // Someone else added or removed items: what is there now counts as drawn elsewhere.
    if (untrackedItems_ + trackedItems_ == chart_.NumChartItems())
        return;
    sampleItems_.clear();
    trackedItems_ = 0;
    untrackedItems_ = chart_.NumChartItems();
}

void ChartFeed::draw(TDateTime time, double value1, double value2, bool two)
{
    chart_.setDataColor(chartColorFromBgr(kChannel1Bgr));
    chart_.MoveTo(oldDateTime_, save1_);
    chart_.DrawTo(time, value1);
    save1_ = value1;
    if (two) {
        chart_.setDataColor(chartColorFromBgr(kChannel2Bgr));
        chart_.MoveTo(oldDateTime_, save2_);
        chart_.DrawTo(time, value2);
        save2_ = value2;
    }
    const int items = two ? 4 : 2;
    sampleItems_.push_back(static_cast<std::uint8_t>(items));
    trackedItems_ += items;
}

void ChartFeed::removeOldestSample(bool two)
{
    int count = 0;
    if (untrackedItems_ > 0) {
        count = std::min(untrackedItems_, two ? 4 : 2);
        untrackedItems_ -= count;
    } else if (sampleItems_.size() > 1) { // never the sample just drawn
        count = sampleItems_.front();
        sampleItems_.pop_front();
        trackedItems_ -= count;
    }
    for (int i = 0; i < count; ++i)
        chart_.RemoveFirstItem();
}

} // namespace kv58
