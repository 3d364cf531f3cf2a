#include "data/ChartScale.h"

#include "data/ChartModel.h"

#include <cmath>
#include <stdexcept>

namespace kv58 {

TScaleProps::TScaleProps(ChartModel* owner, double low, double high) : owner_(owner), low_(low), high_(high)
{
}

void TScaleProps::changed()
{
    if (owner_)
        owner_->scaleChanged();
}

void TScaleProps::setRangeLow(double value)
{
    if (minRange_ > std::fabs(high_ - value)) {
        low_ = value;
        high_ = value + minRange_;
    } else if (logarithmic_ && !(value > 0)) {
        return;
    } else {
        low_ = value;
    }
    changed();
}

void TScaleProps::setRangeHigh(double value)
{
    if (minRange_ > std::fabs(low_ - value)) {
        // The mirror of a low write: the written end stays, the other end keeps the distance.
        high_ = value;
        low_ = value - minRange_;
    } else if (logarithmic_ && !(value > 0)) {
        return;
    } else {
        high_ = value;
    }
    changed();
}

void TScaleProps::setMinRange(double value)
{
    minRange_ = std::fabs(value);
    changed();
}

void TScaleProps::setLogarithmic(bool on)
{
    if (on && !(low_ > 0 && high_ > 0))
        throw std::invalid_argument("Logarithmic axis must not be negative.");
    logarithmic_ = on;
    changed();
}

void TScaleProps::setLabelType(TFigType type)
{
    labelType_ = type;
    changed();
}

void TScaleProps::setDecPlaces(int places)
{
    decPlaces_ = places;
    changed();
}

void TScaleProps::setMinTicks(int ticks)
{
    minTicks_ = ticks == 0 ? 0 : std::clamp(ticks, 2, 10);
    changed();
}

void TScaleProps::setShortTicks(bool on)
{
    shortTicks_ = on;
    changed();
}

void TScaleProps::setVisible(bool on)
{
    visible_ = on;
    changed();
}

void TScaleProps::setColorScale(ChartColor color)
{
    colorScale_ = color;
    changed();
}

void TScaleProps::setDateTimeFormat(const DateTimeLabelFormat& format)
{
    dateTime_ = format;
    changed();
}

} // namespace kv58
