// The information tabs of the device panel (`PageControl2`): "KV58 Info", "CH1: ..." and "CH2: ...".
// They show the measurement model's instrument and sensor records, and appear and disappear with
// the instrument: shown when it reports, hidden when it is switched off or unplugged.
#pragma once

#include <QObject>

class QTabWidget;

namespace kv58 {

class ChannelInfoSheet;
class InstrumentInfoSheet;
class Measurement;

class InformationTabs : public QObject {
    Q_OBJECT
public:
    // Adds the three tabs, hidden, to `pages`.
    InformationTabs(QTabWidget& pages, Measurement& measurement, QObject* parent = nullptr);

    // Shows "KV58 Info" and brings it to the front.
    void showInstrumentTab();
    // Shows channel 1's or 2's tab and brings it to the front.
    void showChannelTab(int channel);
    void hideChannelTab(int channel);
    // Hides all three.
    void hideAll();

    bool channelTabShown(int channel) const;

private:
    void updateChannelCaption(int channel);
    QWidget* channelSheet(int channel) const;

    QTabWidget& pages_;
    Measurement& measurement_;
    InstrumentInfoSheet* KV58Sheet = nullptr;
    ChannelInfoSheet* CH1Sheet = nullptr;
    ChannelInfoSheet* CH2Sheet = nullptr;
};

} // namespace kv58
