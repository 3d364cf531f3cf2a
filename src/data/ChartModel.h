// The chart without its window: the item list, the sixteen layers' axis descriptions with the range
// rules, the layout of the data area and the world-to-pixel mapping. TRChart paints it; tests use
// it directly.
#pragma once

#include "data/ChartItemList.h"
#include "data/ChartMapping.h"
#include "data/ChartScale.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace kv58 {

enum class TGridStyle { gsNone, gsLines, gsDots };
enum class TShadowStyle { ssNone, ssFlying };

// Distances of the data area from the control's edges, in logical pixels.
struct ChartRims {
    int left = 50;
    int right = 20;
    int top = 20;
    int bottom = 40;
    friend bool operator==(const ChartRims&, const ChartRims&) = default;
};

// The control in device pixels. The data area spans columns left .. left + width and rows
// top .. top + height, both ends included: a range end maps onto the area's last column or row.
struct ChartLayout {
    int controlWidth = 0;
    int controlHeight = 0;
    int left = 0;
    int top = 0;
    int width = 0;  // W
    int height = 0; // H
    double pixelRatio = 1;
};

struct ChartMappings {
    std::array<AxisMapping, kChartLayers> x;
    std::array<AxisMapping, kChartLayers> y;
};

class ChartModel {
public:
    ChartModel();
    ChartModel(const ChartModel&) = delete;
    ChartModel& operator=(const ChartModel&) = delete;

    // Called whenever the shown chart has to be redrawn (ShowGraf, range and look changes).
    void setRepaintHandler(std::function<void()> handler) { repaint_ = std::move(handler); }

    // While one of these lives, redraw requests are held back; the last one to end makes a single
    // request if any was held. For callers that draw many samples in one go.
    class RepaintBatch {
    public:
        explicit RepaintBatch(ChartModel& chart) : chart_(chart) { ++chart_.batchDepth_; }
        ~RepaintBatch() { chart_.endBatch(); }
        RepaintBatch(const RepaintBatch&) = delete;
        RepaintBatch& operator=(const RepaintBatch&) = delete;
        RepaintBatch(RepaintBatch&&) = delete;
        RepaintBatch& operator=(RepaintBatch&&) = delete;

    private:
        ChartModel& chart_;
    };

    // --- items
    void MoveTo(double x, double y);
    void DrawTo(double x, double y);
    void RemoveFirstItem();
    void ClearGraf();
    void ShowGraf();

    ChartColor DataColor() const { return dataColor_; }
    void setDataColor(ChartColor color) { dataColor_ = color; }
    TPenStyle PenStyle() const { return penStyle_; }
    void setPenStyle(TPenStyle style) { penStyle_ = style; }
    int DataTag() const { return dataTag_; }
    void setDataTag(int tag) { dataTag_ = tag; }
    int ClassDefault() const { return classDefault_; }
    void setClassDefault(int itemClass) { classDefault_ = itemClass; }
    int ActiveLayer() const { return activeLayer_; }
    void setActiveLayer(int layer);

    int AllocSize() const { return items_.allocSize(); }
    void setAllocSize(int size) { items_.setAllocSize(size); }
    int NumChartItems() const { return items_.count(); }
    int NumAllocData() const { return items_.allocated(); }
    int LastElemOnShow() const { return lastElemOnShow_; }
    const ChartItemList& items() const { return items_; }

    // --- ranges
    // Sets both ranges of one layer, or of all sixteen with layer 0.
    void SetRange(int layer, double loX, double loY, double hiX, double hiY);
    TScaleProps& Scale1X() { return *scalesX_[0]; }
    TScaleProps& Scale1Y() { return *scalesY_[0]; }
    const TScaleProps& Scale1X() const { return *scalesX_[0]; }
    const TScaleProps& Scale1Y() const { return *scalesY_[0]; }
    TScaleProps& scaleX(int layer) { return *scalesX_[layerIndex(layer)]; }
    TScaleProps& scaleY(int layer) { return *scalesY_[layerIndex(layer)]; }
    const TScaleProps& scaleX(int layer) const { return *scalesX_[layerIndex(layer)]; }
    const TScaleProps& scaleY(int layer) const { return *scalesY_[layerIndex(layer)]; }

    // --- look
    ChartRims rims() const { return rims_; }
    void setRims(const ChartRims& rims);
    ChartColor FillColor() const { return fillColor_; }
    void setFillColor(ChartColor color);
    ChartColor WindColor() const { return windColor_; }
    void setWindColor(ChartColor color);
    ChartColor GridColor() const { return gridColor_; }
    void setGridColor(ChartColor color);
    TGridStyle GridStyle() const { return gridStyle_; }
    void setGridStyle(TGridStyle style);
    TShadowStyle ShadowStyle() const { return shadowStyle_; }
    void setShadowStyle(TShadowStyle style);

    // --- geometry and mapping
    // Size of the control in logical pixels and the device pixel ratio it is drawn at.
    void setGeometry(int width, int height, double pixelRatio = 1.0);
    const ChartLayout& layout() const { return layout_; }
    AxisMapping xMapping(int layer = 1) const;
    AxisMapping yMapping(int layer = 1) const;
    ChartMappings mappings() const;

    // Counters for caches: the view changes with ranges, look and geometry; the generation with
    // every removal of items (appends change neither).
    std::uint64_t viewRevision() const { return viewRevision_; }
    std::uint64_t itemsGeneration() const { return itemsGeneration_; }

private:
    friend class TScaleProps;
    static std::size_t layerIndex(int layer);
    void scaleChanged();
    void viewChanged();
    void requestRepaint();
    void endBatch();
    void append(TrcItem kind, double x, double y);

    ChartItemList items_;
    std::array<std::unique_ptr<TScaleProps>, kChartLayers> scalesX_;
    std::array<std::unique_ptr<TScaleProps>, kChartLayers> scalesY_;
    std::function<void()> repaint_;
    int batchDepth_ = 0;       // open RepaintBatch objects
    bool repaintHeld_ = false; // a request came while a batch was open

    ChartColor dataColor_ = chartcolors::black;
    TPenStyle penStyle_ = TPenStyle::psSolid;
    int dataTag_ = 0;
    int classDefault_ = 0;
    int activeLayer_ = 1;
    int lastElemOnShow_ = 0;

    ChartRims rims_;
    ChartColor fillColor_ = chartcolors::white;
    ChartColor windColor_ = chartcolors::white;
    ChartColor gridColor_ = chartcolors::silver;
    TGridStyle gridStyle_ = TGridStyle::gsLines;
    TShadowStyle shadowStyle_ = TShadowStyle::ssFlying;

    int logicalWidth_ = 0;
    int logicalHeight_ = 0;
    ChartLayout layout_;
    std::uint64_t viewRevision_ = 1;
    std::uint64_t itemsGeneration_ = 1;
};

} // namespace kv58
