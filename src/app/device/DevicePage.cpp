#include "app/device/DevicePage.h"

#include "core/Translation.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv58 {
namespace {

QLabel* makeStateLabel(const char* caption, const char* name, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->hide();
    return label;
}

THidDevice* deviceOf(const QListWidgetItem* item)
{
    return item ? static_cast<THidDevice*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
}

} // namespace

DevicePage::DevicePage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);

    PowerButton = new QPushButton(QString::fromUtf8(N_("Power")), this);
    PowerButton->setObjectName(QStringLiteral("PowerButton"));
    PowerButton->setAutoDefault(false);
    PowerButton->setMinimumHeight(48);
    QFont big = PowerButton->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    PowerButton->setFont(big);
    PowerButton->hide();
    layout->addWidget(PowerButton);
    connect(PowerButton, &QPushButton::clicked, this, &DevicePage::powerClicked);

    runControlsPlace_ = new QWidget(this);
    auto* place = new QVBoxLayout(runControlsPlace_);
    place->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(runControlsPlace_);

    NoKVLabel = makeStateLabel(N_("NO KV58 CONNECTED"), "NoKVLabel", this);
    SearchKVLabel = makeStateLabel(N_("Searching KV58"), "SearchKVLabel", this);
    KVOffLabel = makeStateLabel(N_("KV58 is off."), "KVOffLabel", this);
    SelectKVLabel = makeStateLabel(N_("Please select the KV58:"), "SelectKVLabel", this);
    auto* labels = new QWidget(this);
    auto* labelPlace = new QGridLayout(labels);
    for (QLabel* label : {NoKVLabel, SearchKVLabel, KVOffLabel, SelectKVLabel})
        labelPlace->addWidget(label, 0, 0);
    layout->addWidget(labels);
    layout->addStretch(1);

    KV58_AuswahlBox = new QListWidget(this);
    KV58_AuswahlBox->setObjectName(QStringLiteral("KV58_AuswahlBox"));
    KV58_AuswahlBox->setAccessibleName(QStringLiteral("KV58"));
    KV58_AuswahlBox->setMaximumHeight(120);
    KV58_AuswahlBox->hide();
    layout->addWidget(KV58_AuswahlBox);
    connect(KV58_AuswahlBox, &QListWidget::itemClicked, this, &DevicePage::instrumentPicked);
    connect(KV58_AuswahlBox, &QListWidget::itemActivated, this, &DevicePage::instrumentPicked);

    showStateLabel(StateLabel::NoInstrument);
}

void DevicePage::setRunControls(QWidget* controls)
{
    controls->setParent(runControlsPlace_);
    runControlsPlace_->layout()->addWidget(controls);
}

void DevicePage::showStateLabel(StateLabel label)
{
    shownLabel_ = label;
    const std::pair<StateLabel, QLabel*> labels[] = {{StateLabel::NoInstrument, NoKVLabel},
                                                     {StateLabel::Searching, SearchKVLabel},
                                                     {StateLabel::Off, KVOffLabel},
                                                     {StateLabel::Select, SelectKVLabel}};
    for (const auto& [which, widget] : labels)
        widget->setVisible(which == label);
}

void DevicePage::setPowerButtonShown(bool shown)
{
    PowerButton->setVisible(shown);
}

void DevicePage::clearInstruments()
{
    KV58_AuswahlBox->clear();
}

void DevicePage::addInstrument(const QString& name, THidDevice* device)
{
    auto* item = new QListWidgetItem(name, KV58_AuswahlBox);
    item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(device)));
}

int DevicePage::instrumentCount() const
{
    return KV58_AuswahlBox->count();
}

THidDevice* DevicePage::instrumentAt(int index) const
{
    return deviceOf(KV58_AuswahlBox->item(index));
}

THidDevice* DevicePage::pickedInstrument() const
{
    return deviceOf(KV58_AuswahlBox->currentItem());
}

void DevicePage::setInstrumentListShown(bool shown)
{
    KV58_AuswahlBox->setVisible(shown);
}

} // namespace kv58
