#include "SimOptions.h"

#include <QCommandLineParser>

namespace kv58::sim {

namespace {

const char* const kOperatorHelp =
    "\nWhile it runs, kv58-sim reads operator actions from standard input, one per line:\n"
    "  remove <1|2>   pull out the sensor of a channel (\"CHn:Removed\"; a run ends with \"SENSOR LOST\")\n"
    "  insert <1|2>   plug a sensor in again (its information lines follow while on)\n"
    "  lost           report \"NACK:SENSOR LOST\" and end a run\n"
    "  unplug         leave the bus, as if the USB cable were pulled\n"
    "  plug           come back on the bus\n"
    "  quit           leave the bus and end\n"
    "SIGINT and SIGTERM also leave the bus cleanly.\n";

bool validWord(const QString& text)
{
    return !text.isEmpty() && !text.contains(u' ') && text.size() <= 9;
}

} // namespace

ParsedOptions parseSimOptions(const QStringList& arguments, TDateTime clockStart)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual KV58 radiometer on the virtual bus ($XDG_RUNTIME_DIR/kv58-virtual): answers every\n"
        "command of the KV58 protocol, runs measurements with plausible values, and keeps its own clock."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption stem(QStringLiteral("stem"),
                                  QStringLiteral("Device name on the bus (default kv58-sim)."),
                                  QStringLiteral("name"), QStringLiteral("kv58-sim"));
    const QCommandLineOption busDir(QStringLiteral("bus-dir"),
                                    QStringLiteral("Bus folder (default from XDG_RUNTIME_DIR)."),
                                    QStringLiteral("dir"));
    const QCommandLineOption usbSerial(
        QStringLiteral("usb-serial"),
        QStringLiteral("USB serial-number string (default 0007; may be empty)."), QStringLiteral("text"),
        QStringLiteral("0007"));
    const QCommandLineOption product(QStringLiteral("product"),
                                     QStringLiteral("USB product string (default KV58; may be empty)."),
                                     QStringLiteral("text"), QStringLiteral("KV58"));
    const QCommandLineOption sensors(QStringLiteral("sensors"),
                                     QStringLiteral("Sensors plugged in: 0, 1 or 2 (default 2)."),
                                     QStringLiteral("n"), QStringLiteral("2"));
    const QCommandLineOption type1(QStringLiteral("type1"),
                                   QStringLiteral("Sensor type of channel 1 (default UVA)."),
                                   QStringLiteral("type"), QStringLiteral("UVA"));
    const QCommandLineOption type2(QStringLiteral("type2"),
                                   QStringLiteral("Sensor type of channel 2 (default VISL)."),
                                   QStringLiteral("type"), QStringLiteral("VISL"));
    const QCommandLineOption inUse(
        QStringLiteral("in-use"),
        QStringLiteral("Another host already uses the instrument: \"InUse!\" gets \"USE:YES\"."));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer anything."));
    const QCommandLineOption drift(
        QStringLiteral("drift-ppm"),
        QStringLiteral("Error of the instrument clock in ppm, + fast (default 0)."), QStringLiteral("ppm"),
        QStringLiteral("0"));
    const QCommandLineOption scale(
        QStringLiteral("time-scale"),
        QStringLiteral("The instrument's time runs this many times as fast as real time,\n"
                       "e.g. 10 gives a 1 s interval every 100 ms (default 1)."),
        QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption unprogrammed(
        QStringLiteral("unprogrammed"),
        QStringLiteral("Identity never programmed: NOT SET, 01.01.1990, XXXX."));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the measurement noise (default 58)."),
                                  QStringLiteral("n"), QStringLiteral("58"));
    const QCommandLineOption verbose({QStringLiteral("v"), QStringLiteral("verbose")},
                                     QStringLiteral("Log every line received and sent on standard error."));
    parser.addOptions({help, stem, busDir, usbSerial, product, sensors, type1, type2, inUse, silent, drift,
                       scale, unprogrammed, seed, verbose});

    ParsedOptions result;
    if (!parser.parse(arguments)) {
        result.message = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.help = true;
        result.message = parser.helpText() + QLatin1String(kOperatorHelp);
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.message =
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return result;
    }

    SimOptions o;
    o.busDir = parser.isSet(busDir) ? parser.value(busDir) : virtualBusDir();
    o.stem = parser.value(stem);
    if (o.stem.isEmpty() || o.stem.contains(u'/')) {
        result.message = QStringLiteral("--stem must be a plain file name");
        return result;
    }
    o.identity.serial = parser.value(usbSerial);
    o.identity.product = parser.value(product);

    bool ok = false;
    const int sensorCount = parser.value(sensors).toInt(&ok);
    if (!ok || sensorCount < 0 || sensorCount > 2) {
        result.message = QStringLiteral("--sensors takes 0, 1 or 2");
        return result;
    }
    const QString types[2] = {parser.value(type1), parser.value(type2)};
    for (int c = 0; c < 2; ++c) {
        if (!validWord(types[c])) {
            result.message = QStringLiteral("sensor types are one word of at most 9 characters");
            return result;
        }
        if (c < sensorCount)
            o.setup.sensors[static_cast<std::size_t>(c)] = defaultSensor(types[c], c + 1);
    }
    o.setup.inUseElsewhere = parser.isSet(inUse);
    o.setup.silent = parser.isSet(silent);
    o.setup.driftPpm = parser.value(drift).toDouble(&ok);
    if (!ok) {
        result.message = QStringLiteral("--drift-ppm takes a number");
        return result;
    }
    o.setup.timeScale = parser.value(scale).toDouble(&ok);
    if (!ok || !(o.setup.timeScale > 0) || o.setup.timeScale > 10000) {
        result.message = QStringLiteral("--time-scale takes a number above 0");
        return result;
    }
    o.setup.seed = parser.value(seed).toUInt(&ok);
    if (!ok) {
        result.message = QStringLiteral("--seed takes a whole number");
        return result;
    }
    if (parser.isSet(unprogrammed))
        makeUnprogrammed(o.setup);
    o.setup.clockStart = clockStart;
    o.verbose = parser.isSet(verbose);
    result.options = o;
    return result;
}

} // namespace kv58::sim
