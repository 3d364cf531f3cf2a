// Turns chart items into the pixel line segments that are drawn, per pen. Every segment is drawn
// as its own closed 1-pixel line, so what a curve covers is the union of its segments; that is
// what makes the column reduction below exact.
//
// Column reduction (M4, Jugel et al., VLDB 2014): points map to whole pixels, so consecutive points
// of one curve in the same pixel column only draw a vertical run from their lowest to their
// highest pixel, entered at the first point and left at the last. Keeping first, lowest, highest
// and last of every such run draws exactly the same pixels, and a curve of any length costs at
// most four segments per column.
#pragma once

#include "widgets/ChartItemList.h"
#include "widgets/ChartModel.h"

#include <QLine>
#include <QPoint>
#include <vector>

namespace kv58 {

struct ChartStroke {
    ChartPen pen;
    std::vector<QLine> lines; // pixel coordinates relative to the data area
};

// Pen position carried from one batch of items to the next.
struct ChartPenPosition {
    QPoint pixel; // control pixels
    bool valid = false;
};

enum class ChartStrokeMode {
    Auto,    // reduce when the batch has many more items than the data area has columns
    Exact,   // one segment per line item, in list order
    Reduced, // curves joined per pen and reduced per pixel column
};

struct ChartStrokeBatch {
    std::vector<ChartStroke> strokes;
    bool reduced = false;
    std::size_t lineCount() const;
};

// Builds the strokes of items [from, to) with the given mappings, starting at `pen` (updated to
// the pen position after the batch). `offset` is the data area's top-left control pixel.
// Exact order: strokes in list order; a new stroke wherever the pen changes. Reduced: one stroke
// per pen in order of first use; where curves of different pens cross, the later pen lies on top.
ChartStrokeBatch buildChartStrokes(const ChartItemList& items, int from, int to, const ChartMappings& maps,
                                   QPoint offset, int columns, ChartPenPosition& pen,
                                   ChartStrokeMode mode = ChartStrokeMode::Auto);

// Batches with more items than this per data-area column are reduced in Auto mode.
constexpr int kChartReduceItemsPerColumn = 4;

} // namespace kv58
