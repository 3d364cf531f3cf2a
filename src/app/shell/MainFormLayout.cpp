#include "app/device/DevicePage.h"
#include "app/measure/GraphPage.h"
#include "app/measure/MeasurePage.h"
#include "app/measure/TablePage.h"
#include "app/service/HistoryLog.h"
#include "app/service/InternPage.h"
#include "app/service/KalPage.h"
#include "app/service/ZeitPage.h"
#include "app/shell/MainForm.h"
#include "core/Translation.h"
#include "data/Measurement.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace kv58 {
namespace {

QString text(const char* english)
{
    return QString::fromUtf8(english);
}

QAction* menuItem(QMenu* menu, const char* caption, const char* name, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(text(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void TMainForm::buildMenus()
{
    QMenu* file = menuBar()->addMenu(text(N_("&File")));
    OpenAction = menuItem(file, N_("Open"), "KV58_CSV_Open", QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveAction = menuItem(file, N_("Save"), "Save_KV58", QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAsAction = menuItem(file, N_("Save as..."), "KV58_CSV_Save");
    file->addSeparator();
    RecentMenu = file->addMenu(text(N_("Open &Recent")));
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    file->addSeparator();
    QMenu* language = file->addMenu(text(N_("Language")));
    auto* languages = new QActionGroup(this);
    Englisch1 = menuItem(language, N_("English"), "Englisch1");
    Deutsch1 = menuItem(language, N_("German"), "Deutsch1");
    for (QAction* a : {Englisch1, Deutsch1}) {
        a->setCheckable(true);
        languages->addAction(a);
    }
    Englisch1->setChecked(true);
    file->addSeparator();
    Beenden1 = menuItem(file, N_("E&xit"), "Beenden1", QKeySequence(Qt::CTRL | Qt::Key_F4));

    QMenu* edit = menuBar()->addMenu(text(N_("&Edit")));
    CopyToClip = menuItem(edit, N_("&Copy"), "CopyToClip", QKeySequence(Qt::CTRL | Qt::Key_C));

    // "Setup" is a menu title that acts by itself.
    Setup1 = menuBar()->addAction(text(N_("Set&up")));
    Setup1->setObjectName(QStringLiteral("Setup1"));

    QMenu* help = menuBar()->addMenu(text(N_("&Help")));
    About = menuItem(help, N_("&About KV58"), "About");

    // The setup and about commands come with their own dialogs; until then they are shown
    // disabled rather than doing nothing.
    for (QAction* a : {Setup1, About})
        a->setEnabled(false);

    QToolBar* tools = addToolBar(QStringLiteral("File"));
    tools->setObjectName(QStringLiteral("FileToolBar"));
    tools->setMovable(false);
    OpenAction->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    SaveAction->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    SaveAsAction->setIcon(style()->standardIcon(QStyle::SP_DriveFDIcon));
    tools->addAction(OpenAction);
    tools->addAction(SaveAction);
    tools->addAction(SaveAsAction);
}

void TMainForm::buildPages()
{
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);

    PageControl2 = new QTabWidget(central);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->setFixedWidth(250);
    DeviceSheet = new DevicePage(PageControl2);
    DeviceSheet->setObjectName(QStringLiteral("DeviceSheet"));
    PageControl2->addTab(DeviceSheet, text(N_("Device control")));

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    Measure = new MeasurePage(PageControl1);
    Measure->setObjectName(QStringLiteral("Measure"));
    Table = new TablePage(measurement_->table(), PageControl1);
    Table->setObjectName(QStringLiteral("Table"));
    Graph = new GraphPage(measurement_->chart(), PageControl1);
    Graph->setObjectName(QStringLiteral("Graph"));
    Transfer = new QWidget(PageControl1);
    Transfer->setObjectName(QStringLiteral("Transfer"));
    UVG = new InternPage(PageControl1);
    UVG->setObjectName(QStringLiteral("UVG"));
    ZeitTab = new ZeitPage(PageControl1);
    ZeitTab->setObjectName(QStringLiteral("ZeitTab"));
    KalSheet = new KalPage(PageControl1);
    KalSheet->setObjectName(QStringLiteral("KalSheet"));
    PageControl1->addTab(Measure, text(N_("Measure")));
    PageControl1->addTab(Table, text(N_("Table")));
    PageControl1->addTab(Graph, text(N_("Graph")));
    PageControl1->addTab(Transfer, text(N_("Transfer")));
    PageControl1->addTab(UVG, text(N_("Intern ONLY")));
    PageControl1->addTab(ZeitTab, text(N_("Zeit")));
    PageControl1->addTab(KalSheet, text(N_("Kalibrierung")));

    auto* transferLayout = new QVBoxLayout(Transfer);
    HistoryListBox = new HistoryLog(Transfer);
    HistoryListBox->setObjectName(QStringLiteral("HistoryListBox"));
    auto* clearBtn = new QPushButton(text(N_("Clear")), Transfer);
    clearBtn->setObjectName(QStringLiteral("ClearBtn"));
    clearBtn->setAutoDefault(false);
    connect(clearBtn, &QPushButton::clicked, HistoryListBox, &HistoryLog::clearLog);
    // The log's own texts are data and never translated; its commands are owned by the page.
    auto* saveLogAction = new QAction(text(N_("Save log...")), Transfer);
    saveLogAction->setObjectName(QStringLiteral("SaveLogAction"));
    connect(saveLogAction, &QAction::triggered, HistoryListBox, &HistoryLog::saveWithDialog);
    HistoryListBox->addAction(saveLogAction);
    auto* saveLogBtn = new QPushButton(text(N_("Save log...")), Transfer);
    saveLogBtn->setObjectName(QStringLiteral("SaveLogBtn"));
    saveLogBtn->setAccessibleName(text(N_("Save log")));
    saveLogBtn->setAutoDefault(false);
    connect(saveLogBtn, &QPushButton::clicked, HistoryListBox, &HistoryLog::saveWithDialog);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clearBtn);
    buttons->addWidget(saveLogBtn);
    buttons->addStretch(1);
    transferLayout->addWidget(HistoryListBox);
    transferLayout->addLayout(buttons);

    layout->addWidget(PageControl2);
    layout->addWidget(PageControl1, 1);
    setCentralWidget(central);
}

} // namespace kv58
