#include "widgets/ChartCurveIndex.h"

#include "data/LargePages.h"

#include <algorithm>
#include <cmath>

namespace kv58 {
namespace {

std::size_t layerSlot(int layer)
{
    return static_cast<std::size_t>(std::clamp(layer, 1, kChartLayers) - 1);
}

// Collects what one walk through pixel columns draws: per column the vertical span its points
// cover, and between columns the segment from one column's last point to the next one's first.
class ColumnSink {
public:
    ColumnSink(ChartStroke& stroke, QPoint offset) : stroke_(stroke), offset_(offset) {}

    // One column's points: the first, how many, the lowest and highest pixel row among all of
    // them, and the last.
    void column(bool startsWalk, int x, int firstY, int count, int topY, int bottomY, int lastY)
    {
        const QPoint first(x, firstY);
        if (!startsWalk)
            stroke_.lines.emplace_back(last_ - offset_, first - offset_);
        if (count >= 2)
            stroke_.spans.push_back({x - offset_.x(), topY - offset_.y(), bottomY - offset_.y()});
        last_ = QPoint(x, lastY);
    }

    void segment(QPoint a, QPoint b) { stroke_.lines.emplace_back(a - offset_, b - offset_); }

private:
    ChartStroke& stroke_;
    QPoint offset_;
    QPoint last_;
};

// A curve drawn with a pattern: every segment as it is (a pattern does not survive merging).
void drawEverySegment(const ChartCurveRun& r, const AxisMapping& mx, const AxisMapping& my, ColumnSink& sink)
{
    auto point = [&](std::size_t i) { return QPoint(mx.toClampedPixel(r.x[i]), my.toClampedPixel(r.y[i])); };
    for (std::size_t i = 1; i < r.x.size(); ++i)
        sink.segment(point(i - 1), point(i));
}

// Any run, point by point: consecutive points in one column collapse to that column's span.
void reduceSequential(const ChartCurveRun& r, const AxisMapping& mx, const AxisMapping& my, ColumnSink& sink)
{
    const std::size_t n = r.x.size();
    std::size_t i = 0;
    while (i < n) {
        const int column = mx.toClampedPixel(r.x[i]);
        const int firstY = my.toClampedPixel(r.y[i]);
        int top = firstY;
        int bottom = firstY;
        int lastY = firstY;
        int count = 1;
        std::size_t j = i + 1;
        for (; j < n && mx.toClampedPixel(r.x[j]) == column; ++j, ++count) {
            lastY = my.toClampedPixel(r.y[j]);
            top = std::min(top, lastY);
            bottom = std::max(bottom, lastY);
        }
        sink.column(i == 0, column, firstY, count, top, bottom, lastY);
        i = j;
    }
}

// A run whose x never decreases: its pixel columns never decrease either (or never increase on a
// reversed axis), so each column's points are found by search, their extremes come from the
// block minima and maxima, and only the columns touching the data area are visited.
void reduceAscending(const ChartCurveRun& r, const AxisMapping& mx, const AxisMapping& my, int areaLeft,
                     int areaRight, ColumnSink& sink)
{
    const int n = static_cast<int>(r.x.size());
    const int sign = mx.scale >= 0 ? 1 : -1;
    auto key = [&](int i) { return sign * mx.toClampedPixel(r.x[static_cast<std::size_t>(i)]); };
    auto firstAbove = [&](int lo, int hi, int value) { // first index in [lo, hi) with key > value
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (key(mid) > value)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    };
    // Galloping search, the exact fallback of the search below.
    auto gallop = [&](int from, int hi, int value) {
        int step = 1;
        int lo = from;
        while (lo < hi && key(lo) <= value) {
            const int probe = std::min(lo + step, hi);
            if (probe == hi || key(probe) > value)
                return firstAbove(lo + 1, probe, value);
            lo = probe;
            step *= 2;
        }
        return lo;
    };
    // The next column begins where the exact position passes the column's pixel by half a pixel:
    // search that world x among the raw values, then settle the last step with the mapping itself.
    const double* xs = r.x.data();
    auto nextColumn = [&](int from, int hi, int value) {
        const int pixel = sign * value;
        if (mx.scale == 0 || pixel == sign * kChartPixelClamp)
            return hi; // every later point lands in this column
        const double boundary = mx.low + (pixel + 0.5 * sign - mx.origin) / mx.scale;
        int j = static_cast<int>(std::upper_bound(xs + from, xs + hi, boundary) - xs);
        for (int steps = 0; steps < 4; ++steps) {
            if (j > from && key(j - 1) > value)
                --j;
            else if (j < hi && key(j) <= value)
                ++j;
            else
                return j;
        }
        return gallop(from, hi, value);
    };
    const int keyLow = std::min(sign * areaLeft, sign * areaRight);
    const int keyHigh = std::max(sign * areaLeft, sign * areaRight);
    // From the last point before the area (its segment may reach into it) to the first after it.
    const int start = std::max(firstAbove(0, n, keyLow - 1) - 1, 0);
    const int end = std::min(firstAbove(start, n, keyHigh), n - 1);
    auto row = [&](int i) { return my.toClampedPixel(r.y[static_cast<std::size_t>(i)]); };
    int i = start;
    while (i <= end) {
        const int k = key(i);
        const int j = nextColumn(i + 1, end + 1, k);
        const int firstY = row(i);
        const int lastY = row(j - 1);
        int top = std::min(firstY, lastY);
        int bottom = std::max(firstY, lastY);
        if (j - i >= 3) {
            double low = 0;
            double high = 0;
            r.extremes(i + 1, j - 1, low, high);
            const int a = my.toClampedPixel(low);
            const int b = my.toClampedPixel(high);
            top = std::min({top, a, b});
            bottom = std::max({bottom, a, b});
        }
        sink.column(i == start, sign * k, firstY, j - i, top, bottom, lastY);
        i = j;
    }
}

} // namespace

void ChartCurveRun::append(double px, double py)
{
    const int i = static_cast<int>(x.size());
    if ((i > 0 && !(px >= x.back())) || !std::isfinite(px) || py != py)
        ascending = false;
    x.push_back(px);
    y.push_back(py);
    if (i % kBlock == 0) {
        blocks.push_back({py, py});
        return;
    }
    Block& b = blocks.back();
    b.minY = std::min(b.minY, py);
    b.maxY = std::max(b.maxY, py);
}

void ChartCurveRun::extremes(int from, int to, double& low, double& high) const
{
    low = high = y[static_cast<std::size_t>(from)];
    int i = from + 1;
    for (; i < to && i % kBlock != 0; ++i) {
        low = std::min(low, y[static_cast<std::size_t>(i)]);
        high = std::max(high, y[static_cast<std::size_t>(i)]);
    }
    for (; i + kBlock <= to; i += kBlock) {
        const Block& b = blocks[static_cast<std::size_t>(i / kBlock)];
        low = std::min(low, b.minY);
        high = std::max(high, b.maxY);
    }
    for (; i < to; ++i) {
        low = std::min(low, y[static_cast<std::size_t>(i)]);
        high = std::max(high, y[static_cast<std::size_t>(i)]);
    }
}

void ChartCurveIndex::clear()
{
    runs_.clear();
    current_.clear();
    indexed_ = 0;
    penValid_ = false;
}

void ChartCurveIndex::update(const ChartItemList& items)
{
    if (items.count() < indexed_)
        clear();
    auto runFor = [this](const ChartPen& pen) -> ChartCurveRun* {
        for (auto& [p, index] : current_)
            if (p == pen)
                return &runs_[index];
        return nullptr;
    };
    const int total = items.count();
    int at = indexed_;
    items.forEachSpan(indexed_, total, [&](const TrcChartItem* it, const TrcChartItem* end) {
        for (; it != end; ++it, ++at) {
            if (it->ItemKind != TrcItem::tkMoveTo && it->ItemKind != TrcItem::tkLineto)
                continue;
            if (it->ItemKind == TrcItem::tkLineto && penValid_ && it->PenStyle != TPenStyle::psClear) {
                const ChartPen pen{it->Color, it->PenStyle};
                ChartCurveRun* run = runFor(pen);
                // A segment continues its pen's curve where it starts at the curve's end and keeps
                // x from decreasing; otherwise a new stretch begins at the pen position.
                if (!run || run->layer != it->Layer || run->firstLayer != run->layer ||
                    penLayer_ != run->layer || !run->ascending || run->x.back() != penX_ ||
                    run->y.back() != penY_ || !(it->x >= penX_)) {
                    const bool firstOfPen = run == nullptr && current_.size() < 4;
                    runs_.emplace_back();
                    run = &runs_.back();
                    run->pen = pen;
                    run->layer = it->Layer;
                    run->firstLayer = penLayer_;
                    if (firstOfPen) {
                        // A pen's first curve usually takes its points to the end: room for them,
                        // so that a long list is not copied while growing (a curve fed in move and
                        // line pairs gets at most half the items; untouched room costs nothing,
                        // and only the first few pens get it).
                        const auto room = static_cast<std::size_t>(total - at) / 2 + 2;
                        run->x.reserve(room);
                        run->y.reserve(room);
                        run->blocks.reserve(room / ChartCurveRun::kBlock + 1);
                        preferLargePages(run->x.data(), room * sizeof(double));
                        preferLargePages(run->y.data(), room * sizeof(double));
                    }
                    run->append(penX_, penY_);
                    const std::size_t index = runs_.size() - 1;
                    auto slot = std::find_if(current_.begin(), current_.end(),
                                             [&](const auto& entry) { return entry.first == pen; });
                    if (slot == current_.end())
                        current_.emplace_back(pen, index);
                    else
                        slot->second = index;
                }
                run->append(it->x, it->y);
            }
            penX_ = it->x;
            penY_ = it->y;
            penLayer_ = it->Layer;
            penValid_ = true;
        }
    });
    indexed_ = items.count();
}

ChartPenPosition ChartCurveIndex::penPosition(const ChartMappings& maps) const
{
    if (!penValid_)
        return {};
    const std::size_t i = layerSlot(penLayer_);
    return {QPoint(maps.x[i].toClampedPixel(penX_), maps.y[i].toClampedPixel(penY_)), true};
}

std::vector<ChartStroke> ChartCurveIndex::strokes(const ChartMappings& maps, QPoint offset, int columns) const
{
    std::vector<ChartStroke> out;
    for (const ChartCurveRun& r : runs_) {
        if (out.empty() || !(out.back().pen == r.pen))
            out.push_back({r.pen, {}, {}});
        ColumnSink sink(out.back(), offset);
        const AxisMapping& mx = maps.x[layerSlot(r.layer)];
        const AxisMapping& my = maps.y[layerSlot(r.layer)];
        if (r.firstLayer != r.layer) {
            const AxisMapping& fx = maps.x[layerSlot(r.firstLayer)];
            const AxisMapping& fy = maps.y[layerSlot(r.firstLayer)];
            sink.segment(QPoint(fx.toClampedPixel(r.x[0]), fy.toClampedPixel(r.y[0])),
                         QPoint(mx.toClampedPixel(r.x[1]), my.toClampedPixel(r.y[1])));
        } else if (r.pen.style != TPenStyle::psSolid)
            drawEverySegment(r, mx, my, sink);
        else if (r.ascending && !mx.logarithmic && !my.logarithmic)
            reduceAscending(r, mx, my, offset.x(), offset.x() + columns - 1, sink);
        else
            reduceSequential(r, mx, my, sink);
    }
    return out;
}

} // namespace kv58
