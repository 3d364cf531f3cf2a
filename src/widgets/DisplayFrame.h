// The frame drawn around the display controls, and the room it takes.
#pragma once

#include "widgets/DisplayTypes.h"

#include <QRect>

class QPainter;
class QPalette;

namespace kv58 {

// Pixels that a frame adds to a control's automatic height: 1 for a simple, lowered or raised frame,
// 2 for an embossed or engraved one, 0 without a frame.
int frameAllowance(TFrameStyle style);

// Draws the frame on the outermost pixels of `rect` with whole-pixel fills, so it stays sharp at any
// device pixel ratio.
void drawDisplayFrame(QPainter& painter, const QRect& rect, TFrameStyle style, TColorScheme scheme,
                      const QPalette& palette);

} // namespace kv58
