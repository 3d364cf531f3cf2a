// Paints a ChartModel with QPainter: the surroundings, the scales with ticks and labels, and the
// data area (background, grid, items). The data area is kept as an image in device pixels; when a
// few items were appended since it was drawn, just those are drawn onto it. A long item list is
// drawn from its curve index, at a cost that follows the pixels rather than the items.
#pragma once

#include "data/ChartModel.h"
#include "widgets/ChartCurveIndex.h"
#include "widgets/ChartStrokes.h"

#include <QColor>
#include <QFont>
#include <QImage>

class QPainter;

namespace kv58 {

QColor toQColor(ChartColor color);
ChartColor fromQColor(const QColor& color);

// Draws strokes into an RGB32 image: lines aliased and one device pixel wide, each segment on its
// own; spans written straight into the pixels (a vertical line of many pixels is costly for the
// painter, and a span is exactly the pixels such a line covers).
void drawChartStrokes(QImage& image, const std::vector<ChartStroke>& strokes);

enum class ChartStrokeMode {
    Auto,    // reduce per pixel column when there are many more items than columns
    Exact,   // every line item its own segment, in list order
    Reduced, // curves reduced per pixel column (pens drawn one after the other)
};

// Items per data-area column above which Auto reduces.
constexpr int kChartReduceItemsPerColumn = 4;

class ChartRenderer {
public:
    // What the last data-area update did.
    struct UpdateInfo {
        bool full = false;     // background and grid redrawn, items drawn from the first
        bool reduced = false;  // the curves were reduced per pixel column
        int items = 0;         // items drawn
        std::size_t lines = 0; // lines and spans drawn
    };

    // Paints the whole chart. The painter works in logical pixels on a device whose pixel ratio is
    // the one in the model's layout.
    void paint(QPainter& painter, const ChartModel& model, const QFont& font);

    // The data area in device pixels, brought up to date with the model.
    const QImage& dataArea(const ChartModel& model, ChartStrokeMode mode = ChartStrokeMode::Auto);
    const UpdateInfo& lastUpdate() const { return info_; }
    void invalidate() { drawn_ = -1; }

private:
    static void drawGrid(QPainter& painter, const ChartModel& model);
    static void drawScales(QPainter& painter, const ChartModel& model, const QFont& font);

    QImage image_;
    std::uint64_t revision_ = 0;
    std::uint64_t generation_ = 0;
    int drawn_ = -1; // items on the image; -1 when the image is stale
    ChartPenPosition pen_;
    ChartCurveIndex index_;
    UpdateInfo info_;
};

} // namespace kv58
