// The file commands through the main window: a run saved, opened again and saved again; the
// dialogs, the overwrite question and the failure paths, answered by the test; XML tables, Copy,
// Open Recent, dropped files, and instrument lines that arrive while a file is read.
#include "app/files/FileCommands.h"

#include "ModalScript.h"
#include "RunningInstrumentFixture.h"
#include "data/RLData.h"
#include "data/RLXml.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

using namespace kv58;
using namespace kv58::test;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The file's lines without the one that names the file itself.
QByteArray withoutFilenameKey(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeIf([](const QByteArray& line) { return line.startsWith("Filename="); });
    return lines.join('\n');
}

class FileCommandsTest : public RunningInstrumentTest {
protected:
    void SetUp() override { writeSetting(QStringLiteral("Recent/Files"), QStringList()); }

    // A two-sensor irradiation run with three lines of both channels, stopped. (A line of one
    // channel would leave empty cells, which a file gives back as "0".)
    void recordRun()
    {
        startReady();
        click("IrrRunButton");
        send(QStringLiteral("ACK:IRRADIATION STARTED"));
        send(QStringLiteral("Time:10:15:30 UVA 10,0 W/m& VISL   150,0 W/m&"));
        send(QStringLiteral("Time:10:15:50 UVA 12,5 W/m& VISL   150,0 W/m&"));
        send(QStringLiteral("Time:10:16:10 UVA 0,05 W/m& VISL   0,5 W/m&"));
        send(QStringLiteral("ACK:STOPPED"));
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString title() const { return form->windowTitle(); }
    QString fileName() { return form->measurement().fileName(); }
    QList<QStringList> rows()
    {
        QList<QStringList> all;
        for (int r = 1; r <= table().NrOfRows(); ++r)
            all << row(r);
        return all;
    }
    QStringList recentFiles() const
    {
        return QSettings(QStringLiteral("Velmark"), QStringLiteral("KV58-7"))
            .value(QStringLiteral("Recent/Files"))
            .toStringList();
    }
    QWidget* frontPage() { return widget<QTabWidget>("PageControl1").currentWidget(); }

    static ModalScript::Step choose(const QString& file) { return ModalScript::choose(file); }
    static void cancel(QWidget* w) { w->close(); }

    void trigger(const char* name, ModalScript& script)
    {
        action(name).trigger();
        EXPECT_EQ(script.pending(), 0) << name << ": a dialog the test expected did not open";
    }

    QTemporaryDir dir;
};

TEST_F(FileCommandsTest, RunSavedOpenedAndSavedAgainKeepsEveryByte)
{
    recordRun();
    const QList<QStringList> recorded = rows();
    const QStringList names = columnNames();
    ASSERT_EQ(recorded.size(), 3);

    ModalScript saveAs;
    saveAs.then(choose(path("run.csv")));
    trigger("Save_KV58", saveAs); // no current file yet: "Save" asks for a name
    const QByteArray saved = readFile(path("run.csv"));
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(saved.startsWith("KV58 Data File\r\n"));
    EXPECT_TRUE(saved.contains("\r\n[IRRADIANCE]\r\n"));
    EXPECT_TRUE(saved.contains("0.050000")) << "numbers are saved with a decimal point";
    EXPECT_EQ(title(), QStringLiteral("Software KV58 - run.csv"));
    EXPECT_EQ(fileName(), path("run.csv"));
    EXPECT_EQ(recentFiles(), QStringList{path("run.csv")});

    ASSERT_TRUE(form->openFile(path("run.csv")));
    EXPECT_EQ(title(), QStringLiteral("DARED - run.csv"));
    EXPECT_EQ(frontPage(), &widget("Graph"));
    EXPECT_EQ(columnNames(), names);
    EXPECT_EQ(rows(), recorded) << "the table shows what was recorded, in the live table's form";
    EXPECT_GT(form->measurement().chart().NumChartItems(), 0);
    EXPECT_EQ(form->measurement().sensor(1).type, QStringLiteral("UVA"));
    EXPECT_EQ(form->measurement().runKind(), Irradiation);

    ModalScript none;
    trigger("Save_KV58", none); // the opened file is the current one: saved without a question
    EXPECT_EQ(readFile(path("run.csv")), saved);

    ModalScript saveElsewhere;
    saveElsewhere.then(choose(path("copy.csv")));
    trigger("KV58_CSV_Save", saveElsewhere);
    EXPECT_EQ(withoutFilenameKey(readFile(path("copy.csv"))), withoutFilenameKey(saved));
    EXPECT_EQ(recentFiles(), (QStringList{path("copy.csv"), path("run.csv")}));
}

TEST_F(FileCommandsTest, OverwriteQuestionAnsweredCancelAsksForANameAgain)
{
    recordRun();
    writeFile(path("old.csv"), "old");
    const QString titleBefore = title();

    ModalScript script;
    script.then(choose(path("old.csv"))).thenPress(QMessageBox::Cancel).then(cancel);
    trigger("KV58_CSV_Save", script);
    EXPECT_EQ(script.boxTexts, QStringList{QStringLiteral("File already exists. Override?")});
    EXPECT_EQ(readFile(path("old.csv")), QByteArray("old"));
    EXPECT_TRUE(fileName().isEmpty());
    EXPECT_EQ(title(), titleBefore);

    ModalScript overwrite;
    overwrite.then(choose(path("old.csv"))).thenPress(QMessageBox::Ok);
    trigger("KV58_CSV_Save", overwrite);
    EXPECT_TRUE(readFile(path("old.csv")).startsWith("KV58 Data File"));
    EXPECT_EQ(fileName(), path("old.csv"));
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheFileNameTheTitleAndTheLastGoodFile)
{
    recordRun();
    ModalScript first;
    first.then(choose(path("good.csv")));
    trigger("KV58_CSV_Save", first);
    const QByteArray good = readFile(path("good.csv"));
    const QString titleBefore = title();

    // The folder is not there: nothing can be written (whoever runs the test).
    ModalScript failing;
    failing.then(choose(path("missing/run.csv"))).thenPress(QMessageBox::Ok);
    trigger("KV58_CSV_Save", failing);
    ASSERT_EQ(failing.boxTexts.size(), 1);
    EXPECT_TRUE(failing.boxTexts.first().startsWith(QStringLiteral("Can't open the file")));
    EXPECT_TRUE(failing.boxTexts.first().contains(path("missing/run.csv")));
    EXPECT_EQ(fileName(), path("good.csv"));
    EXPECT_EQ(title(), titleBefore);
    EXPECT_EQ(readFile(path("good.csv")), good);
}

TEST_F(FileCommandsTest, FailedOpenChangesNothing)
{
    recordRun();
    ModalScript save;
    save.then(choose(path("good.csv")));
    trigger("KV58_CSV_Save", save);
    const QList<QStringList> before = rows();
    const QString titleBefore = title();

    QByteArray broken = readFile(path("good.csv"));
    broken.replace("Sample Rate=20 s save intervall", "Sample Rate=20s");
    broken.replace("Customer=ACME", "Customer=Someone else");
    writeFile(path("broken.csv"), broken);

    ModalScript error;
    error.thenPress(QMessageBox::Ok);
    EXPECT_FALSE(form->openFile(path("broken.csv")));
    EXPECT_EQ(error.pending(), 0);
    ASSERT_EQ(error.boxTexts.size(), 1);
    EXPECT_TRUE(error.boxTexts.first().contains(path("broken.csv")));
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(title(), titleBefore);
    EXPECT_EQ(fileName(), path("good.csv"));
    EXPECT_EQ(form->measurement().instrument().customer, QStringLiteral("ACME"));
}

TEST_F(FileCommandsTest, XmlTableOpensAndLeavesNoCurrentDataFile)
{
    recordRun();
    ModalScript save;
    save.then(choose(path("run.csv")));
    trigger("KV58_CSV_Save", save);

    TRLData xml;
    xml.SetDataID(u"KV58");
    xml.SetNrOfColumns(3);
    xml.SetNrOfRows(1);
    xml.SetCommonHeader(u"From XML");
    xml.SetElem(1, 1, u"A");
    ASSERT_TRUE(rlSaveXmlFile(xml, path("table.xml")));

    ModalScript notARun;
    notARun.thenPress(QMessageBox::Ok);
    ASSERT_TRUE(form->openFile(path("table.xml")));
    // Drawn as the irradiation run in force, it has no value in row 1: the user is told.
    ASSERT_EQ(notARun.boxTexts.size(), 1);
    EXPECT_TRUE(notARun.boxTexts.first().contains(QStringLiteral("Row 1: ")))
        << notARun.boxTexts.first().toStdString();
    EXPECT_EQ(table().GetElem(1, 1), QStringLiteral("A"));
    EXPECT_EQ(title(), QStringLiteral("Software KV58 - table.xml"));
    EXPECT_EQ(frontPage(), &widget("Graph"));
    EXPECT_TRUE(fileName().isEmpty());

    const QByteArray runFile = readFile(path("run.csv"));
    ModalScript asks;
    asks.then(cancel);
    trigger("Save_KV58", asks); // asks for a name instead of overwriting run.csv
    EXPECT_EQ(readFile(path("run.csv")), runFile);
}

TEST_F(FileCommandsTest, FileRecordedInGermanOpensInEnglishAndTheOtherWayRound)
{
    recordRun();
    action("Deutsch1").trigger();
    click("IrrRunButton");
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    send(QStringLiteral("Time:10:15:30 UVA 10,0 W/m& VISL   150,0 W/m&"));
    ASSERT_EQ(table().GetColName(1), QStringLiteral("Datum"));
    ModalScript german;
    german.then(choose(path("de.csv")));
    trigger("KV58_CSV_Save", german);

    action("Englisch1").trigger();
    ASSERT_TRUE(form->openFile(path("de.csv")));
    EXPECT_EQ(table().NrOfRows(), 1);
    EXPECT_EQ(table().GetElem(3, 1), QStringLiteral("10,00000"));

    click("IrrRunButton");
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    send(QStringLiteral("Time:10:15:30 UVA 10,0 W/m& VISL   150,0 W/m&"));
    ModalScript english;
    english.then(choose(path("en.csv")));
    trigger("KV58_CSV_Save", english);
    action("Deutsch1").trigger();
    ASSERT_TRUE(form->openFile(path("en.csv")));
    EXPECT_EQ(table().NrOfRows(), 1);
    action("Englisch1").trigger();
}

TEST_F(FileCommandsTest, CopyPutsTheWholeRunTableOnTheClipboard)
{
    recordRun();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    action("CopyToClip").trigger();
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines.at(0), QStringLiteral("IRRADIATION"));
    EXPECT_EQ(lines.at(1), columnNames().join(u'\t'));
    EXPECT_EQ(
        lines.at(2).split(u'\t').mid(0, 3),
        (QStringList{QStringLiteral("2026.12.11"), QStringLiteral("10:15:30"), QStringLiteral("10,00000")}));
    EXPECT_EQ(lines.at(4).split(u'\t').at(2), QStringLiteral("0,050000"));
}

TEST_F(FileCommandsTest, RecentFileThatIsGoneIsTakenOffWithANote)
{
    writeSetting(QStringLiteral("Recent/Files"), QStringList{path("gone.csv")});
    startProgram();
    QAction& first = action("RecentFile1");
    ModalScript note;
    note.thenPress(QMessageBox::Ok);
    first.trigger();
    EXPECT_EQ(note.pending(), 0);
    ASSERT_EQ(note.boxTexts.size(), 1);
    EXPECT_TRUE(note.boxTexts.first().contains(path("gone.csv")));
    EXPECT_TRUE(recentFiles().isEmpty());
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("RecentFile1")), nullptr);
}

TEST_F(FileCommandsTest, DroppedDataFileOpens)
{
    recordRun();
    ModalScript save;
    save.then(choose(path("dropped.csv")));
    trigger("KV58_CSV_Save", save);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path("dropped.csv"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    ASSERT_TRUE(waitUntil([this] { return title() == QStringLiteral("DARED - dropped.csv"); }));
}

TEST_F(FileCommandsTest, LinesThatArriveWhileAFileIsReadFollowIt)
{
    recordRun();
    click("IrrRunButton");
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    emit form->files().loadStarted();
    send(QStringLiteral("Time:10:15:30 UVA 10,0 W/m& VISL   150,0 W/m&"));
    send(QStringLiteral("Time:10:15:50 UVA 12,5 W/m& VISL   150,0 W/m&"));
    EXPECT_EQ(table().NrOfRows(), 0) << "held while the file is read";
    emit form->files().loadFinished();
    ASSERT_EQ(table().NrOfRows(), 2);
    EXPECT_EQ(table().GetElem(2, 1), QStringLiteral("10:15:30"));
    EXPECT_EQ(table().GetElem(2, 2), QStringLiteral("10:15:50"));
}

} // namespace
