#include "widgets/ChartRenderer.h"

#include "widgets/ChartTicks.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace kv58 {
namespace {

constexpr ChartColor kShadowColor = chartcolors::gray;
constexpr int kShadowOffset = 4; // logical pixels
constexpr double kLabelGap = 2;  // logical pixels between tick end and label

Qt::PenStyle qtPenStyle(TPenStyle style)
{
    switch (style) {
    case TPenStyle::psSolid:
        return Qt::SolidLine;
    case TPenStyle::psDash:
        return Qt::DashLine;
    case TPenStyle::psDot:
        return Qt::DotLine;
    case TPenStyle::psDashDot:
        return Qt::DashDotLine;
    case TPenStyle::psDashDotDot:
        return Qt::DashDotDotLine;
    case TPenStyle::psClear:
        break;
    }
    return Qt::NoPen;
}

int devicePixels(double logical, double ratio)
{
    return std::max(1, static_cast<int>(std::lround(logical * ratio)));
}

} // namespace

QColor toQColor(ChartColor color)
{
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000U | (color & 0xFFFFFFU)));
}

ChartColor fromQColor(const QColor& color)
{
    return color.rgb() & 0xFFFFFFU;
}

namespace {

void fillSpans(QImage& image, QRgb color, const std::vector<ChartSpan>& spans)
{
    const int w = image.width();
    const int h = image.height();
    const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    for (const ChartSpan& s : spans) {
        if (s.x < 0 || s.x >= w)
            continue;
        const int top = std::max(s.top, 0);
        const int bottom = std::min(s.bottom, h - 1);
        QRgb* p = bits + top * stride + s.x;
        for (int y = top; y <= bottom; ++y, p += stride)
            *p = color;
    }
}

} // namespace

void drawChartStrokes(QImage& image, const std::vector<ChartStroke>& strokes)
{
    Q_ASSERT(image.format() == QImage::Format_RGB32);
    QPainter painter;
    for (const ChartStroke& s : strokes) {
        const Qt::PenStyle style = qtPenStyle(s.pen.style);
        if (style == Qt::NoPen)
            continue;
        if (!s.spans.empty()) {
            if (painter.isActive())
                painter.end();
            fillSpans(image, toQColor(s.pen.color).rgb(), s.spans);
        }
        if (s.lines.empty())
            continue;
        if (!painter.isActive()) {
            painter.begin(&image);
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
        QPen pen(toQColor(s.pen.color), 0); // cosmetic: one device pixel
        pen.setStyle(style);
        painter.setPen(pen);
        painter.drawLines(s.lines.data(), static_cast<int>(s.lines.size()));
    }
}

const QImage& ChartRenderer::dataArea(const ChartModel& model, ChartStrokeMode mode)
{
    const ChartLayout& l = model.layout();
    const QSize size(l.width + 1, l.height + 1);
    const int count = model.NumChartItems();
    const int columns = l.width + 1;
    info_ = {};
    if (generation_ != model.itemsGeneration() || index_.indexedItems() > count)
        index_.clear();
    bool stale = drawn_ < 0 || image_.size() != size || revision_ != model.viewRevision() ||
                 generation_ != model.itemsGeneration() || drawn_ > count;
    const long long fresh = count - (stale ? 0 : drawn_);
    const bool reduce = mode == ChartStrokeMode::Reduced ||
                        (mode == ChartStrokeMode::Auto && fresh > 1LL * kChartReduceItemsPerColumn * columns);
    // A long batch is cheaper redrawn whole from the index than drawn item by item on top.
    if (reduce && fresh > 0)
        stale = true;
    if (stale) {
        if (image_.size() != size)
            image_ = QImage(size, QImage::Format_RGB32);
        image_.fill(toQColor(model.WindColor()));
        QPainter p(&image_);
        drawGrid(p, model);
        revision_ = model.viewRevision();
        generation_ = model.itemsGeneration();
        drawn_ = 0;
        pen_ = {};
        info_.full = true;
    }
    if (drawn_ < count) {
        const ChartMappings maps = model.mappings();
        const QPoint offset(l.left, l.top);
        std::vector<ChartStroke> strokes;
        if (reduce) {
            index_.update(model.items());
            strokes = index_.strokes(maps, offset, columns);
            pen_ = index_.penPosition(maps);
        } else {
            strokes = buildChartStrokes(model.items(), drawn_, count, maps, offset, pen_);
        }
        drawChartStrokes(image_, strokes);
        info_.reduced = reduce;
        info_.items = count - drawn_;
        info_.lines = chartLineCount(strokes);
        drawn_ = count;
    }
    return image_;
}

void ChartRenderer::drawGrid(QPainter& painter, const ChartModel& model)
{
    if (model.GridStyle() == TGridStyle::gsNone)
        return;
    const ChartLayout& l = model.layout();
    QPen pen(toQColor(model.GridColor()), 0);
    pen.setStyle(model.GridStyle() == TGridStyle::gsDots ? Qt::DotLine : Qt::SolidLine);
    painter.setPen(pen);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const AxisMapping mx = model.xMapping(1);
    const AxisMapping my = model.yMapping(1);
    for (double v : chartScaleTicks(model.Scale1X()).gridValues()) {
        const int x = mx.toClampedPixel(v) - l.left;
        painter.drawLine(x, 0, x, l.height);
    }
    for (double v : chartScaleTicks(model.Scale1Y()).gridValues()) {
        const int y = my.toClampedPixel(v) - l.top;
        painter.drawLine(0, y, l.width, y);
    }
}

void ChartRenderer::paint(QPainter& painter, const ChartModel& model, const QFont& font)
{
    const ChartLayout& l = model.layout();
    const double ratio = l.pixelRatio;
    const QImage& area = dataArea(model);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Surroundings in device pixels, so that frame and ticks meet the data area's pixels exactly.
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter.fillRect(0, 0, l.controlWidth, l.controlHeight, toQColor(model.FillColor()));
    if (model.ShadowStyle() == TShadowStyle::ssFlying) {
        const int s = devicePixels(kShadowOffset, ratio);
        painter.fillRect(l.left - 1 + s, l.top - 1 + s, l.width + 3, l.height + 3, toQColor(kShadowColor));
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(l.left - 1, l.top - 1, l.width + 2, l.height + 2);
    painter.drawImage(QPoint(l.left, l.top), area);
    painter.restore();

    drawScales(painter, model, font);
}

void ChartRenderer::drawScales(QPainter& painter, const ChartModel& model, const QFont& font)
{
    const ChartLayout& l = model.layout();
    const double ratio = l.pixelRatio;
    const double logicalWidth = l.controlWidth / ratio;
    const double logicalHeight = l.controlHeight / ratio;
    painter.save();
    painter.setFont(font);
    const QFontMetricsF fm = painter.fontMetrics();

    const TScaleProps& sx = model.Scale1X();
    if (sx.Visible()) {
        const ScaleTicks ticks = chartScaleTicks(sx);
        const AxisMapping m = model.xMapping(1);
        const int base = l.top + l.height + 1; // the frame's bottom row
        painter.save();
        painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
        painter.setPen(QPen(toQColor(sx.ColorScale()), 0));
        for (const ChartTick& t : ticks.ticks) {
            const int x = m.toClampedPixel(t.value);
            if (x < l.left || x > l.left + l.width)
                continue;
            const int len = devicePixels(t.major ? ticks.majorLength : ticks.minorLength, ratio);
            painter.drawLine(x, base, x, base + len);
        }
        painter.restore();
        painter.setPen(toQColor(sx.ColorScale()));
        const double top = (base + 1) / ratio + ticks.majorLength + kLabelGap;
        double previousRight = -1e9;
        for (const ChartTick& t : ticks.ticks) {
            if (t.label.isEmpty())
                continue;
            const int x = m.toClampedPixel(t.value);
            if (x < l.left || x > l.left + l.width)
                continue;
            const double w = std::max(fm.horizontalAdvance(t.label), fm.horizontalAdvance(t.dateLabel));
            const double left = std::clamp(x / ratio - w / 2, 0.0, std::max(logicalWidth - w, 0.0));
            if (left < previousRight + fm.averageCharWidth())
                continue; // would overlap its neighbour
            previousRight = left + w;
            const double cx = left + w / 2;
            painter.drawText(QPointF(cx - fm.horizontalAdvance(t.label) / 2, top + fm.ascent()), t.label);
            if (!t.dateLabel.isEmpty())
                painter.drawText(
                    QPointF(cx - fm.horizontalAdvance(t.dateLabel) / 2, top + fm.height() + fm.ascent()),
                    t.dateLabel);
        }
        if (!ticks.message.isEmpty()) {
            const double w = fm.horizontalAdvance(ticks.message);
            const double cx = (l.left + l.width / 2.0) / ratio;
            painter.drawText(QPointF(std::max(cx - w / 2, 0.0), top + fm.ascent()), ticks.message);
        }
    }

    const TScaleProps& sy = model.Scale1Y();
    if (sy.Visible()) {
        const ScaleTicks ticks = chartScaleTicks(sy);
        const AxisMapping m = model.yMapping(1);
        const int base = l.left - 1; // the frame's left column
        painter.save();
        painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
        painter.setPen(QPen(toQColor(sy.ColorScale()), 0));
        for (const ChartTick& t : ticks.ticks) {
            const int y = m.toClampedPixel(t.value);
            if (y < l.top || y > l.top + l.height)
                continue;
            const int len = devicePixels(t.major ? ticks.majorLength : ticks.minorLength, ratio);
            painter.drawLine(base - len, y, base, y);
        }
        painter.restore();
        painter.setPen(toQColor(sy.ColorScale()));
        const double right = base / ratio - ticks.majorLength - kLabelGap;
        const double lines = fm.height();
        double previousTop = 1e9;
        for (const ChartTick& t : ticks.ticks) {
            if (t.label.isEmpty())
                continue;
            const int y = m.toClampedPixel(t.value);
            if (y < l.top || y > l.top + l.height)
                continue;
            const double h = t.dateLabel.isEmpty() ? lines : 2 * lines;
            const double top = std::clamp(y / ratio - lines / 2, 0.0, std::max(logicalHeight - h, 0.0));
            if (top + h > previousTop && top < previousTop + h)
                continue; // would overlap its neighbour
            previousTop = top;
            painter.drawText(QPointF(right - fm.horizontalAdvance(t.label), top + fm.ascent()), t.label);
            if (!t.dateLabel.isEmpty())
                painter.drawText(
                    QPointF(right - fm.horizontalAdvance(t.dateLabel), top + lines + fm.ascent()),
                    t.dateLabel);
        }
        if (!ticks.message.isEmpty())
            painter.drawText(QPointF(2, (l.top + l.height / 2.0) / ratio), ticks.message);
    }
    painter.restore();
}

} // namespace kv58
