// Every command line the program sends to the instrument, built from parameters passed in (the
// clock is never read here). Lines are not cut to the report size; the framing does that.
#pragma once

#include "core/DateTime.h"

#include <QString>

namespace kv58::cmd {

// Parameter formats.
// "dd.mm.yyyy", whatever the regional settings.
QString dateParameter(TDateTime date);
// The instrument clock: "yyyymmdd-w-hhnnss", w the weekday digit, "0" Sunday to "6" Saturday.
QString clockParameter(TDateTime localNow);
// The running number of a serial: the field value rounded (halves to even), four digits.
QString serialNumberDigits(double serialNumber);
// "64 58 " + hardware version + " " + four-digit running number: the serial as the instrument
// stores it, and the key of the serial register.
QString serialText(const QString& hardwareVersion, double serialNumber);

// Link and power.
QString inUse();          // "InUse!"
QString setUse(bool yes); // "SetUse:YES!" / "SetUse:NO!"
QString powerOn();        // "POWER ON!"
QString powerOff();       // "POWER OFF!"

// Measurement control.
QString runIrradiation();  // "RUN IRRADIATION!"
QString runTransmission(); // "RUN TRANSMISSION!"
QString runRelation();     // "RUN RELATION!"
QString stop();            // "STOP!"
QString offset();          // "OFFSET!"
QString hundredPercent();  // "100%!"
QString swap();            // "SWAP!"
// The text of the interval field exactly as shown.
QString setIntervall(const QString& intervalText);
// `gainItem` is the selected item of the gain choice: 1 "on", 0 "off".
QString setGain(int gainItem);
// `unitItem` is the selected item of the unit choice: 1 "mW/cm² " sends "0", anything else "1".
QString setUnit(int unitItem);

// Clock.
QString setRtc(TDateTime localNow); // "SET RTC:" + clock parameter + "!"
QString zeit();                     // "ZEIT!"
QString getRtcCal();                // "GET RTC CAL!"
// The correction field's value truncated to an integer, in decimal.
QString calRtc(double correctionValue);

// Identity.
QString getSerial();                                                    // "GET SERIAL!"
QString getFirm();                                                      // "GET FIRM!"
QString setCustomer(const QString& customer);                           // the text unchanged
QString setBuild(TDateTime buildDate);                                  // "SET BUILD:dd.mm.yyyy!"
QString setSerial(const QString& hardwareVersion, double serialNumber); // "SET SERIAL:64 58 hw nnnn!"
QString setCalDate(TDateTime calDate);                                  // "SET CALDATE:dd.mm.yyyy!"
QString updateKv58();                                                   // "Update-KV58!"

// Sensor calibration; `channel` is 1 or 2, texts are the fields' texts as typed.
QString calibration(int channel, const QString& factorText);  // "CALIBRATION CH1:" + f + "!"
QString sensorOffset(int channel, const QString& offsetText); // "Sensoroffset CH1:" + o + "!"
QString calDateChannel(int channel, TDateTime today);         // "CALDATE CH1:dd.mm.yyyy!"

} // namespace kv58::cmd
