// Enumerations shared by the display controls: frame style, colour scheme of the frame and the
// choice of decimal separator for numeric input.
#pragma once

#include <QChar>

namespace kv58 {

enum class TFrameStyle { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };

// csBWG draws frames in fixed black, white and grey; csSystem takes the colours from the palette.
enum class TColorScheme { csBWG, csSystem };

// dsSystem: the process-wide decimal separator; dsDot: "."; dsComma: ","; dsBoth: either.
enum class TDecPSep { dsSystem, dsDot, dsComma, dsBoth };

// The process-wide decimal separator that dsSystem fields follow. The application keeps it in step
// with its own number formats; it is "." until set.
QChar systemDecimalSeparator();
void setSystemDecimalSeparator(QChar sep);

} // namespace kv58
