#include "app/measure/RunControls.h"

#include "core/MeasureMode.h"
#include "core/Translation.h"
#include "protocol/Commands.h"
#include "widgets/NumIO.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kv58 {
namespace {

QPushButton* button(const char* caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// A titled group of two radio items side by side; ids follow the item order.
QGroupBox* twoItemChoice(const char* title, const char* name, const char* item0, const char* item1,
                         const char* const (&itemNames)[2], int selected, QButtonGroup** group,
                         QWidget* parent)
{
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* layout = new QHBoxLayout(box);
    *group = new QButtonGroup(box);
    const char* items[] = {item0, item1};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(items[i]), box);
        radio->setObjectName(QString::fromLatin1(itemNames[i]));
        (*group)->addButton(radio, i);
        layout->addWidget(radio);
        radio->setChecked(i == selected);
    }
    return box;
}

} // namespace

RunControls::RunControls(Sender send, int readyDelayMs, QWidget* parent)
    : QWidget(parent), send_(std::move(send)), Timer2(new QTimer(this))
{
    Timer2->setSingleShot(true);
    Timer2->setInterval(readyDelayMs);
    connect(Timer2, &QTimer::timeout, this, &RunControls::readyTimerFired);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    StartBox = new QGroupBox(QString::fromUtf8(N_("Start")), this);
    StartBox->setObjectName(QStringLiteral("StartBox"));
    auto* startLayout = new QVBoxLayout(StartBox);
    IrrRunButton = button(N_("Irradiation"), "IrrRunButton", StartBox);
    TransRunButton = button(N_("Transmission"), "TransRunButton", StartBox);
    RelRunButton = button(N_("Relation"), "RelRunButton", StartBox);
    StopButton = button(N_("Stop"), "StopButton", StartBox);
    for (QPushButton* b : {IrrRunButton, TransRunButton, RelRunButton, StopButton})
        startLayout->addWidget(b);
    layout->addWidget(StartBox);

    // The system box and the measure box take turns in one place: the measure box stands where the
    // system box stood while a run is in progress.
    SystemBox = new QGroupBox(QString::fromUtf8(N_("System")), this);
    SystemBox->setObjectName(QStringLiteral("SystemBox"));
    auto* systemLayout = new QGridLayout(SystemBox);
    ButIntervall = button(N_("Intervall"), "ButIntervall", SystemBox);
    IntervallIO = new TNumIO(SystemBox);
    IntervallIO->setObjectName(QStringLiteral("IntervallIO"));
    IntervallIO->setInputFormat(TInFormat::itInt);
    IntervallIO->setRange(1, 3600);
    IntervallIO->setText(QStringLiteral("20"));
    IntervallIO->setAccessibleName(QString::fromUtf8(N_("Intervall")));
    systemLayout->addWidget(ButIntervall, 0, 0);
    systemLayout->addWidget(IntervallIO, 0, 1);
    const char* const gainNames[2] = {"GainOff", "GainOn"};
    const char* const unitNames[2] = {"UnitWm2", "UnitMwCm2"};
    GainGroup = twoItemChoice(N_("Gain Control"), "GainGroup", N_("off"), N_("on"), gainNames, 1,
                              &GainButtons, SystemBox);
    UnitGroup1 = twoItemChoice(N_("Units"), "UnitGroup1", N_("W/m²"), N_("mW/cm² "), unitNames, 1,
                               &UnitButtons, SystemBox);
    systemLayout->addWidget(GainGroup, 1, 0, 1, 2);
    systemLayout->addWidget(UnitGroup1, 2, 0, 1, 2);
    layout->addWidget(SystemBox);

    MeasureBox = new QGroupBox(QString::fromUtf8(N_("Measure")), this);
    MeasureBox->setObjectName(QStringLiteral("MeasureBox"));
    auto* measureLayout = new QVBoxLayout(MeasureBox);
    Button100 = button(N_("100%"), "Button100", MeasureBox);
    OffButton = button(N_("Offset"), "OffButton", MeasureBox);
    SwapButton = button(N_("SWAP"), "SwapButton", MeasureBox);
    for (QPushButton* b : {Button100, OffButton, SwapButton})
        measureLayout->addWidget(b);
    layout->addWidget(MeasureBox);

    const auto sendOnClick = [this](QPushButton* b, auto command) {
        connect(b, &QPushButton::clicked, this, [this, command] { send_(command()); });
    };
    const auto runOnClick = [this](QPushButton* b, int kind, auto command) {
        connect(b, &QPushButton::clicked, this, [this, kind, command] {
            send_(command());
            emit runRequested(kind);
        });
    };
    runOnClick(IrrRunButton, Irradiation, [] { return cmd::runIrradiation(); });
    runOnClick(TransRunButton, Transmission, [] { return cmd::runTransmission(); });
    runOnClick(RelRunButton, Relation, [] { return cmd::runRelation(); });
    sendOnClick(StopButton, [] { return cmd::stop(); });
    sendOnClick(OffButton, [] { return cmd::offset(); });
    sendOnClick(Button100, [] { return cmd::hundredPercent(); });
    sendOnClick(SwapButton, [] { return cmd::swap(); });
    sendOnClick(ButIntervall, [this] { return cmd::setIntervall(IntervallIO->text()); });
    // Only a click of the user sends: a reply that selects an item does not send again.
    connect(GainButtons, &QButtonGroup::idClicked, this, [this](int id) { send_(cmd::setGain(id)); });
    connect(UnitButtons, &QButtonGroup::idClicked, this, [this](int id) { send_(cmd::setUnit(id)); });

    apply();
}

void RunControls::apply()
{
    const RunControlVisibility v = state_.visibility();
    StartBox->setVisible(v.startBox);
    StartBox->setEnabled(v.startBox);
    for (QPushButton* b : {IrrRunButton, TransRunButton, RelRunButton})
        b->setVisible(v.runButtons);
    StopButton->setVisible(v.stopButton);
    SystemBox->setVisible(v.systemBox);
    MeasureBox->setVisible(v.measureBox);
    OffButton->setVisible(v.offsetButton);
    Button100->setVisible(v.button100);
    SwapButton->setVisible(v.swapButton);
    emit phaseChanged(state_.phase());
}

void RunControls::instrumentGone()
{
    Timer2->stop();
    state_.instrumentGone();
    apply();
}

void RunControls::switchedOff()
{
    Timer2->stop();
    state_.switchedOff();
    apply();
}

void RunControls::poweredOn()
{
    state_.poweredOn();
    apply();
}

void RunControls::customerReported()
{
    Timer2->start();
}

void RunControls::readyTimerFired()
{
    state_.readyTimerFired();
    apply();
    emit readyShown();
}

void RunControls::runStarted(int kind)
{
    state_.runStarted(kind);
    apply();
}

void RunControls::runEnded()
{
    state_.runEnded();
    apply();
}

void RunControls::showGain(int item)
{
    if (QAbstractButton* b = GainButtons->button(item))
        b->setChecked(true);
}

void RunControls::showUnit(int item)
{
    if (QAbstractButton* b = UnitButtons->button(item))
        b->setChecked(true);
}

void RunControls::showInterval(long long seconds)
{
    IntervallIO->setText(QString::number(seconds));
}

int RunControls::interval() const
{
    return static_cast<int>(IntervallIO->GetValue());
}

} // namespace kv58
