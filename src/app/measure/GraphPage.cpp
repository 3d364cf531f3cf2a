#include "app/measure/GraphPage.h"

#include "core/Translation.h"
#include "data/ChartModel.h"
#include "widgets/ChartWidget.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv58 {
namespace {

QDoubleSpinBox* rangeField(double value, const char* name, QWidget* parent)
{
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(-1e10, 1e10);
    spin->setDecimals(3);
    spin->setValue(value);
    spin->setMinimumWidth(110);
    return spin;
}

} // namespace

GraphPage::GraphPage(ChartModel& chart, QWidget* parent) : QWidget(parent), chart_(chart)
{
    auto* layout = new QVBoxLayout(this);
    Chart = new TRChart(chart_, this);
    Chart->setObjectName(QStringLiteral("RChart1"));
    layout->addWidget(Chart, 1);

    auto* range = new QHBoxLayout;
    MaxSpin = rangeField(200, "MaxSpin", this);
    MinSpin = rangeField(0, "MinSpin", this);
    Button1 = new QPushButton(QString::fromUtf8(N_("Set-Y")), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    auto* maxLabel = new QLabel(QStringLiteral("Max"), this);
    maxLabel->setBuddy(MaxSpin);
    auto* minLabel = new QLabel(QStringLiteral("Min"), this);
    minLabel->setBuddy(MinSpin);
    MaxSpin->setAccessibleName(QStringLiteral("Max"));
    MinSpin->setAccessibleName(QStringLiteral("Min"));
    range->addWidget(maxLabel);
    range->addWidget(MaxSpin);
    range->addWidget(minLabel);
    range->addWidget(MinSpin);
    range->addWidget(Button1);
    range->addStretch(1);
    layout->addLayout(range);

    connect(Button1, &QPushButton::clicked, this, &GraphPage::MinSpinExit);
    connect(MaxSpin, &QDoubleSpinBox::editingFinished, this, &GraphPage::MinSpinExit);
    connect(MinSpin, &QDoubleSpinBox::editingFinished, this, &GraphPage::MinSpinExit);
}

double GraphPage::yMax() const
{
    return MaxSpin->value();
}

double GraphPage::yMin() const
{
    return MinSpin->value();
}

void GraphPage::setYRange(double max, double min)
{
    MaxSpin->setValue(max);
    MinSpin->setValue(min);
}

void GraphPage::MinSpinExit()
{
    chart_.Scale1Y().setRangeHigh(MaxSpin->value());
    chart_.Scale1Y().setRangeLow(MinSpin->value());
    chart_.SetRange(1, chart_.Scale1X().RangeLow(), chart_.Scale1Y().RangeLow(), chart_.Scale1X().RangeHigh(),
                    chart_.Scale1Y().RangeHigh());
}

} // namespace kv58
