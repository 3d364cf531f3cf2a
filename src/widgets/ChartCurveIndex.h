// The chart's line items as curves in world coordinates, kept up to date while items are appended,
// so that a whole redraw costs what the pixels need rather than what the items number.
//
// Every segment is drawn as its own closed 1-pixel line, so a curve covers the union of its
// segments' pixels. Points map to whole pixels; consecutive points of a curve in one pixel column
// therefore draw one vertical span from their lowest to their highest pixel, entered at the first
// and left at the last point. Keeping first, lowest, highest and last point of each such run (the
// M4 aggregation of Jugel et al., VLDB 2014) draws exactly the same pixels; the three vertical
// segments between them are drawn as the one span they cover. Where a curve's x never decreases,
// the points of a column are a contiguous stretch found by search, and their extremes come from
// per-block minima and maxima, so a curve of any length costs a few searches per column.
#pragma once

#include "data/ChartItemList.h"
#include "data/ChartModel.h"
#include "widgets/ChartStrokes.h"

#include <vector>

namespace kv58 {

// A stretch of one curve: consecutive joined segments of one pen on one layer.
struct ChartCurveRun {
    static constexpr int kBlock = 64;
    struct Block {
        double minY, maxY;
    };

    ChartPen pen;
    int layer = 1;
    int firstLayer = 1; // layer of the first point: another one only for a lone segment between layers
    std::vector<double> x, y;
    std::vector<Block> blocks; // minima and maxima of y per kBlock points
    bool ascending = true;     // x is finite and never decreases, y is never NaN

    void append(double px, double py);
    // Lowest and highest y among the points [from, to), from < to.
    void extremes(int from, int to, double& low, double& high) const;
};

class ChartCurveIndex {
public:
    void clear();
    // Takes in the items appended since the last call (the list must only have grown).
    void update(const ChartItemList& items);
    int indexedItems() const { return indexed_; }
    const std::vector<ChartCurveRun>& runs() const { return runs_; }
    // The pen position after the indexed items, mapped.
    ChartPenPosition penPosition(const ChartMappings& maps) const;

    // The lines of every curve, reduced per pixel column, as strokes in the order the curves were
    // begun. `offset` is the data area's top-left control pixel, `columns` its width in pixels.
    std::vector<ChartStroke> strokes(const ChartMappings& maps, QPoint offset, int columns) const;

private:
    std::vector<ChartCurveRun> runs_;
    std::vector<std::pair<ChartPen, std::size_t>> current_; // each pen's run being extended
    int indexed_ = 0;
    double penX_ = 0, penY_ = 0;
    int penLayer_ = 1;
    bool penValid_ = false;
};

} // namespace kv58
