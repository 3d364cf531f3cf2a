// The history log keeps every line in order however many there are, widens its extent to the
// widest line until it is cleared, shows its lines as an accessible table, and is saved as a text
// file from its context menu and from the "Transfer" page.
#include "app/service/HistoryLog.h"

#include "MainFormFixture.h"
#include "ModalScript.h"
#include "app/device/DeviceLink.h"
#include "support/Waiting.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv58;
using namespace kv58::test;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool allShown(const HistoryLog& log)
{
    return waitUntil([&] { return log.model()->rowCount() == log.count(); });
}

TEST(HistoryLog, ExtentGrowsWithTheWidestLineAndRestartsOnClear)
{
    HistoryLog log;
    log.resize(200, 100);
    log.show();
    const QFontMetrics metrics(log.font());
    const QString wide = QStringLiteral("Time:10:15:30 UVA 12,500 W/m& VISL   150,000 W/m&");

    log.AddToHistory(QStringLiteral("USE:NO"));
    EXPECT_EQ(log.horizontalExtent(), metrics.horizontalAdvance(QStringLiteral("USE:NO")) + 16);
    log.AddToHistory(wide);
    log.AddToHistory(QStringLiteral("ACK"));
    EXPECT_EQ(log.horizontalExtent(), metrics.horizontalAdvance(wide) + 16); // never shrinks
    EXPECT_EQ(log.lines(), (QStringList{"USE:NO", wide, "ACK"}));

    for (int i = 0; i < 50; ++i)
        log.AddToHistory(QString::number(i));
    // The newest line shows, at the latest at the end of the frame, and the column is as wide as
    // the extent.
    EXPECT_TRUE(waitUntil([&] {
        return log.verticalScrollBar()->maximum() > 0 &&
               log.verticalScrollBar()->value() == log.verticalScrollBar()->maximum();
    }));
    EXPECT_EQ(log.columnWidth(0), log.horizontalExtent());

    log.clearLog();
    EXPECT_EQ(log.horizontalExtent(), 0);
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(log.model()->rowCount(), 0);
    log.AddToHistory(QStringLiteral("ACK"));
    EXPECT_EQ(log.horizontalExtent(), metrics.horizontalAdvance(QStringLiteral("ACK")) + 16);
}

// Lines are measured only when they might be wider than the widest so far; whatever is skipped, the
// extent is that of the widest line, in a fixed-pitch font and in a proportional one.
TEST(HistoryLog, ExtentIsThatOfTheWidestLineWhateverItsCharacters)
{
    const QStringList lines = {
        QStringLiteral("WWWW"),
        QStringLiteral("iiiiiiii"),
        QStringLiteral("iii"),
        QString::fromUtf8("\xC3\x84\xC3\x96\xC3\x9C\xE2\x82\xAC"), // non-ASCII, shorter than the widest
        QString::fromUtf8("\xEF\xBC\xB7\xEF\xBC\xB7\xEF\xBC\xB7\xEF\xBC\xB7\xEF\xBC\xB7"), // full-width
        QStringLiteral("WWWWWWW"),
        QStringLiteral("tab\there"),
        QStringLiteral("MMMMMMMMM"),
        QStringLiteral("........."),
    };
    struct Case {
        const char* name;
        QString family; // empty: the log's own font
    };
    for (const Case& c : {Case{"log font", {}}, Case{"proportional", QStringLiteral("DejaVu Sans")}}) {
        SCOPED_TRACE(c.name);
        HistoryLog log;
        if (!c.family.isEmpty()) {
            QFont proportional(c.family);
            proportional.setPixelSize(13);
            log.setFont(proportional);
        }
        const QFontMetrics metrics(log.font());
        int widest = 0;
        for (const QString& line : lines) {
            log.AddToHistory(line);
            widest = std::max(widest, metrics.horizontalAdvance(line) + 16);
            EXPECT_EQ(log.horizontalExtent(), widest) << line.toStdString();
        }
    }
}

// Far more lines than the view shows, with characters of every width in UTF-8, empty lines and a
// line longer than the log's storage blocks: every line comes back as it went in, in order, from the
// log, from its rows and from its accessible table.
TEST(HistoryLog, KeepsEveryLineInOrderBeyondWhatIsVisible)
{
    const QString umlauts = QString::fromUtf8("\xC3\xA4\xC3\xB6\xC3\xBC \xE2\x82\xAC 31\xC2\xB0");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    QStringList expected;
    for (int i = 0; i < 20000; ++i) {
        switch (i % 7) {
        case 0:
            expected << QStringLiteral("Time:10:%1 UVA 12,500 W/m& VISL   150,000 W/m&").arg(i);
            break;
        case 1:
            expected << umlauts + QString::number(i);
            break;
        case 2:
            expected << QString(); // an empty report is a line too
            break;
        case 3:
            expected << emoji + QString(i % 13, u'x') + emoji;
            break;
        default:
            expected << QStringLiteral("ACK:%1").arg(i);
        }
    }
    expected[12345] = QString(70000, u'\u00e9') + QStringLiteral("end"); // spans storage blocks

    HistoryLog log;
    log.resize(300, 120);
    log.show();
    for (const QString& line : expected)
        log.AddToHistory(line);

    ASSERT_EQ(log.count(), expected.size());
    EXPECT_EQ(log.lines(), expected);
    ASSERT_TRUE(allShown(log));
    const QAbstractItemModel& rows = *log.model();
    for (const int row : {0, 1, 2, 3, 12345, 19999})
        EXPECT_EQ(rows.data(rows.index(row, 0)).toString(), expected[row]) << row;
    EXPECT_TRUE(
        waitUntil([&] { return log.verticalScrollBar()->value() == log.verticalScrollBar()->maximum(); }));
    EXPECT_EQ(log.rowAt(log.viewport()->height() - 1), expected.size() - 1) << "the newest line is in sight";

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&log);
    ASSERT_NE(iface, nullptr);
    QAccessibleTableInterface* grid = iface->tableInterface();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), expected.size());
    for (const int row : {0, 1, 19999}) {
        QAccessibleInterface* cell = grid->cellAt(row, 0);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name), expected[row]) << row;
    }

    log.clearLog();
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(log.model()->rowCount(), 0);
    log.AddToHistory(QStringLiteral("ACK"));
    EXPECT_EQ(log.lines(), QStringList{"ACK"});
    EXPECT_TRUE(allShown(log));
}

// Saving: UTF-8, one line per entry, each ended by CR LF; a file that cannot be written leaves a
// message and no file behind.
class HistoryLogSaveTest : public MainFormTest {
protected:
    void SetUp() override
    {
        startProgram();
        for (const QString& line : lines)
            form->link().AddToHistory(line);
    }

    static ModalScript::Step choose(const QString& file) { return ModalScript::choose(file); }

    const QStringList lines = {QStringLiteral("ACK:POWER IS ON"), QString(),
                               QString::fromUtf8("CH1:Sensortyp: UVA 31\xC2\xB0 \xE2\x82\xAC")};
    const QByteArray saved = "ACK:POWER IS ON\r\n\r\nCH1:Sensortyp: UVA 31\xC2\xB0 \xE2\x82\xAC\r\n";
    QTemporaryDir dir;
};

TEST_F(HistoryLogSaveTest, SavedFromTheButtonAndTheContextMenu)
{
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    ModalScript script;
    script.then(choose(path));
    widget<QPushButton>("SaveLogBtn").click();
    EXPECT_EQ(script.pending(), 0) << "no file dialog";
    EXPECT_EQ(readFile(path), saved);

    // The context menu offers the command; saving again replaces the file, once confirmed.
    QAction& save = action("SaveLogAction");
    EXPECT_TRUE(widget<HistoryLog>("HistoryListBox").actions().contains(&save));
    EXPECT_EQ(widget<HistoryLog>("HistoryListBox").contextMenuPolicy(), Qt::ActionsContextMenu);
    form->link().AddToHistory(QStringLiteral("ACK:STOPPED"));
    ModalScript again;
    again.then(choose(path)).thenPress(QMessageBox::Yes); // the dialog asks before replacing a file
    save.trigger();
    EXPECT_EQ(again.pending(), 0);
    EXPECT_EQ(readFile(path), saved + "ACK:STOPPED\r\n");
    EXPECT_FALSE(widget<QPushButton>("SaveLogBtn").accessibleName().isEmpty());
}

TEST_F(HistoryLogSaveTest, CancelledOrFailedSaveWritesNothing)
{
    ModalScript cancel;
    cancel.then([](QWidget* w) { w->close(); });
    action("SaveLogAction").trigger();
    EXPECT_EQ(cancel.pending(), 0);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    const QString path = dir.filePath(QStringLiteral("missing/log.txt"));
    ModalScript failing;
    failing.then(choose(path)).thenPress(QMessageBox::Ok);
    action("SaveLogAction").trigger();
    EXPECT_EQ(failing.pending(), 0) << "no message about the failure";
    ASSERT_EQ(failing.boxTexts.size(), 1);
    EXPECT_TRUE(failing.boxTexts[0].contains(QDir::toNativeSeparators(path)))
        << failing.boxTexts[0].toStdString();
    EXPECT_FALSE(QFile::exists(path));

    // An empty log gives an empty file.
    widget<QPushButton>("ClearBtn").click();
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    ModalScript save;
    save.then(choose(empty));
    action("SaveLogAction").trigger();
    EXPECT_TRUE(QFile::exists(empty));
    EXPECT_EQ(readFile(empty), QByteArray());
}

} // namespace
