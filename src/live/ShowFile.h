// Drawing a loaded measurement again: the rows of the measurement's table become chart samples as
// if they had just arrived, and the chart's ranges are fitted to the measurement's time span.
#pragma once

#include <QString>
#include <optional>

namespace kv58 {

class LiveRun;
class Measurement;

struct ShowFileError {
    int row = 0;     // 1-based table row whose cell does not convert
    QString message; // English, for the user
};

// Draws the table of `measurement` on its chart by the run kind the measurement names: irradiation
// (values in column 3, and column 5 when the table has more than 4 columns), transmission (column
// 3, and column 4 with more than 3 columns) or relation (column 4); "%" signs of transmission and
// relation cells are dropped. Other kinds change nothing. The chart is cleared first; each row's
// time is its date (column 1, "yyyy.mm.dd") with its time of day (column 2, "hh:nn:ss"), a row
// without a date keeping the time of the row before. The run's `zeit()` ends as the last row's
// time, its `startTime()` as the first's. Finally Y spans `yMin` to `yMax` and X the first to the
// last time. A cell that does not convert stops the drawing at its row: the rows before stay
// drawn, the ranges are left as they were, and the error names the row.
std::optional<ShowFileError> ShowFile(LiveRun& run, Measurement& measurement, double yMax, double yMin);

} // namespace kv58
