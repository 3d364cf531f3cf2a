#include "Kv58Instrument.h"

#include "SimLines.h"
#include "core/Formats.h"

#include <algorithm>
#include <cmath>

namespace kv58::sim {

namespace {

// Fraction of the light that the sample in the beam passes, per channel, in transmission runs.
constexpr std::array<double, 2> kSampleTransmittance{0.72, 0.86};

const QStringList kParameterCommands{QStringLiteral("SET INTERVALL:"),    QStringLiteral("SET GAIN:"),
                                     QStringLiteral("SET UNIT:"),         QStringLiteral("SET RTC:"),
                                     QStringLiteral("CAL RTC:"),          QStringLiteral("SET CUSTOMER:"),
                                     QStringLiteral("SET BUILD:"),        QStringLiteral("SET SERIAL:"),
                                     QStringLiteral("SET CALDATE:"),      QStringLiteral("CALIBRATION CH1:"),
                                     QStringLiteral("CALIBRATION CH2:"),  QStringLiteral("Sensoroffset CH1:"),
                                     QStringLiteral("Sensoroffset CH2:"), QStringLiteral("CALDATE CH1:"),
                                     QStringLiteral("CALDATE CH2:")};

const QStringList kPlainCommands{QStringLiteral("InUse"),
                                 QStringLiteral("SetUse:YES"),
                                 QStringLiteral("SetUse:NO"),
                                 QStringLiteral("POWER ON"),
                                 QStringLiteral("POWER OFF"),
                                 QStringLiteral("RUN IRRADIATION"),
                                 QStringLiteral("RUN TRANSMISSION"),
                                 QStringLiteral("RUN RELATION"),
                                 QStringLiteral("STOP"),
                                 QStringLiteral("OFFSET"),
                                 QStringLiteral("100%"),
                                 QStringLiteral("SWAP"),
                                 QStringLiteral("ZEIT"),
                                 QStringLiteral("GET RTC CAL"),
                                 QStringLiteral("GET SERIAL"),
                                 QStringLiteral("GET FIRM"),
                                 QStringLiteral("Update-KV58")};

// "yyyymmdd-w-hhnnss" as the host forms it.
std::optional<TDateTime> parseClock(const QString& text)
{
    if (text.size() != 17 || text[8] != u'-' || text[10] != u'-')
        return std::nullopt;
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 9, 11, 12, 13, 14, 15, 16})
        if (!text[i].isDigit())
            return std::nullopt;
    auto num = [&text](int from, int count) { return text.mid(from, count).toInt(); };
    const auto date = encodeDate(num(0, 4), num(4, 2), num(6, 2));
    const auto time = encodeTime(num(11, 2), num(13, 2), num(15, 2));
    if (!date || !time)
        return std::nullopt;
    return *date + *time;
}

QString clockText(TDateTime t)
{
    return formatDate(t, DateOrder::YearMonthDay, u'.') + u' ' + formatTime(t, u':');
}

std::optional<QString> normalisedDate(const QString& text)
{
    const auto date = parseDate(text, DateOrder::DayMonthYear, u'.');
    if (!date)
        return std::nullopt;
    return formatDate(*date, DateOrder::DayMonthYear, u'.');
}

} // namespace

namespace {
// A sensor plugged in later gets the level of its default kind.
double levelOf(const std::optional<SensorSetup>& sensor, const QString& fallbackType, int channel)
{
    return sensor ? sensor->level : defaultSensor(fallbackType, channel).level;
}
} // namespace

SensorSetup defaultSensor(const QString& type, int channel)
{
    SensorSetup s;
    s.type = type;
    s.serial = channel == 1 ? QStringLiteral("58-1041") : QStringLiteral("58-2077");
    s.customer = QStringLiteral("Velmark Demo");
    s.productionDate = QStringLiteral("02.02.2021");
    s.calibrationDate = QStringLiteral("05.01.2024");
    if (type.startsWith(QStringLiteral("VIS"))) {
        s.rangeLo = QStringLiteral("400");
        s.rangeHi = QStringLiteral("700");
        s.level = 250;
    } else if (type.startsWith(QStringLiteral("UVB"))) {
        s.rangeLo = QStringLiteral("280");
        s.rangeHi = QStringLiteral("315");
        s.level = 4;
    } else {
        s.rangeLo = QStringLiteral("315");
        s.rangeHi = QStringLiteral("400");
        s.level = 30;
    }
    return s;
}

void makeUnprogrammed(InstrumentSetup& setup)
{
    setup.customer = QStringLiteral("NOT SET");
    setup.buildDate = QStringLiteral("01.01.1990");
    setup.calDate = QStringLiteral("01.01.1990");
    setup.serial = QStringLiteral("64 58 %1 XXXX").arg(setup.hardware);
}

Kv58Instrument::Kv58Instrument(InstrumentSetup setup, std::int64_t nowMs)
    : setup_(std::move(setup)), startMs_(nowMs),
      clock_(setup_.clockStart, nowMs, setup_.driftPpm, setup_.timeScale),
      signals_{SensorSignal(levelOf(setup_.sensors[0], QStringLiteral("UVA"), 1), 0.0, setup_.seed),
               SensorSignal(levelOf(setup_.sensors[1], QStringLiteral("VISL"), 2), 1.3, setup_.seed + 1)}
{
    present_ = {setup_.sensors[0].has_value(), setup_.sensors[1].has_value()};
}

void Kv58Instrument::send(const QString& line, std::int64_t due, bool burst)
{
    outbox_.emplace(std::make_pair(due, sequence_++), Pending{line, burst});
}

std::int64_t Kv58Instrument::intervalMs() const
{
    return std::max<std::int64_t>(1, std::llround(interval_ * 1000.0 / setup_.timeScale));
}

int Kv58Instrument::sensorCount() const
{
    return int(present_[0]) + int(present_[1]);
}

void Kv58Instrument::advance(std::int64_t nowMs)
{
    // After a long stall (a suspended machine) the samples missed are skipped, not sent in a burst.
    constexpr std::int64_t kBacklog = 10;
    if (run_ != Run::None && nowMs - nextSample_ > kBacklog * intervalMs())
        nextSample_ += (nowMs - nextSample_) / intervalMs() * intervalMs();
    while (run_ != Run::None && nextSample_ <= nowMs) {
        send(sampleLine(nextSample_), nextSample_);
        nextSample_ += intervalMs();
    }
}

QStringList Kv58Instrument::take(std::int64_t nowMs)
{
    advance(nowMs);
    QStringList lines;
    while (!outbox_.empty() && outbox_.begin()->first.first <= nowMs) {
        lines << outbox_.begin()->second.line;
        outbox_.erase(outbox_.begin());
    }
    return lines;
}

std::optional<std::int64_t> Kv58Instrument::nextDue() const
{
    std::optional<std::int64_t> due;
    if (!outbox_.empty())
        due = outbox_.begin()->first.first;
    if (run_ != Run::None)
        due = due ? std::min(*due, nextSample_) : nextSample_;
    return due;
}

void Kv58Instrument::command(const QString& line, int host, std::int64_t nowMs)
{
    if (setup_.silent)
        return;
    advance(nowMs);
    if (!line.endsWith(u'!')) {
        send(QStringLiteral("NACK:UNKNOWN COMMAND"), nowMs);
        return;
    }
    const QString body = line.chopped(1);
    if (kPlainCommands.contains(body)) {
        handle(body, QString(), host, nowMs);
        return;
    }
    for (const QString& prefix : kParameterCommands) {
        if (body.startsWith(prefix)) {
            handle(prefix, body.mid(prefix.size()), host, nowMs);
            return;
        }
    }
    send(QStringLiteral("NACK:UNKNOWN COMMAND"), nowMs);
}

void Kv58Instrument::hostLeft(int host)
{
    if (claimedBy_ == host)
        claimedBy_ = 0;
}

void Kv58Instrument::handle(const QString& command, const QString& parameter, int host, std::int64_t nowMs)
{
    if (command == u"InUse") {
        const bool taken = setup_.inUseElsewhere || (claimedBy_ != 0 && claimedBy_ != host);
        send(taken ? QStringLiteral("USE:YES") : QStringLiteral("USE:NO"), nowMs);
    } else if (command == u"SetUse:YES") {
        claimedBy_ = host;
    } else if (command == u"SetUse:NO") {
        hostLeft(host);
    } else if (command == u"POWER ON") {
        powerOn(nowMs);
    } else if (command == u"POWER OFF") {
        stopRun();
        on_ = false;
        std::erase_if(outbox_, [](const auto& entry) { return entry.second.burst; });
        send(QStringLiteral("ACK:KV58 IS OFF"), nowMs);
    } else if (command.startsWith(u"RUN ")) {
        if (!on_)
            send(QStringLiteral("NACK:KV58 IS OFF"), nowMs);
        else
            startRun(command == u"RUN IRRADIATION"    ? Run::Irradiation
                     : command == u"RUN TRANSMISSION" ? Run::Transmission
                                                      : Run::Relation,
                     nowMs);
    } else if (command == u"STOP") {
        stopRun();
        send(QStringLiteral("ACK:MEASUREMENT STOPPED"), nowMs);
    } else if (command == u"OFFSET") {
        // A dark reading would be taken here; nothing the host sees changes.
    } else if (command == u"100%") {
        // The present reading becomes 100 % of the run in progress.
        if (run_ == Run::Transmission) {
            const double seconds = (nowMs - startMs_) / 1000.0 * setup_.timeScale;
            for (std::size_t c = 0; c < 2; ++c)
                if (present_[c])
                    reference_[c] = signals_[c].irradiance(seconds) * kSampleTransmittance[c];
        } else if (run_ == Run::Relation) {
            const double a = reading(swapped_ ? 2 : 1, nowMs);
            const double b = reading(swapped_ ? 1 : 2, nowMs);
            relationReference_ = b != 0 && a != 0 ? a / b : 1;
        }
    } else if (command == u"SWAP") {
        swapped_ = !swapped_;
        relationReference_ = relationReference_ != 0 ? 1 / relationReference_ : 1;
    } else if (command == u"SET INTERVALL:") {
        bool ok = false;
        const int seconds = parameter.toInt(&ok);
        if (ok && seconds >= 1 && seconds <= 3600) {
            interval_ = seconds;
            if (run_ != Run::None)
                nextSample_ = nowMs + intervalMs();
        }
        // An interval out of range is refused by keeping the one in force, which the reply names.
        send(QStringLiteral("ACK:INTERVALL SET:%1 s").arg(interval_), nowMs);
    } else if (command == u"SET GAIN:") {
        if (parameter != u"ON" && parameter != u"OFF") {
            send(QStringLiteral("NACK:INVALID PARAMETER"), nowMs);
            return;
        }
        gain_ = parameter == u"ON";
        send(QStringLiteral("ACK:GAIN CONTROL: %1").arg(parameter), nowMs);
    } else if (command == u"SET UNIT:") {
        if (parameter != u"0" && parameter != u"1") {
            send(QStringLiteral("NACK:INVALID PARAMETER"), nowMs);
            return;
        }
        // The host reads two characters at a fixed place of this reply: "cm" for mW/cm².
        milliwattPerCm2_ = parameter == u"0";
        send(milliwattPerCm2_ ? QStringLiteral("ACK:UNIT SET: cm&") : QStringLiteral("ACK:UNIT SET: m&"),
             nowMs);
    } else if (command == u"SET RTC:") {
        const auto time = parseClock(parameter);
        if (!time) {
            send(QStringLiteral("NACK:INVALID CLOCK"), nowMs);
            return;
        }
        clock_.set(*time, nowMs);
        send(QStringLiteral("ACK:RTC SET"), nowMs);
    } else if (command == u"ZEIT") {
        send(QStringLiteral("ZEIT:") + clockText(clock_.at(nowMs)), nowMs);
    } else if (command == u"GET RTC CAL") {
        send(QStringLiteral("ACK:RTC CAL: %1").arg(clock_.correction()), nowMs);
    } else if (command == u"CAL RTC:") {
        bool ok = false;
        const int value = parameter.toInt(&ok);
        if (!ok || value < 0 || value > 255) {
            send(QStringLiteral("NACK:INVALID PARAMETER"), nowMs);
            return;
        }
        clock_.setCorrection(value, nowMs);
        send(QStringLiteral("ACK:RTC CAL SET: %1").arg(value), nowMs);
    } else if (!handleIdentity(command, parameter, nowMs) &&
               !handleSensorCalibration(command, parameter, nowMs)) {
        send(QStringLiteral("NACK:UNKNOWN COMMAND"), nowMs);
    }
}

// The host removes the last character of the "SERIAL" and "BuildDate:" replies, so both carry one
// more after the text.
bool Kv58Instrument::handleIdentity(const QString& command, const QString& parameter, std::int64_t nowMs)
{
    if (command == u"GET SERIAL") {
        send(QStringLiteral("ACK:SERIAL %1 ").arg(setup_.serial), nowMs);
    } else if (command == u"GET FIRM") {
        send(QStringLiteral("ACK:FIRMWARE %1 %2 %3").arg(setup_.firmware, setup_.hardware, setup_.usbStack),
             nowMs);
    } else if (command == u"SET CUSTOMER:") {
        setup_.customer = parameter;
        send(QStringLiteral("ACK:CUSTOMER:") + setup_.customer, nowMs);
    } else if (command == u"SET BUILD:" || command == u"SET CALDATE:") {
        const auto date = normalisedDate(parameter);
        if (!date) {
            send(QStringLiteral("NACK:INVALID DATE"), nowMs);
        } else if (command == u"SET BUILD:") {
            setup_.buildDate = *date;
            send(QStringLiteral("ACK:BuildDate:%1 ").arg(setup_.buildDate), nowMs);
        } else {
            setup_.calDate = *date;
            send(QStringLiteral("ACK:CALDATE:") + setup_.calDate, nowMs);
        }
    } else if (command == u"SET SERIAL:") {
        setup_.serial = parameter;
        send(QStringLiteral("ACK:SERIAL %1 ").arg(setup_.serial), nowMs);
    } else if (command == u"Update-KV58") {
        // The real instrument restarts into its loader here; the virtual one carries on.
    } else {
        return false;
    }
    return true;
}

bool Kv58Instrument::handleSensorCalibration(const QString& command, const QString& parameter,
                                             std::int64_t nowMs)
{
    const bool factor = command.startsWith(u"CALIBRATION CH");
    const bool offset = command.startsWith(u"Sensoroffset CH");
    const bool date = command.startsWith(u"CALDATE CH");
    if (!factor && !offset && !date)
        return false;
    const int channel = command.at(command.size() - 2).digitValue();
    auto& sensor = setup_.sensors[static_cast<std::size_t>(channel - 1)];
    if (!sensor || !present_[static_cast<std::size_t>(channel - 1)]) {
        if (!date)
            send(QStringLiteral("NACK:NO SENSOR CONNECTED"), nowMs);
        return true;
    }
    if (date) {
        if (const auto d = normalisedDate(parameter))
            sensor->calibrationDate = *d;
        return true;
    }
    const auto value = parseDecimal(parameter, u'.');
    if (!value || (factor && *value <= 0)) {
        send(QStringLiteral("NACK:INVALID PARAMETER"), nowMs);
        return true;
    }
    if (factor) {
        sensor->factor = parameter;
        send(QStringLiteral("ACK:CH%1 CALIBRATED: %2").arg(channel).arg(parameter), nowMs);
    } else {
        sensor->offset = parameter;
        send(QStringLiteral("ACK:CH%1 SensorOffset: %2").arg(channel).arg(parameter), nowMs);
    }
    return true;
}

void Kv58Instrument::powerOn(std::int64_t nowMs)
{
    // The host sends "POWER ON!" twice, 100 ms apart; the repeat meets an instrument still
    // starting and is absorbed. An instrument already on answers again, burst included.
    if (on_ && nowMs < bootUntil_)
        return;
    const std::int64_t due = on_ ? nowMs : nowMs + setup_.bootDelayMs;
    on_ = true;
    bootUntil_ = due;
    send(QStringLiteral("ACK:POWER IS ON"), due, true);
    send(QStringLiteral("ACK:FIRMWARE %1 %2 %3").arg(setup_.firmware, setup_.hardware, setup_.usbStack), due,
         true);
    send(QStringLiteral("ACK:SERIAL %1 ").arg(setup_.serial), due, true);
    send(QStringLiteral("ACK:CUSTOMER:") + setup_.customer, due, true);
    send(QStringLiteral("ACK:BuildDate:%1 ").arg(setup_.buildDate), due, true);
    send(QStringLiteral("ACK:CALDATE:") + setup_.calDate, due, true);
    for (int channel = 1; channel <= 2; ++channel)
        if (present_[static_cast<std::size_t>(channel - 1)])
            sendSensorLines(channel, due, true);
}

// Every key needs a blank after it: the host takes the key as the first word.
void Kv58Instrument::sendSensorLines(int channel, std::int64_t due, bool burst)
{
    const SensorSetup& s = *setup_.sensors[static_cast<std::size_t>(channel - 1)];
    const QString prefix = QStringLiteral("CH%1:").arg(channel);
    const std::pair<const char*, QString> fields[] = {{"Sensortyp:", s.type},
                                                      {"Serial:", s.serial},
                                                      {"Customer:", s.customer},
                                                      {"Production date:", s.productionDate},
                                                      {"Calibration date:", s.calibrationDate},
                                                      {"Kalibrierung:", s.factor},
                                                      {"SensorOffset:", s.offset},
                                                      {"RangeLo:", s.rangeLo},
                                                      {"RangeHi:", s.rangeHi}};
    for (const auto& [key, value] : fields)
        send(prefix + QLatin1String(key) + u' ' + value, due, burst);
}

void Kv58Instrument::startRun(Run kind, std::int64_t nowMs)
{
    if (sensorCount() == 0) {
        send(QStringLiteral("NACK:NO SENSOR CONNECTED"), nowMs);
        return;
    }
    if (kind == Run::Relation && sensorCount() < 2) {
        send(QStringLiteral("NACK:RELATION NOT POSSIBLE"), nowMs);
        return;
    }
    run_ = kind;
    nextSample_ = nowMs + intervalMs();
    relationReference_ = 1;
    if (kind == Run::Transmission) {
        const double seconds = (nowMs - startMs_) / 1000.0 * setup_.timeScale;
        for (std::size_t c = 0; c < 2; ++c)
            if (present_[c])
                reference_[c] = signals_[c].irradiance(seconds);
    }
    send(kind == Run::Irradiation    ? QStringLiteral("ACK:IRRADIATION STARTED")
         : kind == Run::Transmission ? QStringLiteral("ACK:TRANSMISSION STARTED")
                                     : QStringLiteral("ACK:RELATION STARTED"),
         nowMs);
}

void Kv58Instrument::stopRun()
{
    run_ = Run::None;
}

// Calibrated irradiance of a channel in the unit in force.
double Kv58Instrument::reading(int channel, std::int64_t atMs)
{
    const auto index = static_cast<std::size_t>(channel - 1);
    const SensorSetup& s = *setup_.sensors[index];
    const double raw = signals_[index].irradiance((atMs - startMs_) / 1000.0 * setup_.timeScale);
    const double value = raw * parseDecimal(s.factor, u'.').value_or(1.0);
    return (milliwattPerCm2_ ? value / 10.0 : value) - parseDecimal(s.offset, u'.').value_or(0.0);
}

QString Kv58Instrument::sampleLine(std::int64_t atMs)
{
    const QString unit = milliwattPerCm2_ ? QStringLiteral("mW/cm&") : QStringLiteral("W/m&");
    std::vector<ChannelReading> channels;
    if (run_ == Run::Irradiation) {
        for (int channel = 1; channel <= 2; ++channel)
            if (present_[static_cast<std::size_t>(channel - 1)])
                channels.push_back({setup_.sensors[static_cast<std::size_t>(channel - 1)]->type,
                                    reading(channel, atMs), unit});
        return irradiationLine(formatTime(clock_.at(atMs), u':'), channels, milliwattPerCm2_ ? 4 : 3);
    }
    if (run_ == Run::Transmission) {
        const double seconds = (atMs - startMs_) / 1000.0 * setup_.timeScale;
        for (std::size_t c = 0; c < 2; ++c)
            if (present_[c]) {
                const double raw = signals_[c].irradiance(seconds) * kSampleTransmittance[c];
                channels.push_back(
                    {setup_.sensors[c]->type, 100.0 * raw / reference_[c], QStringLiteral("%")});
            }
        return transmissionLine(channels);
    }
    const int a = swapped_ ? 2 : 1;
    const int b = swapped_ ? 1 : 2;
    const double denominator = reading(b, atMs);
    const double ratio = denominator != 0 ? reading(a, atMs) / denominator : 0;
    return relationLine(relationLabel(setup_.sensors[static_cast<std::size_t>(a - 1)]->type,
                                      setup_.sensors[static_cast<std::size_t>(b - 1)]->type),
                        100.0 * ratio / relationReference_, QStringLiteral("%"));
}

void Kv58Instrument::removeSensor(int channel, std::int64_t nowMs)
{
    const auto index = static_cast<std::size_t>(channel - 1);
    if (channel < 1 || channel > 2 || !present_[index])
        return;
    advance(nowMs);
    present_[index] = false;
    if (!on_)
        return;
    // The key is the first word, so it needs a blank after it even with nothing following.
    send(QStringLiteral("CH%1:Removed ").arg(channel), nowMs);
    if (run_ != Run::None) {
        stopRun();
        send(QStringLiteral("NACK:SENSOR LOST"), nowMs);
    }
}

void Kv58Instrument::insertSensor(int channel, std::int64_t nowMs)
{
    const auto index = static_cast<std::size_t>(channel - 1);
    if (channel < 1 || channel > 2 || present_[index])
        return;
    advance(nowMs);
    if (!setup_.sensors[index])
        setup_.sensors[index] =
            defaultSensor(channel == 1 ? QStringLiteral("UVA") : QStringLiteral("VISL"), channel);
    present_[index] = true;
    if (on_)
        sendSensorLines(channel, nowMs, false);
}

void Kv58Instrument::sensorLost(std::int64_t nowMs)
{
    advance(nowMs);
    if (!on_)
        return;
    stopRun();
    send(QStringLiteral("NACK:SENSOR LOST"), nowMs);
}

} // namespace kv58::sim
