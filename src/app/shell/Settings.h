// The per-user settings as one plain value, and the store that loads and saves it, so the main
// window only copies values in and out and the store is tested without a window.
#pragma once

#include <QChar>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace kv58 {

// The value "SYSTEM"/"Version" must hold for the service pages to be shown.
inline constexpr int kServiceCode = 258614;

// The platform's default data folder, ending with its separator: "c:\" on Windows, the user's
// documents folder elsewhere.
QString defaultDataPath();

// Every value the store keeps; a default-constructed value holds the defaults.
struct Settings {
    // "Setup" section, loaded and saved always.
    QChar decimal = u',';                 // "Decimal": decimal separator of the clipboard export
    quint16 displayTime = 120;            // "DisplayTime": seconds the live chart shows
    QString dataPath = defaultDataPath(); // "Pfad": the data folder, ending with the separator
    bool english = true;                  // "Sprache": the "English" menu item is checked
    QStringList recentFiles;              // "Recent"/"Files": File > Open Recent, newest first

    // "Graph" and "Position" sections, only with `full`.
    double graphMax = 200;              // "Max": upper end of the chart's Y range
    double graphMin = 0;                // "Min": lower end
    QRect windowBounds{0, 0, 530, 640}; // "Left", "Top", "Width", "Height": the normal bounds
    bool maximized = false;             // "State"

    // "SYSTEM"/"Version" equals kServiceCode. Read on every load, never written.
    bool serviceMode = false;

    bool operator==(const Settings&) const = default;
};

// The user's settings store, QSettings("Velmark", "KV58-7"): the registry key
// Software\Velmark\KV58-7 on Windows, an INI file under the user's configuration folder elsewhere.
// It is opened for each load or save and closed at its end.
class SettingsStore {
public:
    // Where the store lives (the file name of the INI file, or the registry path).
    QString location() const;

    // Reads the "Setup" values and the service mode into `settings`; with `full` also the chart
    // range and the window placement, which stay untouched otherwise. A missing or unusable value,
    // or a store that cannot be read, gives the default.
    void load(Settings& settings, bool full) const;

    // Writes the "Setup" values; with `full` also the chart range and the window placement.
    // The service mode is never written. Returns false when the store could not be written.
    bool save(const Settings& settings, bool full) const;
};

// The window's normal (restored) bounds and whether it is maximized, as the settings keep them. A
// minimized window counts as not maximized.
void storeWindowPlacement(const QWidget& window, Settings& settings);

// Puts the window at the settings' normal bounds and maximizes it when they say so.
void restoreWindowPlacement(QWidget& window, const Settings& settings);

// The data folder the folder field stores for its text: the text with the platform's separator
// appended when it does not end with one. nullopt for an empty (or blank) text, which the field
// refuses: the previous folder stays.
std::optional<QString> dataFolderFromText(const QString& text);

} // namespace kv58
