#include "app/shell/StatusPanels.h"

#include <QLabel>
#include <QStatusBar>

namespace kv58 {

StatusPanels::StatusPanels(QStatusBar& bar, QObject* parent) : QObject(parent)
{
    const int widths[] = {200, 150, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanel[i] = new QLabel(&bar);
        StatusPanel[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanel[i]->setMinimumWidth(widths[i]);
        // The last panel takes the rest of the bar, so a long serial text is not cut.
        bar.addWidget(StatusPanel[i], i == 2 ? 1 : 0);
    }
}

void StatusPanels::setConnection(const QString& text)
{
    StatusPanel[0]->setText(text);
}

void StatusPanels::setUsbSerial(const QString& text)
{
    StatusPanel[1]->setText(text);
}

void StatusPanels::setInstrumentSerial(const QString& text)
{
    StatusPanel[2]->setText(text);
}

void StatusPanels::clear()
{
    for (QLabel* panel : StatusPanel)
        panel->clear();
}

QString StatusPanels::text(int panel) const
{
    return panel >= 0 && panel < 3 ? StatusPanel[panel]->text() : QString();
}

} // namespace kv58
