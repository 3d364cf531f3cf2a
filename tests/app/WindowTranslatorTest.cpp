// Window translation on a window with nested widgets, menus, a tool bar, tabs and item lists:
// switching languages, texts owned by code, exclusions and widgets added later.
#include "app/shell/WindowTranslator.h"

#include "core/Translation.h"
#include "support/TestCatalogue.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using kv58::WindowTranslator;

// A table of measured data, whose class the window translation is told to leave alone.
class DataTable : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;
};

namespace {

// The German of every text below; "Öffnen" has an entry of its own, which a translation of a
// translation would show.
const QList<kv58::test::Message> kGerman = {
    {QStringLiteral("Software KV58"), QStringLiteral("Software KV58 (de)")},
    {QStringLiteral("&File"), QStringLiteral("&Datei")},
    {QStringLiteral("Open"), QStringLiteral("Öffnen")},
    {QStringLiteral("Opens a measurement"), QStringLiteral("Öffnet eine Messung")},
    {QStringLiteral("Language"), QStringLiteral("Sprache")},
    {QStringLiteral("German"), QStringLiteral("Deutsch")},
    {QStringLiteral("Measure"), QStringLiteral("Messung")},
    {QStringLiteral("Graph"), QStringLiteral("Diagramm")},
    {QStringLiteral("Start"), QStringLiteral("Starten")},
    {QStringLiteral("Irradiation"), QStringLiteral("Bestrahlung")},
    {QStringLiteral("on"), QStringLiteral("ein")},
    {QStringLiteral("off"), QStringLiteral("aus")},
    {QStringLiteral("KV58 is off."), QStringLiteral("KV58 ist aus.")},
    {QStringLiteral("Date"), QStringLiteral("Datum")},
    {QStringLiteral("Time"), QStringLiteral("Zeit")},
    {QStringLiteral("seconds"), QStringLiteral("Sekunden")},
    {QStringLiteral("Öffnen"), QStringLiteral("translated twice")},
};

// A main window in miniature: menus with a sub-menu, a tool bar sharing an action, two tabs
// with group boxes, buttons, labels and item widgets nested inside.
struct Window {
    QMainWindow window;
    QMenu* file = nullptr;
    QMenu* language = nullptr;
    QAction* open = nullptr;
    QAction* german = nullptr;
    QToolButton* openButton = nullptr;
    QTabWidget* tabs = nullptr;
    QGroupBox* start = nullptr;
    QPushButton* irradiation = nullptr;
    QRadioButton* on = nullptr;
    QLabel* state = nullptr;
    QLabel* value = nullptr;
    QComboBox* gain = nullptr;
    QListWidget* columns = nullptr;
    QListWidget* log = nullptr;
    QTableWidget* table = nullptr;
    QSpinBox* last = nullptr;

    Window()
    {
        window.setWindowTitle(QStringLiteral("Software KV58"));
        file = window.menuBar()->addMenu(QStringLiteral("&File"));
        open = file->addAction(QStringLiteral("Open"));
        open->setToolTip(QStringLiteral("Opens a measurement"));
        file->addSeparator();
        language = file->addMenu(QStringLiteral("Language"));
        german = language->addAction(QStringLiteral("German"));
        QToolBar* toolBar = window.addToolBar(QStringLiteral("Tools"));
        toolBar->addAction(open);
        openButton = qobject_cast<QToolButton*>(toolBar->widgetForAction(open));

        tabs = new QTabWidget;
        window.setCentralWidget(tabs);
        auto* measure = new QWidget;
        auto* measureLayout = new QVBoxLayout(measure);
        start = new QGroupBox(QStringLiteral("Start"));
        auto* startLayout = new QVBoxLayout(start);
        auto* inner = new QWidget;
        auto* innerLayout = new QVBoxLayout(inner);
        irradiation = new QPushButton(QStringLiteral("Irradiation"));
        on = new QRadioButton(QStringLiteral("on"));
        innerLayout->addWidget(irradiation);
        innerLayout->addWidget(on);
        startLayout->addWidget(inner);
        state = new QLabel(QStringLiteral("KV58 is off."));
        value = new QLabel;
        measureLayout->addWidget(start);
        measureLayout->addWidget(state);
        measureLayout->addWidget(value);
        tabs->addTab(measure, QStringLiteral("Measure"));

        auto* graph = new QWidget;
        auto* graphLayout = new QVBoxLayout(graph);
        gain = new QComboBox;
        gain->addItems({QStringLiteral("off"), QStringLiteral("on")});
        columns = new QListWidget;
        columns->addItems({QStringLiteral("Date"), QStringLiteral("Time")});
        log = new QListWidget;
        log->addItem(QStringLiteral("Open"));
        table = new QTableWidget(0, 2);
        table->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Time")});
        last = new QSpinBox;
        last->setSuffix(QStringLiteral("seconds"));
        for (QWidget* w : std::initializer_list<QWidget*>{gain, columns, log, table, last})
            graphLayout->addWidget(w);
        tabs->addTab(graph, QStringLiteral("Graph"));
        tabs->setTabToolTip(1, QStringLiteral("Time"));
    }

    // Every text the translation may touch.
    QStringList texts() const
    {
        return {window.windowTitle(),
                file->title(),
                open->text(),
                open->toolTip(),
                language->title(),
                german->text(),
                openButton->text(),
                tabs->tabText(0),
                tabs->tabText(1),
                tabs->tabToolTip(1),
                start->title(),
                irradiation->text(),
                on->text(),
                state->text(),
                value->text(),
                gain->itemText(0),
                gain->itemText(1),
                columns->item(0)->text(),
                columns->item(1)->text(),
                log->item(0)->text(),
                table->horizontalHeaderItem(0)->text(),
                table->horizontalHeaderItem(1)->text(),
                last->suffix()};
    }
};

class WindowTranslatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("de"), kGerman), QString());
        kv58::setCatalogueFolders({dir_.path()});
        kv58::selectLanguage(QStringLiteral("en"));
    }
    void TearDown() override
    {
        kv58::setCatalogueFolders(kv58::defaultCatalogueFolders());
        kv58::selectLanguage(QStringLiteral("en"));
    }
    static void switchTo(const char* language, QWidget* window)
    {
        kv58::selectLanguage(QString::fromLatin1(language));
        WindowTranslator::retranslate(window);
    }

    QTemporaryDir dir_;
};

TEST_F(WindowTranslatorTest, GermanAndBackRestoresTheExactEnglishTexts)
{
    Window w;
    WindowTranslator::exclude(w.log);
    const QStringList english = w.texts();
    WindowTranslator::translate(&w.window);
    ASSERT_EQ(w.texts(), english);

    switchTo("de", &w.window);
    EXPECT_EQ(w.texts(), (QStringList{QStringLiteral("Software KV58 (de)"),
                                      QStringLiteral("&Datei"),
                                      QStringLiteral("Öffnen"),
                                      QStringLiteral("Öffnet eine Messung"),
                                      QStringLiteral("Sprache"),
                                      QStringLiteral("Deutsch"),
                                      QStringLiteral("Öffnen"),
                                      QStringLiteral("Messung"),
                                      QStringLiteral("Diagramm"),
                                      QStringLiteral("Zeit"),
                                      QStringLiteral("Starten"),
                                      QStringLiteral("Bestrahlung"),
                                      QStringLiteral("ein"),
                                      QStringLiteral("KV58 ist aus."),
                                      QString(),
                                      QStringLiteral("aus"),
                                      QStringLiteral("ein"),
                                      QStringLiteral("Datum"),
                                      QStringLiteral("Zeit"),
                                      QStringLiteral("Open"),
                                      QStringLiteral("Datum"),
                                      QStringLiteral("Zeit"),
                                      QStringLiteral("Sekunden")}));

    // Translating again in the same language starts from English, not from the German.
    switchTo("de", &w.window);
    EXPECT_EQ(w.open->text(), QStringLiteral("Öffnen"));

    switchTo("en", &w.window);
    EXPECT_EQ(w.texts(), english);
}

TEST_F(WindowTranslatorTest, TextsSetByCodeStayUntilCodeSetsThemAgain)
{
    Window w;
    WindowTranslator::translate(&w.window);
    switchTo("de", &w.window);

    // A value label filled by code and a design text replaced by code belong to the code.
    w.value->setText(QStringLiteral("Open"));
    w.state->setText(QStringLiteral("Searching"));
    switchTo("en", &w.window);
    EXPECT_EQ(w.value->text(), QStringLiteral("Open"));
    EXPECT_EQ(w.state->text(), QStringLiteral("Searching"));

    // Set back to its English text, it follows the language again.
    w.state->setText(QStringLiteral("KV58 is off."));
    switchTo("de", &w.window);
    EXPECT_EQ(w.state->text(), QStringLiteral("KV58 ist aus."));
}

TEST_F(WindowTranslatorTest, WidgetsAddedLaterAreTranslatedFromTheirEnglishTexts)
{
    Window w;
    WindowTranslator::translate(&w.window);
    auto* dialogLabel = new QLabel(QStringLiteral("Measure"), w.tabs->widget(1));
    auto* page = new QWidget;
    w.tabs->insertTab(0, page, QStringLiteral("Start"));

    switchTo("de", &w.window);
    EXPECT_EQ(dialogLabel->text(), QStringLiteral("Messung"));
    EXPECT_EQ(w.tabs->tabText(0), QStringLiteral("Starten"));
    EXPECT_EQ(w.tabs->tabText(1), QStringLiteral("Messung"));

    // Tabs keep their source texts on their pages, so moving them does not mix them up.
    w.tabs->removeTab(0);
    w.tabs->addTab(page, QStringLiteral("Starten"));
    switchTo("en", &w.window);
    EXPECT_EQ(w.tabs->tabText(0), QStringLiteral("Measure"));
    EXPECT_EQ(w.tabs->tabText(2), QStringLiteral("Start"));
    EXPECT_EQ(dialogLabel->text(), QStringLiteral("Measure"));
}

TEST_F(WindowTranslatorTest, ExcludedClassesAreLeftAlone)
{
    Window w;
    auto* data = new DataTable(0, 1, w.tabs->widget(1));
    data->setHorizontalHeaderLabels({QStringLiteral("Date")});
    WindowTranslator::excludeClass("DataTable");
    WindowTranslator::translate(&w.window);
    switchTo("de", &w.window);
    EXPECT_EQ(data->horizontalHeaderItem(0)->text(), QStringLiteral("Date"));
    EXPECT_EQ(w.table->horizontalHeaderItem(0)->text(), QStringLiteral("Datum"));
}

TEST_F(WindowTranslatorTest, MenuReachedOnlyThroughItsActionIsTranslated)
{
    // A menu without a parent, shown through an action of the window.
    Window w;
    QMenu help(QStringLiteral("Graph"));
    QAction* about = help.addAction(QStringLiteral("Open"));
    w.window.menuBar()->addMenu(&help);
    WindowTranslator::translate(&w.window);
    switchTo("de", &w.window);
    EXPECT_EQ(help.title(), QStringLiteral("Diagramm"));
    EXPECT_EQ(about->text(), QStringLiteral("Öffnen"));
    w.window.menuBar()->removeAction(help.menuAction());
}

} // namespace

#include "WindowTranslatorTest.moc"
