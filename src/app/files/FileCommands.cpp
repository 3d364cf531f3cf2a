#include "app/files/FileCommands.h"

#include "app/files/BackgroundWork.h"
#include "app/files/RecentFiles.h"
#include "app/measure/GraphPage.h"
#include "app/measure/LiveMeasurement.h"
#include "app/measure/TablePage.h"
#include "app/shell/Application.h"
#include "app/shell/Settings.h"
#include "core/Translation.h"
#include "data/DataFile.h"
#include "data/Measurement.h"
#include "data/RLData.h"
#include "data/TableClipboard.h"
#include "live/ShowFile.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <memory>
#include <optional>
#include <variant>

namespace kv58 {
namespace {

const QString kXmlTableId = QStringLiteral("KV58");

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString suffixOf(const QString& path)
{
    return QFileInfo(path).suffix().toLower();
}

// The texts a run names its first column with, in every language the program ships.
QStringList dateNames()
{
    return translationsEverywhere("Date");
}

} // namespace

FileCommands::FileCommands(FileCommandsContext context, QObject* parent)
    : QObject(parent), c_(std::move(context))
{
    connect(&c_.recent, &RecentFiles::picked, this, &FileCommands::openRecent);
}

QString FileCommands::startFolder() const
{
    const QString folder = c_.settings().dataPath;
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void FileCommands::reportError(const QString& path, const QString& reason, int line) const
{
    QString text = _("The file %1 could not be opened.").arg(QDir::toNativeSeparators(path));
    text += QStringLiteral("\n\n");
    if (line > 0)
        text += _("Line %1: ").arg(line);
    text += reason;
    QMessageBox::critical(&c_.window, _("Error"), text);
}

bool FileCommands::isOpenable(const QString& path)
{
    const QString suffix = suffixOf(path);
    return suffix == QLatin1String("csv") || suffix == QLatin1String("xml");
}

void FileCommands::KV58_CSV_OpenClick()
{
    QFileDialog dialog(&c_.window);
    dialog.setObjectName(QStringLiteral("KV58_CSV_OpenDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({_("CSV File") + QStringLiteral(" (*.csv)"),
                           _("XML File") + QStringLiteral(" (*.xml)"),
                           _("All Files") + QStringLiteral(" (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(startFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    openFile(dialog.selectedFiles().constFirst());
}

bool FileCommands::openFile(const QString& path)
{
    const QString suffix = suffixOf(path);
    if (suffix == QLatin1String("csv"))
        return openDataFile(path);
    if (suffix == QLatin1String("xml")) {
        openXmlTable(path);
        return true;
    }
    return false; // "All Files" lets any file be chosen; only tables are opened
}

void FileCommands::openRecent(const QString& path)
{
    if (QFileInfo(path).isFile()) {
        openFile(path);
        return;
    }
    c_.recent.remove(path);
    QMessageBox::information(
        &c_.window, _("Notice"),
        _("The file %1 is no longer there; it was taken off the list.").arg(QDir::toNativeSeparators(path)));
}

// Read into a table of its own, so that a file that fails or is cancelled half way changes
// nothing: only a complete read replaces the fields, the run kind, the table and the chart.
bool FileCommands::openDataFile(const QString& path)
{
    auto bytes = readWholeFile(path);
    if (const auto* reason = std::get_if<QString>(&bytes)) {
        reportError(path, *reason);
        return false;
    }
    auto table = std::make_unique<TRLData>();
    std::variant<DataFileLoad, DataFileError> result = DataFileError{};
    std::optional<ShowFileError> chartError;
    {
        // Lines from the instrument wait until the table is in place, whichever way this ends.
        emit loadStarted();
        const std::unique_ptr<FileCommands, void (*)(FileCommands*)> finished(
            this, [](FileCommands* self) { emit self->loadFinished(); });
        DataFileOptions options;
        options.currentRunKind = c_.measurement.runKind();
        options.dateNames = dateNames();
        const bool completed =
            BackgroundWork::run(&c_.window, _("Opening %1").arg(fileNameOf(path)), progressDelayMs_,
                                [&](const BackgroundWork::Progress& progress) {
                                    options.progress = progress;
                                    result = loadDataFile(std::get<std::string>(bytes), *table, options);
                                });
        bytes = QString(); // the file's copy is not needed any more
        if (!completed)
            return false;
        if (const auto* load = std::get_if<DataFileLoad>(&result)) {
            apply(*load, *table, path);
            chartError = ShowFile(c_.live.run(), c_.measurement, c_.graph.yMax(), c_.graph.yMin());
        }
    }
    if (const auto* error = std::get_if<DataFileError>(&result)) {
        if (!error->canceled)
            reportError(path, error->message, error->line);
        return false;
    }
    if (chartError)
        reportError(path, _("Row %1: %2").arg(chartError->row).arg(chartError->message));
    return true;
}

void FileCommands::apply(const DataFileLoad& load, TRLData& table, const QString& path)
{
    c_.measurement.setInstrument(load.instrument);
    for (int channel : {1, 2}) {
        if (const auto& sensor = load.sensors[static_cast<std::size_t>(channel - 1)])
            c_.measurement.setSensor(channel, *sensor);
    }
    if (load.runKind)
        c_.measurement.setRunKind(*load.runKind);
    c_.measurement.table().swap(table);
    c_.table.showLoadedTable();
    c_.measurement.setFileName(path);
    c_.recent.add(path);
    emit titleChanged(QStringLiteral("DARED - ") + fileNameOf(path));
    emit graphPageWanted();
}

// An XML table is not a data file: saving afterwards asks for a name instead of overwriting the
// data file opened before.
void FileCommands::openXmlTable(const QString& path)
{
    c_.table.loadXmlTable(path, kXmlTableId);
    c_.measurement.setFileName(QString());
    c_.recent.add(path);
    emit titleChanged(_("Software KV58") + QStringLiteral(" - ") + fileNameOf(path));
    emit graphPageWanted();
    if (const auto error = ShowFile(c_.live.run(), c_.measurement, c_.graph.yMax(), c_.graph.yMin()))
        reportError(path, _("Row %1: %2").arg(error->row).arg(error->message));
}

void FileCommands::Save_KV58Click()
{
    const QString current = c_.measurement.fileName();
    if (current.isEmpty()) {
        KV58_CSV_SaveClick();
        return;
    }
    saveTo(current);
}

void FileCommands::KV58_CSV_SaveClick()
{
    QFileDialog dialog(&c_.window);
    dialog.setObjectName(QStringLiteral("KV58_CSV_SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(
        {_("CSV File") + QStringLiteral(" (*.csv)"), _("All Files") + QStringLiteral(" (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    const QString current = c_.measurement.fileName();
    dialog.setDirectory(current.isEmpty() ? startFolder() : QFileInfo(current).absolutePath());
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        const QString path = dialog.selectedFiles().constFirst();
        if (QFileInfo::exists(path)) {
            QMessageBox question(QMessageBox::Question, QStringLiteral("Question"),
                                 _("File already exists. Override?"), QMessageBox::Ok | QMessageBox::Cancel,
                                 &c_.window);
            question.setObjectName(QStringLiteral("OverwriteQuestion"));
            if (question.exec() != QMessageBox::Ok)
                continue;
        }
        saveTo(path);
        return;
    }
}

// Written beside the target and renamed over it when complete: a failed save leaves the last good
// copy, the current file name and the title as they were.
bool FileCommands::saveTo(const QString& path)
{
    const Measurement& m = c_.measurement;
    DataFileContent content;
    content.instrument = m.instrument();
    content.sensors = {m.sensor(1), m.sensor(2)};
    content.runKind = m.runKind();
    content.interval = c_.interval();
    const std::string bytes = dataFileText(content, m.table(), path, '.', regionalListSeparator());
    if (const auto reason = writeFileAtomically(path, bytes)) {
        QMessageBox::warning(&c_.window, _("Notice"),
                             _("Can't open the file") + QStringLiteral("\n\n") +
                                 QDir::toNativeSeparators(path) + QStringLiteral("\n") + *reason);
        return false;
    }
    c_.measurement.setFileName(path);
    c_.recent.add(path);
    emit titleChanged(_("Software KV58") + QStringLiteral(" - ") + fileNameOf(path));
    return true;
}

void FileCommands::CopyToClipClick()
{
    const auto text = tableClipboardText(c_.measurement.table(), c_.table.commonHeaderShown(),
                                         c_.settings().decimal, dateNames());
    if (const auto* error = std::get_if<ClipboardError>(&text)) {
        Application::showError(_("Row %1: %2").arg(error->row).arg(error->message));
        return;
    }
    QGuiApplication::clipboard()->setText(std::get<QString>(text));
}

} // namespace kv58
