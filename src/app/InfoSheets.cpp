#include "app/InfoSheets.h"

#include "core/Translation.h"
#include "widgets/NumLab.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace kv58 {
namespace {

QLabel* valueLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel* captionLabel(const char* caption, QWidget* parent)
{
    return new QLabel(QString::fromUtf8(caption), parent);
}

} // namespace

InstrumentInfoSheet::InstrumentInfoSheet(QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);
    SerialLabel2 = valueLabel(this);
    CustomerLabel = valueLabel(this);
    ProductionDateLabel = valueLabel(this);
    CalDateLabel = valueLabel(this);
    form->addRow(captionLabel(N_("Serial:"), this), SerialLabel2);
    form->addRow(captionLabel(N_("Customer:"), this), CustomerLabel);
    form->addRow(captionLabel(N_("Production date:"), this), ProductionDateLabel);
    form->addRow(captionLabel(N_("Calibration date:"), this), CalDateLabel);
}

ChannelInfoSheet::ChannelInfoSheet(QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);
    Type = valueLabel(this);
    LoLab = valueLabel(this);
    HiLab = valueLabel(this);
    ProdDate = valueLabel(this);
    CalDate = valueLabel(this);
    Customer = valueLabel(this);
    Serial = valueLabel(this);
    CalLabel = new TNumLab(this);
    CalLabel->SetValue(0);
    SensOff = valueLabel(this);

    // The range reads "low - high nm".
    auto* range = new QWidget(this);
    auto* rangeLayout = new QHBoxLayout(range);
    rangeLayout->setContentsMargins(0, 0, 0, 0);
    rangeLayout->addWidget(LoLab);
    rangeLayout->addWidget(new QLabel(QStringLiteral("-"), range));
    rangeLayout->addWidget(HiLab);
    rangeLayout->addWidget(new QLabel(QStringLiteral("nm"), range));
    rangeLayout->addStretch(1);

    form->addRow(captionLabel(N_("Sensor type:"), this), Type);
    form->addRow(captionLabel(N_("Range:"), this), range);
    form->addRow(captionLabel(N_("Production date:"), this), ProdDate);
    form->addRow(captionLabel(N_("Calibration date:"), this), CalDate);
    form->addRow(captionLabel(N_("Customer:"), this), Customer);
    form->addRow(captionLabel(N_("Serial:"), this), Serial);
    form->addRow(captionLabel(N_("Calibration factor:"), this), CalLabel);
    form->addRow(captionLabel(N_("Offset:"), this), SensOff);
}

void ChannelInfoSheet::clearDetails()
{
    for (QLabel* label : {Type, LoLab, HiLab, ProdDate, CalDate, Customer, Serial})
        label->clear();
}

} // namespace kv58
