#include "app/DevicePage.h"

#include "core/Translation.h"
#include "widgets/NumIO.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kv58 {
namespace {

QPushButton* button(const char* caption, QWidget* parent)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setAutoDefault(false);
    return b;
}

QLabel* stateLabel(const char* caption, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->hide();
    return label;
}

// A titled group of two radio items side by side; ids follow the item order.
QGroupBox* twoItemChoice(const char* title, const char* item0, const char* item1, int selected,
                         QButtonGroup** group, QWidget* parent)
{
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    auto* layout = new QHBoxLayout(box);
    *group = new QButtonGroup(box);
    const char* items[] = {item0, item1};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(items[i]), box);
        (*group)->addButton(radio, i);
        layout->addWidget(radio);
        radio->setChecked(i == selected);
    }
    return box;
}

} // namespace

DevicePage::DevicePage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);

    PowerButton = button(N_("Power"), this);
    PowerButton->setMinimumHeight(48);
    QFont big = PowerButton->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    PowerButton->setFont(big);
    PowerButton->hide();
    layout->addWidget(PowerButton);

    StartBox = new QGroupBox(QString::fromUtf8(N_("Start")), this);
    auto* startLayout = new QVBoxLayout(StartBox);
    IrrRunButton = button(N_("Irradiation"), StartBox);
    TransRunButton = button(N_("Transmission"), StartBox);
    RelRunButton = button(N_("Relation"), StartBox);
    StopButton = button(N_("Stop"), StartBox);
    StopButton->hide();
    for (QPushButton* b : {IrrRunButton, TransRunButton, RelRunButton, StopButton})
        startLayout->addWidget(b);
    StartBox->hide();
    layout->addWidget(StartBox);

    // The system box and the measure box take turns in one place: the measure box is moved to the
    // system box's position while a run is in progress.
    auto* turnTaking = new QWidget(this);
    auto* stack = new QVBoxLayout(turnTaking);
    stack->setContentsMargins(0, 0, 0, 0);

    SystemBox = new QGroupBox(QString::fromUtf8(N_("System")), turnTaking);
    auto* systemLayout = new QGridLayout(SystemBox);
    ButIntervall = button(N_("Intervall"), SystemBox);
    IntervallIO = new TNumIO(SystemBox);
    IntervallIO->setInputFormat(TInFormat::itInt);
    IntervallIO->setRange(1, 3600);
    IntervallIO->setText(QStringLiteral("20"));
    systemLayout->addWidget(ButIntervall, 0, 0);
    systemLayout->addWidget(IntervallIO, 0, 1);
    GainGroup = twoItemChoice(N_("Gain Control"), N_("off"), N_("on"), 1, &GainButtons, SystemBox);
    UnitGroup1 = twoItemChoice(N_("Units"), N_("W/m²"), N_("mW/cm² "), 1, &UnitButtons, SystemBox);
    systemLayout->addWidget(GainGroup, 1, 0, 1, 2);
    systemLayout->addWidget(UnitGroup1, 2, 0, 1, 2);
    SystemBox->hide();
    stack->addWidget(SystemBox);

    MeasureBox = new QGroupBox(QString::fromUtf8(N_("Measure")), turnTaking);
    auto* measureLayout = new QVBoxLayout(MeasureBox);
    Button100 = button(N_("100%"), MeasureBox);
    OffButton = button(N_("Offset"), MeasureBox);
    SwapButton = button(N_("SWAP"), MeasureBox);
    for (QPushButton* b : {Button100, OffButton, SwapButton}) {
        measureLayout->addWidget(b);
        b->hide();
    }
    MeasureBox->hide();
    stack->addWidget(MeasureBox);
    layout->addWidget(turnTaking);

    NoKVLabel = stateLabel(N_("NO KV58 CONNECTED"), this);
    SearchKVLabel = stateLabel(N_("Searching KV58"), this);
    KVOffLabel = stateLabel(N_("KV58 is off."), this);
    SelectKVLabel = stateLabel(N_("Please select the KV58:"), this);
    auto* labels = new QWidget(this);
    auto* labelPlace = new QGridLayout(labels);
    for (QLabel* label : {NoKVLabel, SearchKVLabel, KVOffLabel, SelectKVLabel})
        labelPlace->addWidget(label, 0, 0);
    layout->addWidget(labels);
    layout->addStretch(1);

    KV58_AuswahlBox = new QListWidget(this);
    KV58_AuswahlBox->setMaximumHeight(120);
    KV58_AuswahlBox->hide();
    layout->addWidget(KV58_AuswahlBox);

    showStateLabel(NoKVLabel);
}

void DevicePage::showStateLabel(QLabel* label)
{
    for (QLabel* l : {NoKVLabel, SearchKVLabel, KVOffLabel, SelectKVLabel})
        l->setVisible(l == label);
}

} // namespace kv58
