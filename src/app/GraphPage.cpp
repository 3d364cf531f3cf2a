#include "app/GraphPage.h"

#include "core/Translation.h"
#include "widgets/ChartWidget.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv58 {
namespace {

QDoubleSpinBox* rangeField(double value, QWidget* parent)
{
    auto* spin = new QDoubleSpinBox(parent);
    spin->setRange(-1e10, 1e10);
    spin->setDecimals(3);
    spin->setValue(value);
    spin->setMinimumWidth(110);
    return spin;
}

} // namespace

GraphPage::GraphPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    Chart = new TRChart(this);
    layout->addWidget(Chart, 1);

    auto* range = new QHBoxLayout;
    MaxSpin = rangeField(200, this);
    MinSpin = rangeField(0, this);
    Button1 = new QPushButton(QString::fromUtf8(N_("Set-Y")), this);
    Button1->setAutoDefault(false);
    range->addWidget(new QLabel(QStringLiteral("Max"), this));
    range->addWidget(MaxSpin);
    range->addWidget(new QLabel(QStringLiteral("Min"), this));
    range->addWidget(MinSpin);
    range->addWidget(Button1);
    range->addStretch(1);
    layout->addLayout(range);
}

} // namespace kv58
