#include "app/MeasurePage.h"

#include "widgets/RasterLab.h"
#include "widgets/SevenSeg.h"

#include <QVBoxLayout>

namespace kv58 {

MeasurePage::MeasurePage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    CHLab1 = new TRasterLab(this);
    CHLab2 = new TRasterLab(this);
    ZeitDisplay = new TSevenSeg(this);
    ZeitDisplay->setMinimumSize(220, 60);
    ZeitDisplay->setMaximumSize(320, 80);
    layout->addWidget(CHLab1);
    layout->addWidget(CHLab2);
    layout->addWidget(ZeitDisplay, 0, Qt::AlignLeft);
    layout->addStretch(1);
    hideLiveDisplays();
}

void MeasurePage::hideLiveDisplays()
{
    for (QWidget* w : {static_cast<QWidget*>(CHLab1), static_cast<QWidget*>(CHLab2),
                       static_cast<QWidget*>(ZeitDisplay)}) {
        w->hide();
        w->repaint();
    }
}

} // namespace kv58
