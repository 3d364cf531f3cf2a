// The service tab "Intern ONLY": the instrument's versions, its identity fields (customer,
// production date, serial number, calibration date) as the instrument reports them, the data
// folder and the visual style. The identity fields lock once the instrument holds a programmed
// value.
#pragma once

#include "core/DateTime.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

namespace kv58 {

class StyleList;
class TNumIO2;

class InternPage : public QWidget {
    Q_OBJECT
public:
    explicit InternPage(QWidget* parent = nullptr);

    QString dataFolderText() const;
    void setDataFolderText(const QString& folder);

    // "FIRMWARE" reply: "Firmware: ..." and "Hardware: ..." and the USB stack text.
    void showVersions(const QString& firmware, const QString& hardware, const QString& usbStack);
    // "CUSTOMER:" reply; the field stays open for entry only while the customer is "NOT SET".
    void showCustomer(const QString& customer);
    // "BuildDate:" reply; the field stays open only for the unprogrammed date 01.01.1990.
    void showBuildDate(TDateTime date);
    void showCalDate(TDateTime date);
    // "SERIAL" reply: the prefix becomes the left text, the last four characters the number; an
    // unprogrammed number ("XXXX") leaves the field open for entry.
    void showSerial(const QString& serial);
    // Today's date into both date fields (at start-up).
    void setDatesToday(TDateTime today);

    QString customerText() const;
    bool customerEditable() const;
    QString serialPrefix() const;
    QString serialNumberText() const;
    bool serialEditable() const;
    bool buildDateEditable() const;

signals:
    // The folder field was confirmed or left.
    void dataFolderEdited();

private:
    QLabel* FirmLabel = nullptr;
    QLabel* HardLabel = nullptr;
    QLabel* USBStackLabel = nullptr;
    QLineEdit* ClientEdit1 = nullptr;
    QDateEdit* BuildDate = nullptr;
    TNumIO2* SerialNumber;
    QDateEdit* CalDate = nullptr;
    QLineEdit* DirectoryEdit1 = nullptr;
    QComboBox* cbxStyles = nullptr;
    StyleList* styles_ = nullptr;
};

} // namespace kv58
