// Line items as the pixel segments that are drawn, per pen and in list order: the drawing as the
// item list states it, used for short lists and for items appended to a shown chart.
#pragma once

#include "data/ChartItemList.h"
#include "data/ChartModel.h"

#include <QLine>
#include <QPoint>
#include <vector>

namespace kv58 {

// A vertical run of pixels, both ends included: what any vertical segment between its ends covers.
struct ChartSpan {
    int x;
    int top;
    int bottom;
    friend bool operator==(const ChartSpan&, const ChartSpan&) = default;
};

// What one pen draws; pixel coordinates relative to the data area.
struct ChartStroke {
    ChartPen pen;
    std::vector<QLine> lines;
    std::vector<ChartSpan> spans;
};

// Pen position carried from one batch of items to the next.
struct ChartPenPosition {
    QPoint pixel; // control pixels
    bool valid = false;
};

std::size_t chartLineCount(const std::vector<ChartStroke>& strokes);

// Strokes of items [from, to): a move sets the pen position, a line item adds the segment from the
// pen position to its point (none before the first position is known), and a new stroke begins
// wherever the pen changes. `offset` is the data area's top-left control pixel; `pen` is updated
// to the position after the batch.
std::vector<ChartStroke> buildChartStrokes(const ChartItemList& items, int from, int to,
                                           const ChartMappings& maps, QPoint offset, ChartPenPosition& pen);

} // namespace kv58
