// The main window: the composition root that owns the controller, every page and all state, and
// wires events to the classes that carry each concern.
#pragma once

#include "app/AppState.h"
#include "app/Pacing.h"
#include "app/Settings.h"
#include "link/HidBackend.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QTabWidget;
class QTimer;

namespace kv58 {

class ChannelInfoSheet;
class Clock;
class DeferredCommands;
class DeviceLink;
class DevicePage;
class DeviceSelection;
class GraphPage;
class HistoryLog;
class InstrumentInfoSheet;
class InternPage;
class MeasurePage;
class MessageDispatcher;
class StyleList;
class THidDeviceController;
class TReportListView;

// What tests replace: the clock, how long waits last, and where devices come from.
struct MainFormOptions {
    Pacing pacing;
    Clock* clock = nullptr; // the machine's clock when null
    std::function<std::vector<std::unique_ptr<HidBackend>>()> backends; // the OS and the virtual bus when empty
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(MainFormOptions options = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    void LoadSettings(bool Full);
    void SaveSettings(bool Full);

    AppState& state() { return state_; }
    THidDeviceController& HidCtl() { return *hidCtl_; }
    DeviceLink& link() { return *link_; }
    DeviceSelection& selection() { return *selection_; }
    DeferredCommands& jobs() { return *jobs_; }
    const Settings& settings() const { return settings_; }
    bool ServiceMode() const { return settings_.serviceMode; }

    // Left page control and its tabs.
    QTabWidget* PageControl2;
    DevicePage* DeviceSheet;
    InstrumentInfoSheet* KV58Sheet;
    ChannelInfoSheet* CH1Sheet;
    ChannelInfoSheet* CH2Sheet;

    // Right page control and its tabs.
    QTabWidget* PageControl1;
    MeasurePage* Measure;
    QWidget* Table;
    TReportListView* RL;
    GraphPage* Graph;
    QWidget* Transfer;
    InternPage* UVG;
    QWidget* ZeitTab;
    QWidget* KalSheet;

    HistoryLog* HistoryListBox;

    // Status bar panels: connection, USB serial, instrument serial.
    QLabel* StatusPanel[3];

    // Menu items.
    QAction* OpenAction;
    QAction* SaveAction;
    QAction* SaveAsAction;
    QAction* Englisch1;
    QAction* Deutsch1;
    QAction* Beenden1;
    QAction* CopyToClip;
    QAction* Setup1;
    QAction* About;

    QTimer* Timer1;
    QTimer* Timer2;
    QTimer* Timer5;
    QTimer* UseTimer;

    // Shows or hides a tab of either page control by its page.
    static void setTabShown(QTabWidget* tabs, QWidget* page, bool shown);
    static bool isTabShown(const QTabWidget* tabs, const QWidget* page);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildPages();
    void buildStatusBar();
    void buildTimers();
    void buildBehaviour(const MainFormOptions& options);
    void FormCreate();
    void FormDestroy();

    void selectLanguage(bool english);
    void DirectoryEdit1Exit();
    void resetAfterUnplug();
    void showInstrumentInUse(THidDevice* device);
    void UseTimerTimer();

    Clock* clock_;
    Pacing pacing_;
    AppState state_;
    Settings settings_; // also holds `DisplayTime` and `Decimal` between loads and saves
    SettingsStore store_;
    bool destroyed_ = false;

    std::unique_ptr<THidDeviceController> hidCtl_;
    DeviceLink* link_ = nullptr;
    DeviceSelection* selection_ = nullptr;
    DeferredCommands* jobs_ = nullptr;
    MessageDispatcher* dispatcher_ = nullptr;
    StyleList* styles_ = nullptr;
};

} // namespace kv58
