#include "app/service/KalPage.h"

#include "core/Translation.h"
#include "widgets/NumIO.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kv58 {
namespace {

TNumIO* numberField(const QString& name, const QString& text, QWidget* parent)
{
    auto* field = new TNumIO(parent);
    field->setObjectName(name);
    field->setInputFormat(TInFormat::itFloat);
    field->setDecPlaceSep(TDecPSep::dsDot);
    field->setText(text);
    return field;
}

} // namespace

KalPage::KalPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* calibration = new QGroupBox(QString::fromUtf8(N_("Sensor Calibration")), this);
    auto* channels = new QHBoxLayout(calibration);
    TNumIO** factors[] = {&CH1KalValue, &CH2KalValue};
    TNumIO** offsets[] = {&CH1Offset, &CH2Offset};
    const char* captions[] = {N_("Kanal 1"), N_("Kanal 2")};
    for (int i = 0; i < 2; ++i) {
        auto* group = new QGroupBox(QString::fromUtf8(captions[i]), calibration);
        auto* form = new QFormLayout(group);
        const QString prefix = QStringLiteral("CH%1").arg(i + 1);
        *factors[i] = numberField(prefix + QStringLiteral("KalValue"), QStringLiteral("1"), group);
        (*factors[i])->setRange(0.0001, 9999.9999);
        *offsets[i] = numberField(prefix + QStringLiteral("Offset"), QStringLiteral("0"), group);
        (*factors[i])->setAccessibleName(prefix + QStringLiteral(" factor"));
        (*offsets[i])->setAccessibleName(prefix + QStringLiteral(" offset"));
        form->addRow(new QLabel(QStringLiteral("Kal"), group), *factors[i]);
        form->addRow(new QLabel(QStringLiteral("Offset"), group), *offsets[i]);
        channels->addWidget(group);
    }
    layout->addWidget(calibration);
    layout->addStretch(1);
}

void KalPage::showOffset(int channel, const QString& text)
{
    (channel == 2 ? CH2Offset : CH1Offset)->setText(text);
}

void KalPage::sensorRemoved(int channel)
{
    (channel == 2 ? CH2KalValue : CH1KalValue)->setText(QStringLiteral("0"));
    (channel == 2 ? CH2Offset : CH1Offset)->setText(QStringLiteral("0"));
}

QString KalPage::factorText(int channel) const
{
    return (channel == 2 ? CH2KalValue : CH1KalValue)->text();
}

QString KalPage::offsetText(int channel) const
{
    return (channel == 2 ? CH2Offset : CH1Offset)->text();
}

} // namespace kv58
