// How samples become curves on the chart: the live feed with its sliding time window, the feed of
// stored rows with explicit times, the reset at a run start and the anchoring of the window at a
// run's first sample. Channel 1 is drawn blue, channel 2 red; each sample adds per channel a move
// to the channel's previous point and a line to its new one.
#pragma once

#include "core/DateTime.h"

#include <cstdint>
#include <deque>

namespace kv58 {

class ChartModel;

class ChartFeed {
public:
    explicit ChartFeed(ChartModel& chart) : chart_(chart) {}

    // Every run start: all items go, Y from `yMin` to `yMax`, X from 0 to `displayTime` seconds;
    // counters and the previous values go to 0.
    void reset(double yMax, double yMin, int displayTime);
    // The run's first sample: X from `start` over `displayTime` x 1.05 seconds; the previous point
    // is `start`.
    void anchor(TDateTime start, int displayTime);
    // One live sample at `time`. The window holds displayTime / interval samples (an interval
    // below 1 counts as 1 s); once full, the oldest sample's items go and the window moves on by
    // the time since the previous sample.
    void update(TDateTime time, double value1, double value2, bool two, int displayTime, int interval);
    // One stored sample at `time`: no window, nothing removed.
    void updateTime(TDateTime time, double value1, double value2, bool two);

    TDateTime oldDateTime() const { return oldDateTime_; }
    void setOldDateTime(TDateTime t) { oldDateTime_ = t; }
    double dataCount() const { return dataCnt_; }

    static constexpr unsigned kChannel1Bgr = 0xFF0000; // blue
    static constexpr unsigned kChannel2Bgr = 0x0000FF; // red

private:
    ChartModel& chart_;
    TDateTime oldDateTime_ = 0; // time of the previous point
    double dataCnt_ = 0;        // samples drawn since the reset, up to the window's limit
    double save1_ = 0;          // previous value of channel 1
    double save2_ = 0;          // previous value of channel 2

    // Items each sample drew, oldest first, so that the window removes whole samples even when
    // one- and two-channel samples alternate (a fixed two or four items would cut samples apart
    // and join the curves wrongly). `untrackedItems_` counts items at the front of the list that this
    // feed did not draw (a chart filled elsewhere); they go first, two or four at a time.
    std::deque<std::uint8_t> sampleItems_;
    int trackedItems_ = 0;
    int untrackedItems_ = 0;

    void syncWithChart();
    void draw(TDateTime time, double value1, double value2, bool two);
    void removeOldestSample(bool two);
};

} // namespace kv58
