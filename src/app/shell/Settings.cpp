#include "app/shell/Settings.h"

#include "core/Formats.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <QWidget>
#include <QtEndian>
#include <bit>
#include <limits>

namespace kv58 {
namespace {

const QString kOrganization = QStringLiteral("Velmark");
const QString kApplication = QStringLiteral("KV58-7");

// Reads the values of one store the way the settings define their kinds. An unreadable store
// answers every question with "missing".
class Reader {
public:
    explicit Reader(QSettings& store) : store_(store), usable_(store.status() == QSettings::NoError) {}

    QVariant raw(const QString& key) const { return usable_ ? store_.value(key) : QVariant(); }

    // A 32-bit number, or a text holding a decimal number (what a fresh INI file hands over).
    std::optional<qint32> integer(const QString& key) const
    {
        const QVariant value = raw(key);
        if (!value.isValid())
            return std::nullopt;
        std::optional<long long> number;
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            number = value.toLongLong();
            break;
        default:
            number = parseInteger(value.toString());
        }
        if (!number || *number < std::numeric_limits<qint32>::min() ||
            *number > std::numeric_limits<qint32>::max())
            return std::nullopt;
        return static_cast<qint32>(*number);
    }

    int integerOr(const QString& key, int fallback) const { return integer(key).value_or(fallback); }

    // Booleans are kept as "1" or "0" and read as integers: anything but 0 is true.
    bool booleanOr(const QString& key, bool fallback) const
    {
        const std::optional<qint32> number = integer(key);
        return number ? *number != 0 : fallback;
    }

    QString textOr(const QString& key, const QString& fallback) const
    {
        const QVariant value = raw(key);
        return value.isValid() ? value.toString() : fallback;
    }

    // An IEEE double kept as its 8 raw bytes, least significant first.
    double floatOr(const QString& key, double fallback) const
    {
        const QVariant value = raw(key);
        if (value.typeId() != QMetaType::QByteArray)
            return fallback;
        const QByteArray bytes = value.toByteArray();
        if (bytes.size() != sizeof(double))
            return fallback;
        return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes.constData()));
    }

private:
    QSettings& store_;
    bool usable_;
};

QByteArray floatBytes(double value)
{
    const auto bits = std::bit_cast<quint64>(value);
    QByteArray bytes(sizeof bits, Qt::Uninitialized);
    qToLittleEndian(bits, bytes.data());
    return bytes;
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString defaultDataPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\");
#else
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return dataFolderFromText(QDir::toNativeSeparators(folder)).value_or(QDir::rootPath());
#endif
}

// The window holds a store and asks it; that the store keeps no state of its own is its own
// business, so these stay member functions.
// NOLINTBEGIN(readability-convert-member-functions-to-static)
QString SettingsStore::location() const
{
    return QSettings(kOrganization, kApplication).fileName();
}

void SettingsStore::load(Settings& settings, bool full) const
{
    QSettings store(kOrganization, kApplication);
    const Reader read(store);
    const Settings defaults;

    settings.decimal = read.booleanOr(QStringLiteral("Setup/Decimal"), true) ? u',' : u'.';
    settings.displayTime =
        static_cast<quint16>(read.integerOr(QStringLiteral("Setup/DisplayTime"), defaults.displayTime));
    settings.dataPath = read.textOr(QStringLiteral("Setup/Pfad"), defaults.dataPath);
    settings.english = read.booleanOr(QStringLiteral("Setup/Sprache"), defaults.english);
    settings.recentFiles = read.raw(QStringLiteral("Recent/Files")).toStringList();

    if (full) {
        settings.graphMax = read.floatOr(QStringLiteral("Graph/Max"), defaults.graphMax);
        settings.graphMin = read.floatOr(QStringLiteral("Graph/Min"), defaults.graphMin);
        const int top = read.integerOr(QStringLiteral("Position/Top"), defaults.windowBounds.top());
        const int left = read.integerOr(QStringLiteral("Position/Left"), defaults.windowBounds.left());
        const int width = read.integerOr(QStringLiteral("Position/Width"), defaults.windowBounds.width());
        const int height = read.integerOr(QStringLiteral("Position/Height"), defaults.windowBounds.height());
        settings.windowBounds = QRect(left, top, width, height);
        settings.maximized = read.booleanOr(QStringLiteral("Position/State"), defaults.maximized);
    }

    settings.serviceMode = read.integer(QStringLiteral("SYSTEM/Version")) == kServiceCode;
}

bool SettingsStore::save(const Settings& settings, bool full) const
{
    QSettings store(kOrganization, kApplication);
    store.setValue(QStringLiteral("Setup/Decimal"), booleanText(settings.decimal == u','));
    store.setValue(QStringLiteral("Setup/DisplayTime"), int(settings.displayTime));
    store.setValue(QStringLiteral("Setup/Pfad"), settings.dataPath);
    store.setValue(QStringLiteral("Setup/Sprache"), booleanText(settings.english));
    store.setValue(QStringLiteral("Recent/Files"), settings.recentFiles);
    if (full) {
        store.setValue(QStringLiteral("Graph/Max"), floatBytes(settings.graphMax));
        store.setValue(QStringLiteral("Graph/Min"), floatBytes(settings.graphMin));
        store.setValue(QStringLiteral("Position/Top"), settings.windowBounds.top());
        store.setValue(QStringLiteral("Position/Left"), settings.windowBounds.left());
        store.setValue(QStringLiteral("Position/Width"), settings.windowBounds.width());
        store.setValue(QStringLiteral("Position/Height"), settings.windowBounds.height());
        store.setValue(QStringLiteral("Position/State"), booleanText(settings.maximized));
    }
    store.sync();
    return store.status() == QSettings::NoError;
}
// NOLINTEND(readability-convert-member-functions-to-static)

void storeWindowPlacement(const QWidget& window, Settings& settings)
{
    const Qt::WindowStates state = window.windowState();
    settings.maximized = state.testFlag(Qt::WindowMaximized) && !state.testFlag(Qt::WindowMinimized);
    const QRect normal = window.normalGeometry();
    settings.windowBounds = normal.isValid() ? normal : window.geometry();
}

void restoreWindowPlacement(QWidget& window, const Settings& settings)
{
    window.setGeometry(settings.windowBounds);
    Qt::WindowStates state =
        window.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
    if (settings.maximized)
        state |= Qt::WindowMaximized;
    window.setWindowState(state);
}

std::optional<QString> dataFolderFromText(const QString& text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const QChar separator = QDir::separator();
    // On Windows "/" separates folders as well as "\"; elsewhere only "/" does.
    const bool endsWithSeparator = text.endsWith(separator) || (separator == u'\\' && text.endsWith(u'/'));
    return endsWithSeparator ? text : text + separator;
}

} // namespace kv58
