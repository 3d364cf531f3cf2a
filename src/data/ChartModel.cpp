#include "data/ChartModel.h"

#include <algorithm>
#include <cmath>

namespace kv58 {

ChartModel::ChartModel()
{
    for (std::size_t i = 0; i < scalesX_.size(); ++i) {
        scalesX_[i] = std::make_unique<TScaleProps>(this, 0.0, 1.0);
        scalesY_[i] = std::make_unique<TScaleProps>(this, 0.0, 1.0);
        if (i > 0) {
            scalesX_[i]->visible_ = false;
            scalesY_[i]->visible_ = false;
        }
    }
    // Layer 1 as the chart of the measurement window uses it: time of day along X, values along Y.
    TScaleProps& x = *scalesX_[0];
    x.labelType_ = TFigType::ftDateTime;
    TScaleProps& y = *scalesY_[0];
    y.low_ = -1;
    y.high_ = 21;
}

std::size_t ChartModel::layerIndex(int layer)
{
    return static_cast<std::size_t>(std::clamp(layer, 1, kChartLayers) - 1);
}

void ChartModel::setActiveLayer(int layer)
{
    activeLayer_ = std::clamp(layer, 1, kChartLayers);
}

void ChartModel::append(TrcItem kind, double x, double y)
{
    TrcChartItem item;
    item.ItemKind = kind;
    item.Layer = static_cast<std::uint8_t>(activeLayer_);
    item.ItemClass = static_cast<std::uint8_t>(classDefault_);
    item.Color = dataColor_;
    item.PenStyle = penStyle_;
    item.Tag = dataTag_;
    item.LWid = 1;
    item.x = x;
    item.y = y;
    item.CoordMode = TCoordMode::cmAllWorld;
    items_.append(item);
}

void ChartModel::MoveTo(double x, double y)
{
    append(TrcItem::tkMoveTo, x, y);
}

void ChartModel::DrawTo(double x, double y)
{
    append(TrcItem::tkLineto, x, y);
}

void ChartModel::RemoveFirstItem()
{
    if (items_.isEmpty())
        return;
    items_.removeFirst();
    ++itemsGeneration_;
}

void ChartModel::ClearGraf()
{
    items_.clear();
    lastElemOnShow_ = 0;
    ++itemsGeneration_;
}

void ChartModel::ShowGraf()
{
    lastElemOnShow_ = std::max(items_.count() - 1, 0);
    requestRepaint();
}

void ChartModel::SetRange(int layer, double loX, double loY, double hiX, double hiY)
{
    auto widen = [](const TScaleProps& s, double& lo, double& hi) {
        if (lo != hi)
            return;
        if (s.logarithmic_) {
            hi *= 1.1;
            lo /= 1.1;
        } else {
            hi += s.minRange_ / 2;
            lo -= s.minRange_ / 2;
        }
    };
    auto apply = [](TScaleProps& s, double lo, double hi) {
        if (!(std::fabs(hi - lo) >= 0.99 * s.minRange_))
            return; // too narrow (or not a number): the axis keeps its range
        if (s.logarithmic_) {
            if (lo > 0)
                s.low_ = lo;
            if (hi > 0)
                s.high_ = hi;
            return;
        }
        s.low_ = lo;
        s.high_ = hi;
    };
    const std::size_t first = layer == 0 ? 0 : layerIndex(layer);
    const std::size_t last = layer == 0 ? kChartLayers - 1 : first;
    for (std::size_t i = first; i <= last; ++i) {
        double lx = loX;
        double hx = hiX;
        double ly = loY;
        double hy = hiY;
        widen(*scalesX_[i], lx, hx);
        widen(*scalesY_[i], ly, hy);
        apply(*scalesX_[i], lx, hx);
        apply(*scalesY_[i], ly, hy);
    }
    viewChanged();
}

void ChartModel::setRims(const ChartRims& rims)
{
    rims_ = rims;
    setGeometry(logicalWidth_, logicalHeight_, layout_.pixelRatio);
    viewChanged();
}

void ChartModel::setFillColor(ChartColor color)
{
    fillColor_ = color;
    viewChanged();
}

void ChartModel::setWindColor(ChartColor color)
{
    windColor_ = color;
    viewChanged();
}

void ChartModel::setGridColor(ChartColor color)
{
    gridColor_ = color;
    viewChanged();
}

void ChartModel::setGridStyle(TGridStyle style)
{
    gridStyle_ = style;
    viewChanged();
}

void ChartModel::setShadowStyle(TShadowStyle style)
{
    shadowStyle_ = style;
    viewChanged();
}

void ChartModel::setGeometry(int width, int height, double pixelRatio)
{
    if (!(pixelRatio > 0))
        pixelRatio = 1;
    auto device = [pixelRatio](int logical) { return static_cast<int>(std::lround(logical * pixelRatio)); };
    ChartLayout l;
    l.pixelRatio = pixelRatio;
    l.controlWidth = device(std::max(width, 0));
    l.controlHeight = device(std::max(height, 0));
    l.left = device(rims_.left);
    l.top = device(rims_.top);
    // One pixel of frame allowance: the area includes its last column and row.
    l.width = std::max(l.controlWidth - l.left - device(rims_.right) - 1, 0);
    l.height = std::max(l.controlHeight - l.top - device(rims_.bottom) - 1, 0);
    logicalWidth_ = width;
    logicalHeight_ = height;
    const bool same = l.controlWidth == layout_.controlWidth && l.controlHeight == layout_.controlHeight &&
                      l.left == layout_.left && l.top == layout_.top && l.width == layout_.width &&
                      l.height == layout_.height && l.pixelRatio == layout_.pixelRatio;
    layout_ = l;
    if (!same)
        ++viewRevision_;
}

AxisMapping ChartModel::xMapping(int layer) const
{
    const TScaleProps& s = scaleX(layer);
    return AxisMapping::make(layout_.left, layout_.width, s.low_, s.high_, s.logarithmic_);
}

AxisMapping ChartModel::yMapping(int layer) const
{
    const TScaleProps& s = scaleY(layer);
    return AxisMapping::make(layout_.top + layout_.height, -layout_.height, s.low_, s.high_, s.logarithmic_);
}

ChartMappings ChartModel::mappings() const
{
    ChartMappings m;
    for (int layer = 1; layer <= kChartLayers; ++layer) {
        m.x[static_cast<std::size_t>(layer - 1)] = xMapping(layer);
        m.y[static_cast<std::size_t>(layer - 1)] = yMapping(layer);
    }
    return m;
}

void ChartModel::scaleChanged()
{
    viewChanged();
}

void ChartModel::viewChanged()
{
    ++viewRevision_;
    requestRepaint();
}

void ChartModel::requestRepaint()
{
    if (batchDepth_ > 0) {
        repaintHeld_ = true;
        return;
    }
    if (repaint_)
        repaint_();
}

void ChartModel::endBatch()
{
    if (--batchDepth_ > 0 || !repaintHeld_)
        return;
    repaintHeld_ = false;
    requestRepaint();
}

} // namespace kv58
