#include "app/service/InternPage.h"

#include "app/shell/FormRows.h"
#include "app/shell/StyleList.h"
#include "app/shell/WindowTranslator.h"
#include "core/Translation.h"
#include "widgets/NumIO2.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kv58 {
namespace {

// The date the instrument reports for a production date never programmed.
constexpr int kUnprogrammedYear = 1990;

QDate toQDate(TDateTime t)
{
    const CalendarDate d = decodeDate(t);
    return {d.year, d.month, d.day};
}

QLabel* versionLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

} // namespace

InternPage::InternPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);

    auto* versions = new QGroupBox(QString::fromUtf8(N_("Device Version")), this);
    auto* versionLayout = new QVBoxLayout(versions);
    FirmLabel = versionLabel("FirmLabel", QStringLiteral("YY"), versions);
    HardLabel = versionLabel("HardLabel", QStringLiteral("XX"), versions);
    USBStackLabel = versionLabel("USBStackLabel", QString(), versions);
    for (QLabel* label : {FirmLabel, HardLabel, USBStackLabel}) {
        versionLayout->addWidget(label);
        // Versions are data, never translated.
        WindowTranslator::exclude(label);
    }
    layout->addWidget(versions);

    auto* identity = new QWidget(this);
    auto* identityForm = new QFormLayout(identity);
    identityForm->setContentsMargins(0, 0, 0, 0);
    ClientEdit1 = new QLineEdit(QStringLiteral("Client"), identity);
    ClientEdit1->setObjectName(QStringLiteral("ClientEdit1"));
    BuildDate = new QDateEdit(identity);
    BuildDate->setObjectName(QStringLiteral("BuildDate"));
    BuildDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    SerialNumber = new TNumIO2(identity);
    SerialNumber->setObjectName(QStringLiteral("SerialNumber"));
    SerialNumber->setInputFormat(TInFormat::itInt);
    SerialNumber->setRange(1, 9999);
    SerialNumber->SetText(QStringLiteral("2"));
    CalDate = new QDateEdit(identity);
    CalDate->setObjectName(QStringLiteral("CalDate"));
    CalDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    addCaptionedRow(identityForm, N_("Client:"), ClientEdit1, identity);
    addCaptionedRow(identityForm, N_("Manu. date:"), BuildDate, identity);
    addCaptionedRow(identityForm, N_("Serial:"), SerialNumber, identity);
    addCaptionedRow(identityForm, N_("Calibrationdate:"), CalDate, identity);
    WindowTranslator::exclude(SerialNumber);
    layout->addWidget(identity);

    auto* folderAndStyle = new QWidget(this);
    auto* form = new QFormLayout(folderAndStyle);
    form->setContentsMargins(0, 0, 0, 0);
    DirectoryEdit1 = new QLineEdit(folderAndStyle);
    DirectoryEdit1->setObjectName(QStringLiteral("DirectoryEdit1"));
    addCaptionedRow(form, N_("Ini-Path"), DirectoryEdit1, folderAndStyle);
    connect(DirectoryEdit1, &QLineEdit::editingFinished, this, &InternPage::dataFolderEdited);

    cbxStyles = new QComboBox(folderAndStyle);
    cbxStyles->setObjectName(QStringLiteral("cbxStyles"));
    addCaptionedRow(form, N_("Visual style"), cbxStyles, folderAndStyle);
    // Style names are data, never translated.
    WindowTranslator::exclude(cbxStyles);
    styles_ = new StyleList(cbxStyles);
    styles_->setParent(this);
    layout->addWidget(folderAndStyle);
    layout->addStretch(1);
}

QString InternPage::dataFolderText() const
{
    return DirectoryEdit1->text();
}

void InternPage::setDataFolderText(const QString& folder)
{
    DirectoryEdit1->setText(folder);
}

void InternPage::showVersions(const QString& firmware, const QString& hardware, const QString& usbStack)
{
    FirmLabel->setText(QStringLiteral("Firmware: ") + firmware);
    HardLabel->setText(QStringLiteral("Hardware: ") + hardware);
    USBStackLabel->setText(usbStack);
}

void InternPage::showCustomer(const QString& customer)
{
    ClientEdit1->setText(customer);
    ClientEdit1->setEnabled(customer == QLatin1String("NOT SET"));
}

void InternPage::showBuildDate(TDateTime date)
{
    const QDate d = toQDate(date);
    BuildDate->setDate(d);
    BuildDate->setEnabled(d == QDate(kUnprogrammedYear, 1, 1));
}

void InternPage::showCalDate(TDateTime date)
{
    CalDate->setDate(toQDate(date));
}

void InternPage::showSerial(const QString& serial)
{
    const QString number = serial.right(4);
    SerialNumber->SetLeftText(serial.left(std::max<qsizetype>(0, serial.size() - 4)));
    const bool unprogrammed = number == QLatin1String("XXXX");
    SerialNumber->setEnabled(unprogrammed);
    if (!unprogrammed)
        SerialNumber->SetText(number);
}

void InternPage::setDatesToday(TDateTime today)
{
    BuildDate->setDate(toQDate(today));
    CalDate->setDate(toQDate(today));
}

QString InternPage::customerText() const
{
    return ClientEdit1->text();
}

bool InternPage::customerEditable() const
{
    return ClientEdit1->isEnabled();
}

QString InternPage::serialPrefix() const
{
    return SerialNumber->leftText();
}

QString InternPage::serialNumberText() const
{
    return SerialNumber->text();
}

bool InternPage::serialEditable() const
{
    return SerialNumber->isEnabled();
}

bool InternPage::buildDateEditable() const
{
    return BuildDate->isEnabled();
}

} // namespace kv58
