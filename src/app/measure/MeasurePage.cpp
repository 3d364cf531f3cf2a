#include "app/measure/MeasurePage.h"

#include "widgets/RasterLab.h"
#include "widgets/SevenSeg.h"

#include <QVBoxLayout>

namespace kv58 {

MeasurePage::MeasurePage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    CHLab1 = new TRasterLab(this);
    CHLab1->setObjectName(QStringLiteral("CHLab1"));
    CHLab2 = new TRasterLab(this);
    CHLab2->setObjectName(QStringLiteral("CHLab2"));
    ZeitDisplay = new TSevenSeg(this);
    ZeitDisplay->setObjectName(QStringLiteral("ZeitDisplay"));
    ZeitDisplay->setMinimumSize(220, 60);
    ZeitDisplay->setMaximumSize(320, 80);
    layout->addWidget(CHLab1);
    layout->addWidget(CHLab2);
    layout->addWidget(ZeitDisplay, 0, Qt::AlignLeft);
    layout->addStretch(1);
    hideLiveDisplays();
}

void MeasurePage::showChannel(int channel, const QString& text)
{
    TRasterLab* line = channel == 2 ? CHLab2 : CHLab1;
    line->setText(text);
    line->show();
}

void MeasurePage::showClock(const QString& time)
{
    ZeitDisplay->setCaption(time);
    ZeitDisplay->show();
}

void MeasurePage::hideLiveDisplays()
{
    for (QWidget* w :
         {static_cast<QWidget*>(CHLab1), static_cast<QWidget*>(CHLab2), static_cast<QWidget*>(ZeitDisplay)}) {
        w->hide();
        w->repaint();
    }
}

bool MeasurePage::channelShown(int channel) const
{
    return (channel == 2 ? CHLab2 : CHLab1)->isVisible();
}

QString MeasurePage::channelText(int channel) const
{
    return (channel == 2 ? CHLab2 : CHLab1)->text();
}

bool MeasurePage::clockShown() const
{
    return ZeitDisplay->isVisible();
}

QString MeasurePage::clockText() const
{
    return ZeitDisplay->caption();
}

} // namespace kv58
