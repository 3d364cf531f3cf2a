// The typed result of decoding one line from the instrument: one struct per kind of line. Decoding
// only takes a line apart; the application carries out each message's effects in their order.
#pragma once

#include "core/DateTime.h"
#include "core/MeasureMode.h"

#include <QString>
#include <optional>
#include <variant>

namespace kv58 {

// A line that begins with no known keyword, the empty line included: it is only logged.
struct UnrecognisedLine {
    QString line;
};

// The field of a measurement line whose conversion failed. Everything read before it is in the
// message and its stores happen; that field and everything after it are left default and nothing
// of the line happens from there on (no live processing either).
enum class FailedField {
    None,   // the line converted completely
    Time,   // the time token of an irradiation line
    Value1, // channel 1's value (the value of a relation line)
    Value2, // channel 2's value
};

// For all three measurement lines the first steps of live processing (caption, device-page labels,
// the relation table's column count) belong to the kind, not to the fields: they happen even when
// a field then fails. `storeChannels` (MessageEffects.h) carries out the stores.

// Type, value and unit of one channel as a measurement line carries them.
struct ChannelReading {
    QString type;
    std::optional<double> value;
    QString unit;
};

// "Time:" line. Store order: Zeit (the time of day, at once), channel 1 type, value, then for two
// channels channel 1 unit, channel 2 type, value, unit; for one channel channel 1 unit and an
// empty channel 2 type. Units already carry "²" where the instrument wrote "&".
struct IrradiationLine {
    QString timeToken;             // the token as converted (a long token without its first 3 characters)
    std::optional<TDateTime> zeit; // time of day only, no date
    ChannelReading ch1;
    bool twoChannels = false; // decided only once channel 1's value has converted
    ChannelReading ch2;
    FailedField failedAt = FailedField::None;
    bool complete() const { return failedAt == FailedField::None; }
};

// "Transmission:" line; stores as for the irradiation line, without a time and without "&" replacement.
struct TransmissionLine {
    ChannelReading ch1;
    bool twoChannels = false;
    ChannelReading ch2;
    FailedField failedAt = FailedField::None;
    bool complete() const { return failedAt == FailedField::None; }
};

// "Relation:" line: the 9-character label (stored before the value is converted), value, unit; it
// only ever touches Kanal1.
struct RelationLine {
    QString label;
    std::optional<double> value;
    QString unit;
    FailedField failedAt = FailedField::None; // None or Value1
    bool complete() const { return failedAt == FailedField::None; }
};

// "USE:" answer to "InUse!".
struct UseReply {
    QString payload; // the line without "USE:"
    bool yes() const { return payload.startsWith(QLatin1String("YES")); }
};

// "ZEIT:" line, the instrument's clock. What it means depends on whether a clock calibration run
// waits for it, which the application knows; both readings are here.
struct ClockLine {
    QString line;                        // the whole line, for the clock memo
    QString clockText;                   // the line without "ZEIT:"
    QString timeText;                    // what follows the clock text's first blank
    std::optional<TDateTime> deviceTime; // the fixed-position date and time; nullopt if not a valid one
};

// The rows of the acknowledgement table, in the order they are tried.
enum class AckRow {
    PowerIsOn,           // PowerOn := true; controls powering on; switched-on info; job 1
    Kv58IsOff,           // PowerOn := false; controls off; switched off (live, then info)
    IrradiationStarted,  // MeasureMode := mode; run start; controls running
    TransmissionStarted, // as above
    RelationStarted,     // as above
    MeasurementStopped,  // run end; controls ready, UseTimer enabled
    Firmware,            // firmware reply; then the job (7 while TransferAll)
    Customer,            // customer reply; Timer2 enabled; then the job (4 while TransferAll)
    BuildDate,           // build date reply (needs `date`); then the job (5 while TransferAll)
    Serial,              // serial reply; then the job (6 while TransferAll, else 8)
    CalDate,             // calibration date reply (needs `date`); then TransferAll := false
    Ch1Calibrated,       // job 2
    Ch2Calibrated,       // job 3
    Ch1SensorOffset,     // job 2
    Ch2SensorOffset,     // job 3
    RtcSet,              // status bar panel 0 := "KV-58 connected [TS]"
    GainControl,         // GainGroup := `item`
    UnitSet,             // UnitGroup1 := `item`
    IntervallSet,        // IntervallIO := `interval` in decimal (needs `interval`)
    RtcCal,              // clock memo := `text`
    Unknown,             // nothing
};

// The deferred job a reply schedules, which for some rows depends on whether the identity chain
// runs; 0 is no job.
struct JobSchedule {
    int ifTransferAll = 0;
    int otherwise = 0;
    int job(bool transferAll) const { return transferAll ? ifTransferAll : otherwise; }
};

// "ACK:" reply: the row that matched and its fields. A row whose field does not convert
// (`complete()` false) stops before its effects: nothing of the line happens, no job either.
struct AckReply {
    AckRow row = AckRow::Unknown;
    QString payload; // the line without "ACK:"
    // The row's text: Customer the customer; BuildDate and CalDate the date text; Serial the serial
    // text; GainControl the setting; UnitSet characters 11 to 12; IntervallSet the payload after
    // "INTERVALL SET:"; RtcCal the whole payload; Firmware the USB stack text.
    QString text;
    QString firmwareVersion;           // Firmware
    QString hardwareVersion;           // Firmware
    std::optional<TDateTime> date;     // BuildDate, CalDate: `text` read as "dd.mm.yyyy"
    std::optional<long long> interval; // IntervallSet: the first word of `text` as an integer
    int item = 0;                      // GainControl, UnitSet: the choice item to select (0 or 1)
    MeasureMode mode = NoMeasurement;  // the three started rows
    JobSchedule job;                   // scheduled after the row's other effects
    bool complete() const;
};

enum class NackRow {
    RelationNotPossible, // UseTimer enabled; message
    SensorLost,          // UseTimer enabled; message; after it is closed run end and controls ready
    NoSensorConnected,   // message
    Unknown,             // nothing
};

// "NACK:" reply.
struct NackReply {
    NackRow row = NackRow::Unknown;
    QString payload; // the line without "NACK:"
};

// The two English sentences of a refusal's message box (shown as their translations joined by a
// carriage return); null pointers for NackRow::Unknown.
struct NackMessage {
    const char* first = nullptr;
    const char* second = nullptr;
};
NackMessage nackMessage(NackRow row);

enum class ChannelKey {
    SensorType,      // "Sensortyp:"
    ProductionDate,  // "Production date:"
    CalibrationDate, // "Calibration date:"
    Customer,        // "Customer:"
    Serial,          // "Serial:"
    Calibration,     // "Kalibrierung:" (needs `number`)
    RangeHi,         // "RangeHi:"
    RangeLo,         // "RangeLo:"
    SensorOffset,    // "SensorOffset:" (needs `number`)
    Removed,         // "Removed"
    Other,           // anything else: the channel's tab is shown, nothing more
};

// "CH1:" or "CH2:" sensor information line.
struct ChannelInfo {
    int channel = 1;
    QString key;
    ChannelKey keyKind = ChannelKey::Other;
    QString value;
    std::optional<double> number; // `value` read with "." as decimal point, where it is a number
};

using Message = std::variant<UnrecognisedLine, IrradiationLine, TransmissionLine, RelationLine, UseReply,
                             ClockLine, AckReply, NackReply, ChannelInfo>;

// Visitor helper: std::visit(Overloaded{[](const AckReply&) {...}, ...}, message).
template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace kv58
