// The main window: the composition root. It builds the page controls, the menus and the status
// bar, creates one collaborator per concern (device search and power, run controls, live
// measurement, information tabs, pages, history log) and wires their signals; the behaviour lives
// in those classes and the window's widgets stay its own.
#pragma once

#include "app/shell/Pacing.h"
#include "app/shell/Settings.h"
#include "link/HidBackend.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QTabWidget;

namespace kv58 {

class Clock;
class DeferredCommands;
class DeviceLink;
class DevicePage;
class FileCommands;
class RecentFiles;
class DeviceSelection;
class GraphPage;
class HistoryLog;
class InformationTabs;
class InstrumentSession;
class InternPage;
class KalPage;
class LiveMeasurement;
class Measurement;
class MeasurePage;
class MessageDispatcher;
class RunControls;
class StatusPanels;
class TablePage;
class THidDevice;
class THidDeviceController;
class UsePoll;
class ZeitPage;
struct LiveSettings;

// What tests replace: the clock, how long waits last, and where devices come from.
struct MainFormOptions {
    Pacing pacing;
    Clock* clock = nullptr; // the machine's clock when null
    std::function<std::vector<std::unique_ptr<HidBackend>>()>
        backends; // the OS and the virtual bus when empty
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const MainFormOptions& options = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    void LoadSettings(bool Full);
    void SaveSettings(bool Full);

    // The collaborators, for the program's entry point and for tests.
    THidDeviceController& HidCtl() { return *hidCtl_; }
    InstrumentSession& session() { return *session_; }
    DeviceLink& link() { return *link_; }
    DeviceSelection& selection() { return *selection_; }
    DeferredCommands& jobs() { return *jobs_; }
    UsePoll& usePoll() { return *usePoll_; }
    Measurement& measurement() { return *measurement_; }
    LiveMeasurement& live() { return *live_; }
    const Settings& settings() const { return settings_; }
    FileCommands& files() { return *files_; }

    // Opens a measurement file given at start-up (or dropped on the window).
    bool openFile(const QString& path);
    bool ServiceMode() const { return settings_.serviceMode; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Measurement files dragged from a file manager open when dropped.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildPages();
    void buildCollaborators(const MainFormOptions& options);
    void wire();
    void FormCreate();
    void FormDestroy();

    void selectLanguage(bool english);
    void DirectoryEdit1Exit();
    void resetAfterUnplug();
    void showInstrumentInUse(THidDevice* device);
    void markUnsaved();
    LiveSettings liveSettings() const;

    Clock* clock_;
    Pacing pacing_;
    Settings settings_; // also holds `DisplayTime` and `Decimal` between loads and saves
    SettingsStore store_;
    bool destroyed_ = false;

    // Left page control (`PageControl2`): device control and the information tabs.
    QTabWidget* PageControl2 = nullptr;
    DevicePage* DeviceSheet = nullptr;
    // Right page control (`PageControl1`): the measurement pages and the service pages.
    QTabWidget* PageControl1 = nullptr;
    MeasurePage* Measure = nullptr;
    TablePage* Table = nullptr;
    GraphPage* Graph = nullptr;
    QWidget* Transfer = nullptr;
    InternPage* UVG = nullptr; // "Intern ONLY"
    ZeitPage* ZeitTab = nullptr;
    KalPage* KalSheet = nullptr;
    HistoryLog* HistoryListBox = nullptr;

    QAction* OpenAction = nullptr;
    QAction* SaveAction = nullptr;
    QAction* SaveAsAction = nullptr;
    QMenu* RecentMenu = nullptr;
    QAction* Englisch1 = nullptr;
    QAction* Deutsch1 = nullptr;
    QAction* Beenden1 = nullptr;
    QAction* CopyToClip = nullptr;
    QAction* Setup1 = nullptr;
    QAction* About = nullptr;

    std::unique_ptr<Measurement> measurement_;
    std::unique_ptr<THidDeviceController> hidCtl_;
    InstrumentSession* session_ = nullptr;
    StatusPanels* status_ = nullptr;
    DeviceLink* link_ = nullptr;
    UsePoll* usePoll_ = nullptr;
    DeferredCommands* jobs_ = nullptr;
    DeviceSelection* selection_ = nullptr;
    RunControls* runControls_ = nullptr;
    InformationTabs* infoTabs_ = nullptr;
    LiveMeasurement* live_ = nullptr;
    MessageDispatcher* dispatcher_ = nullptr;
    RecentFiles* recent_ = nullptr;
    FileCommands* files_ = nullptr;
    bool pollWasActive_ = false; // the keep-alive poll's state before a file was read
};

} // namespace kv58
