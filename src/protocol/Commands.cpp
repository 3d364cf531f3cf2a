#include "protocol/Commands.h"

#include "core/Formats.h"

#include <algorithm>
#include <cmath>

namespace kv58::cmd {
namespace {

QString digits(long long value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

QString channelDigit(int channel)
{
    return QString::number(channel);
}

} // namespace

QString dateParameter(TDateTime date)
{
    return formatDate(date, DateOrder::DayMonthYear, u'.');
}

QString clockParameter(TDateTime localNow)
{
    const CalendarDate d = decodeDate(localNow);
    const TimeOfDay t = decodeTime(localNow);
    return digits(d.year, 4) + digits(d.month, 2) + digits(d.day, 2) + u'-' +
           QString::number(dayOfWeek(localNow) - 1) + u'-' + digits(t.hour, 2) + digits(t.minute, 2) +
           digits(t.second, 2);
}

QString serialNumberDigits(double serialNumber)
{
    return digits(roundHalfEven(serialNumber), 4);
}

QString serialText(const QString& hardwareVersion, double serialNumber)
{
    return QStringLiteral("64 58 ") + hardwareVersion + u' ' + serialNumberDigits(serialNumber);
}

QString inUse()
{
    return QStringLiteral("InUse!");
}

QString setUse(bool yes)
{
    return yes ? QStringLiteral("SetUse:YES!") : QStringLiteral("SetUse:NO!");
}

QString powerOn()
{
    return QStringLiteral("POWER ON!");
}

QString powerOff()
{
    return QStringLiteral("POWER OFF!");
}

QString runIrradiation()
{
    return QStringLiteral("RUN IRRADIATION!");
}

QString runTransmission()
{
    return QStringLiteral("RUN TRANSMISSION!");
}

QString runRelation()
{
    return QStringLiteral("RUN RELATION!");
}

QString stop()
{
    return QStringLiteral("STOP!");
}

QString offset()
{
    return QStringLiteral("OFFSET!");
}

QString hundredPercent()
{
    return QStringLiteral("100%!");
}

QString swap()
{
    return QStringLiteral("SWAP!");
}

QString setIntervall(const QString& intervalText)
{
    return QStringLiteral("SET INTERVALL:") + intervalText + u'!';
}

QString setGain(int gainItem)
{
    return gainItem == 1 ? QStringLiteral("SET GAIN:ON!") : QStringLiteral("SET GAIN:OFF!");
}

QString setUnit(int unitItem)
{
    return unitItem == 1 ? QStringLiteral("SET UNIT:0!") : QStringLiteral("SET UNIT:1!");
}

QString setRtc(TDateTime localNow)
{
    return QStringLiteral("SET RTC:") + clockParameter(localNow) + u'!';
}

QString zeit()
{
    return QStringLiteral("ZEIT!");
}

QString getRtcCal()
{
    return QStringLiteral("GET RTC CAL!");
}

QString calRtc(double correctionValue)
{
    // The field holds at most 255; the clamp only keeps a wild value from overflowing.
    const double whole =
        std::isfinite(correctionValue) ? std::trunc(std::clamp(correctionValue, -1e15, 1e15)) : 0;
    return QStringLiteral("CAL RTC:") + QString::number(static_cast<long long>(whole)) + u'!';
}

QString getSerial()
{
    return QStringLiteral("GET SERIAL!");
}

QString getFirm()
{
    return QStringLiteral("GET FIRM!");
}

QString setCustomer(const QString& customer)
{
    return QStringLiteral("SET CUSTOMER:") + customer + u'!';
}

QString setBuild(TDateTime buildDate)
{
    return QStringLiteral("SET BUILD:") + dateParameter(buildDate) + u'!';
}

QString setSerial(const QString& hardwareVersion, double serialNumber)
{
    return QStringLiteral("SET SERIAL:") + serialText(hardwareVersion, serialNumber) + u'!';
}

QString setCalDate(TDateTime calDate)
{
    return QStringLiteral("SET CALDATE:") + dateParameter(calDate) + u'!';
}

QString updateKv58()
{
    return QStringLiteral("Update-KV58!");
}

QString calibration(int channel, const QString& factorText)
{
    return QStringLiteral("CALIBRATION CH") + channelDigit(channel) + u':' + factorText + u'!';
}

QString sensorOffset(int channel, const QString& offsetText)
{
    return QStringLiteral("Sensoroffset CH") + channelDigit(channel) + u':' + offsetText + u'!';
}

QString calDateChannel(int channel, TDateTime today)
{
    return QStringLiteral("CALDATE CH") + channelDigit(channel) + u':' + dateParameter(today) + u'!';
}

} // namespace kv58::cmd
