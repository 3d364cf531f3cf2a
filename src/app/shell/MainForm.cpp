#include "app/shell/MainForm.h"

#include "app/device/DeferredCommands.h"
#include "app/device/DeviceLink.h"
#include "app/device/DevicePage.h"
#include "app/device/DeviceSelection.h"
#include "app/device/InstrumentSession.h"
#include "app/device/MessageDispatcher.h"
#include "app/device/UsePoll.h"
#include "app/files/FileCommands.h"
#include "app/files/RecentFiles.h"
#include "app/info/InformationTabs.h"
#include "app/measure/GraphPage.h"
#include "app/measure/LiveMeasurement.h"
#include "app/measure/MeasurePage.h"
#include "app/measure/RunControls.h"
#include "app/measure/TablePage.h"
#include "app/service/HistoryLog.h"
#include "app/service/InternPage.h"
#include "app/service/KalPage.h"
#include "app/service/ZeitPage.h"
#include "app/shell/StatusPanels.h"
#include "app/shell/TabVisibility.h"
#include "app/shell/WindowTranslator.h"
#include "core/Clock.h"
#include "core/Translation.h"
#include "data/Measurement.h"
#include "link/HidDeviceController.h"
#include "live/InfoRules.h"
#include "live/LiveRun.h"
#include "protocol/Commands.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

namespace kv58 {
namespace {

constexpr int kUsePollMs = 5000;
constexpr int kDeferredCommandMs = 200;
constexpr int kReadyDelayMs = 3500;
constexpr int kPowerOffDelayMs = 100;

} // namespace

TMainForm::TMainForm(const MainFormOptions& options, QWidget* parent)
    : QMainWindow(parent), clock_(options.clock ? options.clock : &systemClock()), pacing_(options.pacing),
      measurement_(std::make_unique<Measurement>())
{
    setWindowTitle(QString::fromUtf8(N_("Software KV58")));
    buildMenus();
    buildPages();
    buildCollaborators(options);
    FormCreate();
    wire();
}

TMainForm::~TMainForm()
{
    FormDestroy();
    // The pages show the measurement: they go before it does.
    delete takeCentralWidget();
}

void TMainForm::FormCreate()
{
    // Data lists are never translated.
    WindowTranslator::exclude(HistoryListBox);
    WindowTranslator::excludeClass("kv58::TReportListView");
    kv58::selectLanguage(QStringLiteral("en"));
    WindowTranslator::translate(this);

    PageControl1->setCurrentWidget(Measure);
    session_->setTransferAll(false);
    UVG->setDatesToday(clock_->now());
    setMinimumSize(530, 640);

    LoadSettings(true);
    kv58::selectLanguage(Englisch1->isChecked() ? QStringLiteral("en") : QStringLiteral("de"));
    WindowTranslator::retranslate(this);
    (kv58::language() == QLatin1String("de") ? Deutsch1 : Englisch1)->setChecked(true);

    UVG->setDataFolderText(settings_.dataPath);

    for (QWidget* page : {static_cast<QWidget*>(UVG), Transfer, static_cast<QWidget*>(ZeitTab),
                          static_cast<QWidget*>(KalSheet)})
        setTabShown(*PageControl1, page, settings_.serviceMode);

    PageControl2->setCurrentWidget(
        DeviceSheet); // the information tabs are hidden until the instrument reports
}

void TMainForm::buildCollaborators(const MainFormOptions& options)
{
    hidCtl_ = options.backends ? std::make_unique<THidDeviceController>(options.backends())
                               : std::make_unique<THidDeviceController>();
    session_ = new InstrumentSession(this);
    status_ = new StatusPanels(*statusBar(), this);
    link_ = new DeviceLink(*session_, *HistoryListBox, this);
    usePoll_ = new UsePoll(
        pacing_.ms(kUsePollMs), [this] { link_->USB_Send(cmd::inUse()); }, this);
    usePoll_->setObjectName(QStringLiteral("UseTimer"));
    // `Timer1`: the 200 ms one-shot after which a reply's deferred command (`Timer1Job`) goes out.
    auto* timer1 = new QTimer(this);
    timer1->setObjectName(QStringLiteral("Timer1"));
    timer1->setSingleShot(true);
    timer1->setInterval(pacing_.ms(kDeferredCommandMs));
    jobs_ = new DeferredCommands(
        timer1,
        [this] {
            DeferredJobInputs in;
            in.now = clock_->now();
            in.hardwareVersion = session_->HardwareVersion();
            return in;
        },
        [this](const QString& line) { link_->USB_Send(line); }, this);
    selection_ = new DeviceSelection(*hidCtl_, *session_, *link_, *DeviceSheet, *usePoll_, pacing_, this);
    runControls_ =
        new RunControls([this](const QString& line) { link_->USB_Send(line); }, pacing_.ms(kReadyDelayMs));
    runControls_->setObjectName(QStringLiteral("RunControls"));
    DeviceSheet->setRunControls(runControls_);
    infoTabs_ = new InformationTabs(*PageControl2, *measurement_, this);
    live_ = new LiveMeasurement(
        *measurement_, *clock_, *Measure, *Table, [this] { return liveSettings(); }, this);
    recent_ = new RecentFiles(*RecentMenu, this);
    files_ = new FileCommands({*measurement_, *live_, *Table, *Graph, *recent_, *this,
                               [this] { return runControls_->interval(); },
                               [this]() -> const Settings& { return settings_; }},
                              this);
    dispatcher_ =
        new MessageDispatcher({*session_, *jobs_, *selection_, *DeviceSheet, *usePoll_, *runControls_, *live_,
                               *infoTabs_, *status_, *measurement_, *UVG, *ZeitTab, *KalSheet, *this},
                              this);
}

void TMainForm::wire()
{
    connect(jobs_, &DeferredCommands::jobSent, this, [this](int job, const DeferredJobInputs& in) {
        if (job == JobSetRtc)
            session_->setRTCStart(in.now);
    });
    connect(link_, &DeviceLink::lineReceived, dispatcher_, &MessageDispatcher::decode);
    connect(hidCtl_.get(), &THidDeviceController::OnDeviceChange, selection_,
            &DeviceSelection::HidCtlDeviceChange);
    connect(hidCtl_.get(), &THidDeviceController::OnDeviceDataError, link_,
            &DeviceLink::HidCtlDeviceDataError);
    connect(hidCtl_.get(), &THidDeviceController::OnDeviceSkipped, this,
            [this](const QString& path, const QString& reason) {
                link_->AddToHistory(QStringLiteral("SKIPPED: %1: %2").arg(path, reason));
            });
    connect(hidCtl_.get(), &THidDeviceController::OnDeviceOpenError, this,
            [this](THidDevice*, const QString& message) { link_->AddToHistory(message); });

    connect(DeviceSheet, &DevicePage::powerClicked, selection_, &DeviceSelection::PowerButtonClick);
    connect(DeviceSheet, &DevicePage::instrumentPicked, selection_, &DeviceSelection::KV58_AuswahlBoxClick);
    connect(selection_, &DeviceSelection::instrumentUnplugged, this, &TMainForm::resetAfterUnplug);
    connect(selection_, &DeviceSelection::instrumentTakenIntoUse, this, &TMainForm::showInstrumentInUse);
    connect(selection_, &DeviceSelection::switchedOffByUser, this, [this] {
        runControls_->switchedOff();
        PageControl1->setCurrentWidget(Measure);
    });

    connect(runControls_, &RunControls::runRequested, measurement_.get(), &Measurement::setRunKind);
    connect(runControls_, &RunControls::readyShown, this,
            [this] { PageControl2->setCurrentWidget(DeviceSheet); });
    connect(live_, &LiveMeasurement::lineArrived, this, &TMainForm::markUnsaved);
    connect(live_, &LiveMeasurement::measurePageWanted, this,
            [this] { PageControl1->setCurrentWidget(Measure); });

    connect(OpenAction, &QAction::triggered, files_, &FileCommands::KV58_CSV_OpenClick);
    connect(SaveAction, &QAction::triggered, files_, &FileCommands::Save_KV58Click);
    connect(SaveAsAction, &QAction::triggered, files_, &FileCommands::KV58_CSV_SaveClick);
    connect(CopyToClip, &QAction::triggered, files_, &FileCommands::CopyToClipClick);
    connect(files_, &FileCommands::titleChanged, this, &QWidget::setWindowTitle);
    connect(files_, &FileCommands::graphPageWanted, this, [this] { PageControl1->setCurrentWidget(Graph); });
    // While a file is read the instrument's lines wait, and so does the keep-alive poll, whose
    // answer would wait with them.
    connect(files_, &FileCommands::loadStarted, this, [this] {
        pollWasActive_ = usePoll_->isActive();
        usePoll_->stop();
        dispatcher_->hold();
    });
    connect(files_, &FileCommands::loadFinished, this, [this] {
        if (pollWasActive_)
            usePoll_->start();
        dispatcher_->release();
    });
    connect(recent_, &RecentFiles::changed, this, [this] { SaveSettings(false); });
    setAcceptDrops(true);

    connect(Beenden1, &QAction::triggered, this, &QWidget::close);
    connect(Englisch1, &QAction::triggered, this, [this] { selectLanguage(true); });
    connect(Deutsch1, &QAction::triggered, this, [this] { selectLanguage(false); });
    connect(UVG, &InternPage::dataFolderEdited, this, &TMainForm::DirectoryEdit1Exit);
}

LiveSettings TMainForm::liveSettings() const
{
    LiveSettings s;
    s.displayTime = settings_.displayTime;
    s.interval = runControls_->interval();
    s.yMax = Graph->yMax();
    s.yMin = Graph->yMin();
    return s;
}

// Every measurement line marks the data as not saved: "Software KV58 - <file name>*".
void TMainForm::markUnsaved()
{
    DeviceSheet->showStateLabel(DevicePage::StateLabel::None);
    const QString fileName = measurement_->fileName();
    setWindowTitle(_("Software KV58") + QStringLiteral(" - ") + fileName.section(u'/', -1) + u'*');
}

void TMainForm::LoadSettings(bool Full)
{
    store_.load(settings_, Full);
    (settings_.english ? Englisch1 : Deutsch1)->setChecked(true);
    {
        const QSignalBlocker quiet(recent_); // taking the list in is no change to save
        recent_->setFiles(settings_.recentFiles);
    }
    if (Full) {
        Graph->setYRange(settings_.graphMax, settings_.graphMin);
        restoreWindowPlacement(*this, settings_);
    }
}

void TMainForm::SaveSettings(bool Full)
{
    settings_.english = Englisch1->isChecked();
    settings_.recentFiles = recent_->files();
    if (Full) {
        settings_.graphMax = Graph->yMax();
        settings_.graphMin = Graph->yMin();
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
    const auto folder = dataFolderFromText(UVG->dataFolderText());
    if (!folder) {
        UVG->setDataFolderText(settings_.dataPath);
        return;
    }
    UVG->setDataFolderText(*folder);
    settings_.dataPath = *folder;
    SaveSettings(false);
}

void TMainForm::resetAfterUnplug()
{
    runControls_->instrumentGone();
    infoTabs_->hideAll();
    Measure->hideLiveDisplays();
    status_->clear();
    PageControl1->setCurrentWidget(Measure);
    for (int channel : {1, 2})
        measurement_->setSensor(channel, sensorWithoutDetails(measurement_->sensor(channel)));
}

void TMainForm::showInstrumentInUse(THidDevice* device)
{
    status_->setConnection(_("KV-58 connected"));
    status_->setUsbSerial(QStringLiteral(" (#%1)").arg(device->SerialNumber()));
    runControls_->switchedOff();
    PageControl1->setCurrentWidget(Measure);
}

bool TMainForm::openFile(const QString& path)
{
    if (!FileCommands::isOpenable(path)) {
        QMessageBox::warning(this, _("Notice"),
                             _("%1 is neither a measurement file (.csv) nor a table (.xml).")
                                 .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return files_->openFile(path);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile() &&
        FileCommands::isOpenable(urls.constFirst().toLocalFile()))
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    const QString path = urls.constFirst().toLocalFile();
    // Opened after the drop has ended, so the file manager is not held while the file is read.
    QTimer::singleShot(0, this, [this, path] { files_->openFile(path); });
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
    THidDevice* device = session_ ? session_->CurrentDevice() : nullptr;
    if (!device || !link_)
        return;
    link_->USB_Send(cmd::setUse(false));
    QThread::msleep(static_cast<unsigned long>(pacing_.ms(kPowerOffDelayMs)));
    link_->USB_Send(cmd::powerOff());
    device->setOnData(nullptr);
    session_->setCurrentDevice(nullptr);
}

} // namespace kv58
