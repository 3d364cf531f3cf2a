// The virtual KV58 as the host sees it: takes command lines and answers with the instrument's lines
// in the order the host relies on (in-use answer, power-on burst, runs with one measurement line per
// interval, clock and identity replies). Pure logic driven by a millisecond time passed in, so tests
// run it without sockets or waiting.
#pragma once

#include "InstrumentClock.h"
#include "SensorSignal.h"
#include "core/DateTime.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

namespace kv58::sim {

struct SensorSetup {
    QString type;
    QString serial;
    QString customer;
    QString productionDate;
    QString calibrationDate;
    QString factor = QStringLiteral("1.0000");
    QString offset = QStringLiteral("0.000");
    QString rangeLo;
    QString rangeHi;
    double level = 30; // settled irradiance in W/m²
};

// A sensor of the given type on channel 1 or 2, with plausible identity and level.
SensorSetup defaultSensor(const QString& type, int channel);

struct InstrumentSetup {
    std::array<std::optional<SensorSetup>, 2> sensors;
    bool inUseElsewhere = false; // another host holds the instrument
    bool silent = false;         // never answers anything
    double driftPpm = 0;
    double timeScale = 1;
    QString firmware = QStringLiteral("7.12");
    QString hardware = QStringLiteral("2");
    QString usbStack = QStringLiteral("MSP430 USB 4.20");
    QString serial = QStringLiteral("64 58 2 0007");
    QString customer = QStringLiteral("Velmark Demo");
    QString buildDate = QStringLiteral("12.03.2021");
    QString calDate = QStringLiteral("05.01.2024");
    TDateTime clockStart = 0;
    unsigned seed = 58;
    int bootDelayMs = 250; // from "POWER ON!" to "POWER IS ON"; repeats meanwhile are absorbed
};

// The identity of an instrument that was never programmed.
void makeUnprogrammed(InstrumentSetup& setup);

enum class Run { None, Irradiation, Transmission, Relation };

class Kv58Instrument {
public:
    Kv58Instrument(InstrumentSetup setup, std::int64_t nowMs);

    // One command line from host connection `host`.
    void command(const QString& line, int host, std::int64_t nowMs);
    // A host connection closed; a claim it held ends.
    void hostLeft(int host);

    // Operator actions at the instrument.
    void removeSensor(int channel, std::int64_t nowMs);
    void insertSensor(int channel, std::int64_t nowMs);
    void sensorLost(std::int64_t nowMs);

    // The lines due by `nowMs`, in the order they are sent.
    QStringList take(std::int64_t nowMs);
    // When the next line is due, if any is pending.
    std::optional<std::int64_t> nextDue() const;

    bool isOn() const { return on_; }
    Run run() const { return run_; }
    int intervalSeconds() const { return interval_; }
    bool sensorPresent(int channel) const { return present_.at(static_cast<std::size_t>(channel - 1)); }
    const InstrumentClock& clock() const { return clock_; }
    const InstrumentSetup& setup() const { return setup_; }

private:
    void send(const QString& line, std::int64_t due, bool burst = false);
    void advance(std::int64_t nowMs);
    void handle(const QString& command, const QString& parameter, int host, std::int64_t nowMs);
    bool handleIdentity(const QString& command, const QString& parameter, std::int64_t nowMs);
    bool handleSensorCalibration(const QString& command, const QString& parameter, std::int64_t nowMs);
    void powerOn(std::int64_t nowMs);
    void startRun(Run kind, std::int64_t nowMs);
    void stopRun();
    void sendSensorLines(int channel, std::int64_t due, bool burst);
    QString sampleLine(std::int64_t atMs);
    double reading(int channel, std::int64_t atMs);
    int sensorCount() const;
    std::int64_t intervalMs() const;

    InstrumentSetup setup_;
    std::int64_t startMs_;
    InstrumentClock clock_;
    std::array<SensorSignal, 2> signals_;
    std::array<bool, 2> present_{};

    bool on_ = false;
    std::int64_t bootUntil_ = 0;
    Run run_ = Run::None;
    std::int64_t nextSample_ = 0;
    int interval_ = 1;
    bool milliwattPerCm2_ = false;
    bool gain_ = false;
    bool swapped_ = false;
    std::array<double, 2> reference_{1, 1}; // transmission: the irradiance that reads 100 %
    double relationReference_ = 1;
    int claimedBy_ = 0;

    struct Pending {
        QString line;
        bool burst = false;
    };
    std::map<std::pair<std::int64_t, std::uint64_t>, Pending> outbox_;
    std::uint64_t sequence_ = 0;
};

} // namespace kv58::sim
