#include "app/info/InfoSheets.h"

#include "app/shell/FormRows.h"
#include "core/Translation.h"
#include "widgets/NumLab.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace kv58 {
namespace {

QLabel* valueLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

} // namespace

InstrumentInfoSheet::InstrumentInfoSheet(QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);
    SerialLabel2 = valueLabel(QStringLiteral("SerialLabel2"), this);
    CustomerLabel = valueLabel(QStringLiteral("CustomerLabel"), this);
    ProductionDateLabel = valueLabel(QStringLiteral("ProductionDateLabel"), this);
    CalDateLabel = valueLabel(QStringLiteral("CalDateLabel"), this);
    addCaptionedRow(form, N_("Serial:"), SerialLabel2, this);
    addCaptionedRow(form, N_("Customer:"), CustomerLabel, this);
    addCaptionedRow(form, N_("Production date:"), ProductionDateLabel, this);
    addCaptionedRow(form, N_("Calibration date:"), CalDateLabel, this);
}

void InstrumentInfoSheet::show(const InstrumentInfo& info)
{
    SerialLabel2->setText(info.serial);
    CustomerLabel->setText(info.customer);
    ProductionDateLabel->setText(info.productionDate);
    CalDateLabel->setText(info.calibrationDate);
}

ChannelInfoSheet::ChannelInfoSheet(const QString& prefix, QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);
    Type = valueLabel(prefix + QStringLiteral("_Type"), this);
    LoLab = valueLabel(prefix + QStringLiteral("_LoLab"), this);
    HiLab = valueLabel(prefix + QStringLiteral("_HiLab"), this);
    ProdDate = valueLabel(prefix + QStringLiteral("_ProdDate"), this);
    CalDate = valueLabel(prefix + QStringLiteral("_CalDate"), this);
    Customer = valueLabel(prefix + QStringLiteral("_Customer"), this);
    Serial = valueLabel(prefix + QStringLiteral("_Serial"), this);
    CalLabel = new TNumLab(this);
    CalLabel->setObjectName(prefix + QStringLiteral("CalLabel"));
    CalLabel->SetValue(0);
    SensOff = valueLabel(prefix + QStringLiteral("SensOff"), this);

    // The range reads "low - high nm".
    auto* range = new QWidget(this);
    auto* rangeLayout = new QHBoxLayout(range);
    rangeLayout->setContentsMargins(0, 0, 0, 0);
    rangeLayout->addWidget(LoLab);
    rangeLayout->addWidget(new QLabel(QStringLiteral("-"), range));
    rangeLayout->addWidget(HiLab);
    rangeLayout->addWidget(new QLabel(QStringLiteral("nm"), range));
    rangeLayout->addStretch(1);
    LoLab->setAccessibleDescription(QStringLiteral("Range low"));
    HiLab->setAccessibleDescription(QStringLiteral("Range high"));

    addCaptionedRow(form, N_("Sensor type:"), Type, this);
    form->addRow(new QLabel(QString::fromUtf8(N_("Range:")), this), range);
    addCaptionedRow(form, N_("Production date:"), ProdDate, this);
    addCaptionedRow(form, N_("Calibration date:"), CalDate, this);
    addCaptionedRow(form, N_("Customer:"), Customer, this);
    addCaptionedRow(form, N_("Serial:"), Serial, this);
    addCaptionedRow(form, N_("Calibration factor:"), CalLabel, this);
    addCaptionedRow(form, N_("Offset:"), SensOff, this);
}

void ChannelInfoSheet::show(const SensorInfo& info)
{
    Type->setText(info.type);
    LoLab->setText(info.rangeLo);
    HiLab->setText(info.rangeHi);
    ProdDate->setText(info.productionDate);
    CalDate->setText(info.calibrationDate);
    Customer->setText(info.customer);
    Serial->setText(info.serial);
    CalLabel->SetValue(info.calibrationFactor);
    SensOff->setText(info.offset);
}

} // namespace kv58
