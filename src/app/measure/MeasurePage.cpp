#include "app/measure/MeasurePage.h"

#include "app/shell/OncePerFrame.h"
#include "widgets/RasterLab.h"
#include "widgets/SevenSeg.h"

#include <QResizeEvent>
#include <QVBoxLayout>
#include <utility>

namespace kv58 {

MeasurePage::MeasurePage(QWidget* parent)
    : QWidget(parent), repaint_(new OncePerFrame([this] { setUpdatesEnabled(true); }, this))
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
    for (TRasterLab* line : {CHLab1, CHLab2}) {
        line->setAccessibleName(QString());
        line->installEventFilter(this);
    }
    hideLiveDisplays();
}

bool MeasurePage::eventFilter(QObject* watched, QEvent* event)
{
    // Only a new width asks for other dots; the height follows the dots by itself.
    if (event->type() == QEvent::Resize && (watched == CHLab1 || watched == CHLab2)) {
        const auto* resize = dynamic_cast<QResizeEvent*>(event);
        if (resize && resize->size().width() != resize->oldSize().width())
            fitDots(watched == CHLab1 ? CHLab1 : CHLab2);
    }
    return QWidget::eventFilter(watched, event);
}

void MeasurePage::fitDots(TRasterLab* line)
{
    static bool fitting = false; // the new dots resize the line, which must not fit again
    if (fitting)
        return;
    fitting = true;
    // Dot size and spacing from the design's down to solid one-pixel dots.
    constexpr std::pair<int, int> kDots[] = {{2, 1}, {1, 1}, {1, 0}};
    for (const auto& [size, spacing] : kDots) {
        line->setDotSize(size);
        line->setDotSpacing(spacing);
        if (line->sizeHint().width() <= line->width())
            break;
    }
    fitting = false;
}

void MeasurePage::showChannel(int channel, const QString& text)
{
    TRasterLab* line = channel == 2 ? CHLab2 : CHLab1;
    paintAtNextFrame();
    line->setText(text);
    line->show();
    fitDots(line);
}

void MeasurePage::showClock(const QString& time)
{
    paintAtNextFrame();
    ZeitDisplay->setCaption(time);
    ZeitDisplay->show();
}

void MeasurePage::paintAtNextFrame()
{
    if (repaint_->pending())
        return;
    setUpdatesEnabled(false);
    repaint_->request();
}

void MeasurePage::hideLiveDisplays()
{
    // Hiding is shown at once.
    repaint_->cancel();
    setUpdatesEnabled(true);
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
