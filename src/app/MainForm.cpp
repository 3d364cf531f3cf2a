#include "app/MainForm.h"

#include "app/DeferredCommands.h"
#include "app/DeviceLink.h"
#include "app/DevicePage.h"
#include "app/GraphPage.h"
#include "app/DeviceSelection.h"
#include "app/HistoryLog.h"
#include "app/InfoSheets.h"
#include "app/InternPage.h"
#include "app/MeasurePage.h"
#include "app/MessageDispatcher.h"
#include "app/StyleList.h"
#include "app/WindowTranslator.h"
#include "core/Clock.h"
#include "core/Translation.h"
#include "link/HidDeviceController.h"
#include "protocol/Commands.h"
#include "widgets/NumLab.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

namespace kv58 {

TMainForm::TMainForm(MainFormOptions options, QWidget* parent)
    : QMainWindow(parent), clock_(options.clock ? options.clock : &systemClock()), pacing_(options.pacing)
{
    setWindowTitle(QString::fromUtf8(N_("Software KV58")));
    buildMenus();
    buildPages();
    buildStatusBar();
    buildTimers();
    FormCreate();
    buildBehaviour(options);
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::FormCreate()
{
    // Data lists are never translated.
    WindowTranslator::exclude(HistoryListBox);
    WindowTranslator::exclude(DeviceSheet->KV58_AuswahlBox);
    WindowTranslator::exclude(UVG->cbxStyles);
    WindowTranslator::excludeClass("kv58::TReportListView");
    kv58::selectLanguage(QStringLiteral("en"));
    WindowTranslator::translate(this);

    PageControl1->setCurrentWidget(Measure);
    state_.TransferAll = false;
    setMinimumSize(530, 640);

    LoadSettings(true);
    kv58::selectLanguage(Englisch1->isChecked() ? QStringLiteral("en") : QStringLiteral("de"));
    WindowTranslator::retranslate(this);
    (kv58::language() == QLatin1String("de") ? Deutsch1 : Englisch1)->setChecked(true);

    UVG->DirectoryEdit1->setText(settings_.dataPath);

    for (QWidget* page : {static_cast<QWidget*>(UVG), Transfer, ZeitTab, KalSheet})
        setTabShown(PageControl1, page, settings_.serviceMode);

    for (QWidget* page : {static_cast<QWidget*>(CH1Sheet), static_cast<QWidget*>(CH2Sheet),
                          static_cast<QWidget*>(KV58Sheet)})
        setTabShown(PageControl2, page, false);
    PageControl2->setCurrentWidget(DeviceSheet);

    styles_ = new StyleList(UVG->cbxStyles);
    styles_->setParent(this);
}

void TMainForm::buildBehaviour(const MainFormOptions& options)
{
    hidCtl_ = options.backends ? std::make_unique<THidDeviceController>(options.backends())
                               : std::make_unique<THidDeviceController>();
    link_ = new DeviceLink(state_, *HistoryListBox, this);
    jobs_ = new DeferredCommands(
        Timer1,
        [this] {
            DeferredJobInputs in;
            in.now = clock_->now();
            in.hardwareVersion = state_.HardwareVersion;
            return in;
        },
        [this](const QString& line) { link_->USB_Send(line); }, this);
    connect(jobs_, &DeferredCommands::jobSent, this, [this](int job, const DeferredJobInputs& in) {
        if (job == JobSetRtc)
            state_.RTCStart = in.now;
    });
    dispatcher_ = new MessageDispatcher(state_, *jobs_, *this, this);
    selection_ = new DeviceSelection(*hidCtl_, state_, *link_, *DeviceSheet, *UseTimer, pacing_, this);

    connect(link_, &DeviceLink::lineReceived, dispatcher_, &MessageDispatcher::decode);
    connect(hidCtl_.get(), &THidDeviceController::OnDeviceChange, selection_, &DeviceSelection::HidCtlDeviceChange);
    connect(hidCtl_.get(), &THidDeviceController::OnDeviceDataError, link_, &DeviceLink::HidCtlDeviceDataError);
    connect(hidCtl_.get(), &THidDeviceController::OnDeviceSkipped, this,
            [this](const QString& path, const QString& reason) {
                link_->AddToHistory(QStringLiteral("SKIPPED: %1: %2").arg(path, reason));
            });
    connect(hidCtl_.get(), &THidDeviceController::OnDeviceOpenError, this,
            [this](THidDevice*, const QString& message) { link_->AddToHistory(message); });
    connect(selection_, &DeviceSelection::instrumentUnplugged, this, &TMainForm::resetAfterUnplug);
    connect(selection_, &DeviceSelection::instrumentTakenIntoUse, this, &TMainForm::showInstrumentInUse);
    connect(selection_, &DeviceSelection::measurePageWanted, this,
            [this] { PageControl1->setCurrentWidget(Measure); });
    connect(DeviceSheet->PowerButton, &QPushButton::clicked, selection_, &DeviceSelection::PowerButtonClick);
    connect(DeviceSheet->KV58_AuswahlBox, &QListWidget::itemClicked, selection_,
            &DeviceSelection::KV58_AuswahlBoxClick);

    UseTimer->setInterval(pacing_.ms(5000));
    Timer1->setInterval(pacing_.ms(200));
    Timer2->setInterval(pacing_.ms(3500));
    connect(UseTimer, &QTimer::timeout, this, &TMainForm::UseTimerTimer);

    connect(Beenden1, &QAction::triggered, this, &QWidget::close);
    connect(Englisch1, &QAction::triggered, this, [this] { selectLanguage(true); });
    connect(Deutsch1, &QAction::triggered, this, [this] { selectLanguage(false); });
    connect(UVG->DirectoryEdit1, &QLineEdit::editingFinished, this, &TMainForm::DirectoryEdit1Exit);
}

void TMainForm::LoadSettings(bool Full)
{
    store_.load(settings_, Full);
    (settings_.english ? Englisch1 : Deutsch1)->setChecked(true);
    if (Full) {
        Graph->MaxSpin->setValue(settings_.graphMax);
        Graph->MinSpin->setValue(settings_.graphMin);
        restoreWindowPlacement(*this, settings_);
    }
}

void TMainForm::SaveSettings(bool Full)
{
    settings_.english = Englisch1->isChecked();
    if (Full) {
        settings_.graphMax = Graph->MaxSpin->value();
        settings_.graphMin = Graph->MinSpin->value();
        storeWindowPlacement(*this, settings_);
    }
    store_.save(settings_, Full);
}

void TMainForm::selectLanguage(bool english)
{
    kv58::selectLanguage(english ? QStringLiteral("en") : QStringLiteral("de"));
    WindowTranslator::retranslate(this);
    SaveSettings(false);
}

void TMainForm::DirectoryEdit1Exit()
{
    const auto folder = dataFolderFromText(UVG->DirectoryEdit1->text());
    if (!folder) {
        UVG->DirectoryEdit1->setText(settings_.dataPath);
        return;
    }
    UVG->DirectoryEdit1->setText(*folder);
    settings_.dataPath = *folder;
    SaveSettings(false);
}

void TMainForm::resetAfterUnplug()
{
    setTabShown(PageControl2, KV58Sheet, false);
    Measure->hideLiveDisplays();
    for (QLabel* panel : StatusPanel)
        panel->clear();
    PageControl1->setCurrentWidget(Measure);
    CH1Sheet->clearDetails();
    CH2Sheet->clearDetails();
}

void TMainForm::showInstrumentInUse(THidDevice* device)
{
    StatusPanel[0]->setText(_("KV-58 connected"));
    StatusPanel[1]->setText(QStringLiteral(" (#%1)").arg(device->SerialNumber()));
    PageControl1->setCurrentWidget(Measure);
}

void TMainForm::UseTimerTimer()
{
    link_->USB_Send(cmd::inUse());
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    FormDestroy();
    event->accept();
}

// Runs once, on the first close or at destruction: settings saved, then the instrument released
// and switched off, its reader stopped before the controller goes.
void TMainForm::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    SaveSettings(true);
    if (!state_.CurrentDevice || !link_)
        return;
    link_->USB_Send(cmd::setUse(false));
    QThread::msleep(static_cast<unsigned long>(pacing_.ms(100)));
    link_->USB_Send(cmd::powerOff());
    state_.CurrentDevice->setOnData(nullptr);
    state_.CurrentDevice = nullptr;
}

} // namespace kv58
