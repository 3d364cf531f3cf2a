// The chart's vocabulary: drawing instructions (items), their kinds, pens and colours, shared by
// the widget-free chart model and the painter that draws it.
#pragma once

#include <cstdint>

namespace kv58 {

// A colour as 0xRRGGBB. Colours given in the blue-green-red order of the instrument program's
// settings and feed (0xFF0000 is blue there) are converted with chartColorFromBgr.
using ChartColor = std::uint32_t;

constexpr ChartColor chartColorFromBgr(std::uint32_t bgr)
{
    return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

namespace chartcolors {
constexpr ChartColor black = 0x000000;
constexpr ChartColor white = 0xFFFFFF;
constexpr ChartColor silver = 0xC0C0C0;
constexpr ChartColor gray = 0x808080;
} // namespace chartcolors

// Kinds of drawing instructions, in their stored order. The chart draws tkMoveTo and tkLineto;
// the other kinds are known so that item lists keep their meaning, and are skipped when drawing.
enum class TrcItem : std::uint8_t {
    tkNone,
    tkMarkAt,
    tkLine,
    tkLineto,
    tkRect,
    tkRectFrame,
    tk3DBar,
    tkText,
    tkMoveTo,
    tkEllipse,
    tkEverything,
    tkNotMoveTo,
    tkMoveRelPix,
    tkLineRelPix,
    tkArrow,
    tkDoubleArrow,
    tkTextOfs,
    tkRectRelPix,
    tkMarkEBar,
    tkLineOffs,
    tkArc,
    tkLineRelPixOrig,
    tkCursorVert,
    tkCursorHoriz
};

enum class TCoordMode : std::uint8_t {
    cmAllWorld,
    cmAllScreen,
    cmWorldMainScreenSec,
    cmScreenMainWorldSec,
    cmXScreenYWorld,
    cmXWorldYScreen
};

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

// The pen of a line item: lines of one pen form one curve.
struct ChartPen {
    ChartColor color = chartcolors::black;
    TPenStyle style = TPenStyle::psSolid;
    friend bool operator==(const ChartPen&, const ChartPen&) = default;
};

// One drawing instruction. Only the fields that line items use are stored, so that a list of a
// million points stays at 32 bytes per item.
struct TrcChartItem {
    double x = 0;
    double y = 0;
    ChartColor Color = chartcolors::black;
    std::int32_t Tag = 0;
    TrcItem ItemKind = TrcItem::tkNone;
    std::uint8_t Layer = 1; // 1 to 16
    std::uint8_t ItemClass = 0;
    TPenStyle PenStyle = TPenStyle::psSolid;
    std::uint8_t LWid = 1;
    TCoordMode CoordMode = TCoordMode::cmAllWorld;
};

constexpr int kChartLayers = 16;

} // namespace kv58
