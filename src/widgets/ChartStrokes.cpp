#include "widgets/ChartStrokes.h"

namespace kv58 {

std::size_t chartLineCount(const std::vector<ChartStroke>& strokes)
{
    std::size_t n = 0;
    for (const ChartStroke& s : strokes)
        n += s.lines.size() + s.spans.size();
    return n;
}

std::vector<ChartStroke> buildChartStrokes(const ChartItemList& items, int from, int to,
                                           const ChartMappings& maps, QPoint offset, ChartPenPosition& pen)
{
    std::vector<ChartStroke> strokes;
    auto map = [&maps](const TrcChartItem& item) {
        const auto i =
            static_cast<std::size_t>(std::clamp(static_cast<int>(item.Layer), 1, kChartLayers) - 1);
        return QPoint(maps.x[i].toClampedPixel(item.x), maps.y[i].toClampedPixel(item.y));
    };
    items.forEachSpan(from, to, [&](const TrcChartItem* it, const TrcChartItem* end) {
        for (; it != end; ++it) {
            if (it->ItemKind == TrcItem::tkMoveTo) {
                pen = {map(*it), true};
            } else if (it->ItemKind == TrcItem::tkLineto) {
                const QPoint p = map(*it);
                if (pen.valid && it->PenStyle != TPenStyle::psClear) {
                    const ChartPen itemPen{it->Color, it->PenStyle};
                    if (strokes.empty() || !(strokes.back().pen == itemPen))
                        strokes.push_back({itemPen, {}, {}});
                    strokes.back().lines.emplace_back(pen.pixel - offset, p - offset);
                }
                pen = {p, true};
            }
        }
    });
    return strokes;
}

} // namespace kv58
