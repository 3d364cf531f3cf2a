#include "app/measure/LiveMeasurement.h"

#include "app/measure/MeasurePage.h"
#include "app/measure/TablePage.h"
#include "core/Translation.h"
#include "data/Measurement.h"
#include "protocol/MessageEffects.h"

namespace kv58 {

LiveMeasurement::LiveMeasurement(Measurement& measurement, const Clock& clock, MeasurePage& displays,
                                 TablePage& table, std::function<LiveSettings()> settings, QObject* parent)
    : QObject(parent), measurement_(measurement), displays_(displays), table_(table),
      settings_(std::move(settings)), run_(measurement, clock, [](const char* english) { return _(english); })
{
}

void LiveMeasurement::apply(const IrradiationLine& line)
{
    emit lineArrived();
    if (!storeChannels(line, zeit_, kanal1_, kanal2_))
        return;
    show(run_.irradiation(kanal1_, kanal2_, zeit_, settings_()));
}

void LiveMeasurement::apply(const TransmissionLine& line)
{
    emit lineArrived();
    if (!storeChannels(line, kanal1_, kanal2_))
        return;
    show(run_.transmission(kanal1_, kanal2_, settings_()));
}

void LiveMeasurement::apply(const RelationLine& line)
{
    emit lineArrived();
    run_.relationLineArrived();
    if (!storeChannels(line, kanal1_))
        return;
    show(run_.relation(kanal1_, settings_()));
}

void LiveMeasurement::show(const LiveDisplay& display)
{
    if (display.clock)
        displays_.showClock(*display.clock);
    if (display.channel1)
        displays_.showChannel(1, *display.channel1);
    if (display.channel2)
        displays_.showChannel(2, *display.channel2);
    if (display.scroll && display.row > 0)
        table_.showRow(display.row);
}

void LiveMeasurement::runStarted(int kind, bool bothSensors)
{
    run_.start(kind, bothSensors, settings_());
    table_.setCommonHeaderShown(true);
    emit measurePageWanted();
}

void LiveMeasurement::runEnded()
{
    displays_.hideLiveDisplays();
}

void LiveMeasurement::switchedOff()
{
    emit measurePageWanted();
    displays_.hideLiveDisplays();
}

} // namespace kv58
