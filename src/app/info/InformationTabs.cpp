#include "app/info/InformationTabs.h"

#include "app/info/InfoSheets.h"
#include "app/shell/TabVisibility.h"
#include "core/Translation.h"
#include "data/Measurement.h"

#include <QTabWidget>

namespace kv58 {
InformationTabs::InformationTabs(QTabWidget& pages, Measurement& measurement, QObject* parent)
    : QObject(parent), pages_(pages), measurement_(measurement), KV58Sheet(new InstrumentInfoSheet(&pages)),
      CH1Sheet(new ChannelInfoSheet(QStringLiteral("CH1"), &pages)),
      CH2Sheet(new ChannelInfoSheet(QStringLiteral("CH2"), &pages))
{
    KV58Sheet->setObjectName(QStringLiteral("KV58Sheet"));
    CH1Sheet->setObjectName(QStringLiteral("CH1Sheet"));
    CH2Sheet->setObjectName(QStringLiteral("CH2Sheet"));
    pages_.addTab(KV58Sheet, QString::fromUtf8(N_("KV58 Info")));
    pages_.addTab(CH1Sheet, QString::fromUtf8(N_("CH1: UVA")));
    pages_.addTab(CH2Sheet, QString::fromUtf8(N_("CH2: VISL")));
    hideAll();

    connect(&measurement_, &Measurement::instrumentChanged, this,
            [this] { KV58Sheet->show(measurement_.instrument()); });
    connect(&measurement_, &Measurement::sensorChanged, this, [this](int channel) {
        (channel == 2 ? CH2Sheet : CH1Sheet)->show(measurement_.sensor(channel));
        updateChannelCaption(channel);
    });
}

QWidget* InformationTabs::channelSheet(int channel) const
{
    return channel == 2 ? static_cast<QWidget*>(CH2Sheet) : static_cast<QWidget*>(CH1Sheet);
}

// The caption follows the sensor type ("CH2: VISL-2"); an emptied type leaves the last caption.
void InformationTabs::updateChannelCaption(int channel)
{
    const QString type = measurement_.sensor(channel).type;
    if (type.isEmpty())
        return;
    pages_.setTabText(pages_.indexOf(channelSheet(channel)), QStringLiteral("CH%1: ").arg(channel) + type);
}

void InformationTabs::showInstrumentTab()
{
    setTabShown(pages_, KV58Sheet, true);
    pages_.setCurrentWidget(KV58Sheet);
}

void InformationTabs::showChannelTab(int channel)
{
    setTabShown(pages_, channelSheet(channel), true);
    pages_.setCurrentWidget(channelSheet(channel));
}

void InformationTabs::hideChannelTab(int channel)
{
    setTabShown(pages_, channelSheet(channel), false);
}

void InformationTabs::hideAll()
{
    for (QWidget* sheet : {static_cast<QWidget*>(KV58Sheet), channelSheet(1), channelSheet(2)})
        setTabShown(pages_, sheet, false);
}

bool InformationTabs::channelTabShown(int channel) const
{
    return tabShown(pages_, channelSheet(channel));
}

} // namespace kv58
