#include "widgets/ChartStrokes.h"

#include <deque>
#include <utility>

namespace kv58 {
namespace {

// Maps item coordinates to clamped control pixels, remembering the last layer's mappings.
class ItemMapper {
public:
    explicit ItemMapper(const ChartMappings& maps) : maps_(maps) { select(1); }

    QPoint map(const TrcChartItem& item)
    {
        if (item.Layer != layer_)
            select(item.Layer);
        return {x_->toClampedPixel(item.x), y_->toClampedPixel(item.y)};
    }

private:
    void select(int layer)
    {
        layer_ = layer;
        const auto i = static_cast<std::size_t>(std::clamp(layer, 1, kChartLayers) - 1);
        x_ = &maps_.x[i];
        y_ = &maps_.y[i];
    }

    const ChartMappings& maps_;
    int layer_ = 0;
    const AxisMapping* x_ = nullptr;
    const AxisMapping* y_ = nullptr;
};

// One pen's curve while reducing: the walk through its points and the column run being collected.
class Curve {
public:
    Curve(ChartPen pen, QPoint offset)
        : pen_(pen), offset_(offset), reducible_(pen.style == TPenStyle::psSolid)
    {
    }

    const ChartPen& pen() const { return pen_; }
    bool continuesAt(QPoint p) const { return open_ && end_ == p; }
    // The world point and layer of the walk's end, so that a move back onto it needs no mapping.
    bool endsAtWorld(const TrcChartItem& item) const
    {
        return open_ && endLayer_ == item.Layer && endX_ == item.x && endY_ == item.y;
    }
    QPoint end() const { return end_; }

    void start(QPoint s)
    {
        flush();
        open_ = true;
        emitted_ = s;
        end_ = s;
        beginRun(s);
    }

    void add(QPoint p, const TrcChartItem& item)
    {
        if (reducible_ && p.x() == runX_) {
            if (p.y() < minY_) {
                minY_ = p.y();
                minAt_ = count_;
            } else if (p.y() > maxY_) {
                maxY_ = p.y();
                maxAt_ = count_;
            }
            lastY_ = p.y();
            ++count_;
        } else {
            flush();
            lineTo(p);
            beginRun(p);
        }
        end_ = p;
        endX_ = item.x;
        endY_ = item.y;
        endLayer_ = item.Layer;
    }

    // Emits the run collected in the current column: its lowest and highest point in the order
    // they came, then its last point.
    void flush()
    {
        if (!open_ || count_ <= 1)
            return;
        int a = minAt_, b = maxAt_, ya = minY_, yb = maxY_;
        if (a > b) {
            std::swap(a, b);
            std::swap(ya, yb);
        }
        if (a > 0 && a < count_ - 1)
            lineTo({runX_, ya});
        if (b > 0 && b < count_ - 1 && b != a)
            lineTo({runX_, yb});
        lineTo({runX_, lastY_});
        beginRun(emitted_);
    }

    std::vector<QLine> takeLines() { return std::move(lines_); }

private:
    void beginRun(QPoint p)
    {
        runX_ = p.x();
        minY_ = maxY_ = lastY_ = p.y();
        minAt_ = maxAt_ = 0;
        count_ = 1;
    }

    void lineTo(QPoint q)
    {
        lines_.emplace_back(emitted_ - offset_, q - offset_);
        emitted_ = q;
    }

    ChartPen pen_;
    QPoint offset_;
    bool reducible_;
    std::vector<QLine> lines_;
    bool open_ = false;
    QPoint end_;
    double endX_ = 0, endY_ = 0;
    int endLayer_ = 0;
    QPoint emitted_;
    int runX_ = 0, minY_ = 0, maxY_ = 0, lastY_ = 0;
    int minAt_ = 0, maxAt_ = 0, count_ = 0;
};

void buildExact(ChartStrokeBatch& batch, const ChartItemList& items, int from, int to, ItemMapper& mapper,
                QPoint offset, ChartPenPosition& pen)
{
    items.forEachSpan(from, to, [&](const TrcChartItem* it, const TrcChartItem* end) {
        for (; it != end; ++it) {
            if (it->ItemKind == TrcItem::tkMoveTo) {
                pen = {mapper.map(*it), true};
            } else if (it->ItemKind == TrcItem::tkLineto) {
                const QPoint p = mapper.map(*it);
                if (pen.valid && it->PenStyle != TPenStyle::psClear) {
                    const ChartPen itemPen{it->Color, it->PenStyle};
                    if (batch.strokes.empty() || !(batch.strokes.back().pen == itemPen))
                        batch.strokes.push_back({itemPen, {}});
                    batch.strokes.back().lines.emplace_back(pen.pixel - offset, p - offset);
                }
                pen = {p, true};
            }
        }
    });
}

void buildReduced(ChartStrokeBatch& batch, const ChartItemList& items, int from, int to, ItemMapper& mapper,
                  QPoint offset, ChartPenPosition& pen)
{
    std::deque<Curve> curves; // stable addresses while growing
    Curve* recent = nullptr;
    auto curveFor = [&](const TrcChartItem& item) -> Curve& {
        const ChartPen p{item.Color, item.PenStyle};
        if (recent && recent->pen() == p)
            return *recent;
        for (Curve& c : curves)
            if (c.pen() == p)
                return *(recent = &c);
        return *(recent = &curves.emplace_back(p, offset));
    };
    items.forEachSpan(from, to, [&](const TrcChartItem* it, const TrcChartItem* end) {
        for (; it != end; ++it) {
            if (it->ItemKind == TrcItem::tkMoveTo) {
                Curve& c = curveFor(*it);
                pen = {c.endsAtWorld(*it) ? c.end() : mapper.map(*it), true};
            } else if (it->ItemKind == TrcItem::tkLineto) {
                const QPoint p = mapper.map(*it);
                if (pen.valid && it->PenStyle != TPenStyle::psClear) {
                    Curve& c = curveFor(*it);
                    if (!c.continuesAt(pen.pixel))
                        c.start(pen.pixel);
                    c.add(p, *it);
                }
                pen = {p, true};
            }
        }
    });
    for (Curve& c : curves) {
        c.flush();
        std::vector<QLine> lines = c.takeLines();
        if (!lines.empty())
            batch.strokes.push_back({c.pen(), std::move(lines)});
    }
}

} // namespace

std::size_t ChartStrokeBatch::lineCount() const
{
    std::size_t n = 0;
    for (const ChartStroke& s : strokes)
        n += s.lines.size();
    return n;
}

ChartStrokeBatch buildChartStrokes(const ChartItemList& items, int from, int to, const ChartMappings& maps,
                                   QPoint offset, int columns, ChartPenPosition& pen, ChartStrokeMode mode)
{
    ChartStrokeBatch batch;
    from = std::max(from, 0);
    to = std::min(to, items.count());
    if (from >= to)
        return batch;
    if (mode == ChartStrokeMode::Auto) {
        const long long limit = static_cast<long long>(kChartReduceItemsPerColumn) * (std::max(columns, 0) + 1);
        mode = to - from > limit ? ChartStrokeMode::Reduced : ChartStrokeMode::Exact;
    }
    ItemMapper mapper(maps);
    batch.reduced = mode == ChartStrokeMode::Reduced;
    if (batch.reduced)
        buildReduced(batch, items, from, to, mapper, offset, pen);
    else
        buildExact(batch, items, from, to, mapper, offset, pen);
    return batch;
}

} // namespace kv58
