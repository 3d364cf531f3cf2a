#include "app/MainForm.h"

#include "app/DevicePage.h"
#include "app/GraphPage.h"
#include "app/HistoryLog.h"
#include "app/InfoSheets.h"
#include "app/InternPage.h"
#include "app/MeasurePage.h"
#include "core/Translation.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace kv58 {
namespace {

QString text(const char* english)
{
    return QString::fromUtf8(english);
}

QAction* menuItem(QMenu* menu, const char* caption, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(text(caption));
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void TMainForm::buildMenus()
{
    QMenu* file = menuBar()->addMenu(text(N_("&File")));
    OpenAction = menuItem(file, N_("Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveAction = menuItem(file, N_("Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAsAction = menuItem(file, N_("Save as..."));
    file->addSeparator();
    QMenu* language = file->addMenu(text(N_("Language")));
    auto* languages = new QActionGroup(this);
    Englisch1 = menuItem(language, N_("English"));
    Deutsch1 = menuItem(language, N_("German"));
    for (QAction* a : {Englisch1, Deutsch1}) {
        a->setCheckable(true);
        languages->addAction(a);
    }
    Englisch1->setChecked(true);
    file->addSeparator();
    Beenden1 = menuItem(file, N_("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_F4));

    QMenu* edit = menuBar()->addMenu(text(N_("&Edit")));
    CopyToClip = menuItem(edit, N_("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));

    // "Setup" is a menu title that acts by itself.
    Setup1 = menuBar()->addAction(text(N_("Set&up")));

    QMenu* help = menuBar()->addMenu(text(N_("&Help")));
    About = menuItem(help, N_("&About KV58"));

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
    PageControl2->setFixedWidth(250);
    DeviceSheet = new DevicePage(PageControl2);
    KV58Sheet = new InstrumentInfoSheet(PageControl2);
    CH1Sheet = new ChannelInfoSheet(PageControl2);
    CH2Sheet = new ChannelInfoSheet(PageControl2);
    PageControl2->addTab(DeviceSheet, text(N_("Device control")));
    PageControl2->addTab(KV58Sheet, text(N_("KV58 Info")));
    PageControl2->addTab(CH1Sheet, text(N_("CH1: UVA")));
    PageControl2->addTab(CH2Sheet, text(N_("CH2: VISL")));

    PageControl1 = new QTabWidget(central);
    Measure = new MeasurePage(PageControl1);
    Table = new QWidget(PageControl1);
    Graph = new GraphPage(PageControl1);
    Transfer = new QWidget(PageControl1);
    UVG = new InternPage(PageControl1);
    ZeitTab = new QWidget(PageControl1);
    KalSheet = new QWidget(PageControl1);
    PageControl1->addTab(Measure, text(N_("Measure")));
    PageControl1->addTab(Table, text(N_("Table")));
    PageControl1->addTab(Graph, text(N_("Graph")));
    PageControl1->addTab(Transfer, text(N_("Transfer")));
    PageControl1->addTab(UVG, text(N_("Intern ONLY")));
    PageControl1->addTab(ZeitTab, text(N_("Zeit")));
    PageControl1->addTab(KalSheet, text(N_("Kalibrierung")));

    auto* tableLayout = new QVBoxLayout(Table);
    RL = new TReportListView(Table);
    RL->setObjectName(QStringLiteral("RL"));
    RL->SetNrOfColumns(3);
    tableLayout->addWidget(RL);

    auto* transferLayout = new QVBoxLayout(Transfer);
    HistoryListBox = new HistoryLog(Transfer);
    auto* clearBtn = new QPushButton(text(N_("Clear")), Transfer);
    clearBtn->setObjectName(QStringLiteral("ClearBtn"));
    connect(clearBtn, &QPushButton::clicked, HistoryListBox, &HistoryLog::clearLog);
    transferLayout->addWidget(HistoryListBox);
    transferLayout->addWidget(clearBtn, 0, Qt::AlignLeft);

    layout->addWidget(PageControl2);
    layout->addWidget(PageControl1, 1);
    setCentralWidget(central);
}

void TMainForm::buildStatusBar()
{
    const int widths[] = {200, 150, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanel[i] = new QLabel(statusBar());
        StatusPanel[i]->setMinimumWidth(widths[i]);
        // The last panel takes the rest of the bar, so a long serial text is not cut.
        statusBar()->addWidget(StatusPanel[i], i == 2 ? 1 : 0);
    }
}

void TMainForm::buildTimers()
{
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(200);
    Timer2 = new QTimer(this);
    Timer2->setSingleShot(true);
    Timer2->setInterval(3500);
    Timer5 = new QTimer(this);
    Timer5->setSingleShot(true);
    UseTimer = new QTimer(this);
    UseTimer->setInterval(5000);
}

void TMainForm::setTabShown(QTabWidget* tabs, QWidget* page, bool shown)
{
    const int index = tabs->indexOf(page);
    if (index >= 0)
        tabs->setTabVisible(index, shown);
}

bool TMainForm::isTabShown(const QTabWidget* tabs, const QWidget* page)
{
    const int index = tabs->indexOf(page);
    return index >= 0 && tabs->isTabVisible(index);
}

} // namespace kv58
