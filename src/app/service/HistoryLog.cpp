#include "app/service/HistoryLog.h"

#include "app/service/HistoryLines.h"
#include "app/shell/OncePerFrame.h"
#include "core/Translation.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <functional>

namespace kv58 {

// Shows the lines of the store that the view has been told of; the rest follow once per frame.
class HistoryModel final : public QAbstractTableModel {
public:
    HistoryModel(const HistoryLines& lines, QObject* parent) : QAbstractTableModel(parent), lines_(lines) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : shown_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        if (!index.isValid() || index.row() >= shown_)
            return {};
        return lines_.at(static_cast<std::size_t>(index.row()));
    }

    // Tells the view of the lines appended since the last call, all in one.
    void showNewLines()
    {
        const auto total = static_cast<int>(std::min<std::size_t>(lines_.size(), kMaxRows));
        if (total <= shown_)
            return;
        beginInsertRows({}, shown_, total - 1);
        shown_ = total;
        endInsertRows();
    }
    void reset(const std::function<void()>& change)
    {
        beginResetModel();
        change();
        shown_ = 0;
        endResetModel();
    }

private:
    // A view counts its rows in int.
    static constexpr std::size_t kMaxRows = 2147483647;

    const HistoryLines& lines_;
    int shown_ = 0;
};

namespace {

bool isPrintableAscii(const QString& line)
{
    return std::all_of(line.begin(), line.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

} // namespace

HistoryLog::HistoryLog(QWidget* parent)
    : QTableView(parent), store_(std::make_unique<HistoryLines>()), model_(new HistoryModel(*store_, this)),
      frame_(new OncePerFrame([this] { showNewLines(); }, this))
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    setFont(font);
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 2);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setColumnWidth(0, 0);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    fixedPitch_ = QFontInfo(font).fixedPitch();
}

HistoryLog::~HistoryLog() = default;

void HistoryLog::AddToHistory(const QString& line)
{
    // In a fixed-pitch font every printable ASCII character has the same width, so such a line is
    // no wider than the longest one measured so far; only a longer line, or one with other
    // characters, is measured.
    const bool ascii = isPrintableAscii(line);
    if (!ascii || !fixedPitch_ || line.size() > widestAscii_) {
        extent_ = std::max(extent_, QFontMetrics(font()).horizontalAdvance(line) + 16);
        if (ascii)
            widestAscii_ = std::max(widestAscii_, line.size());
    }
    store_->append(line);
    frame_->request();
}

void HistoryLog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        fixedPitch_ = QFontInfo(font()).fixedPitch();
        widestAscii_ = 0;
    }
    QTableView::changeEvent(event);
}

void HistoryLog::showNewLines()
{
    if (columnWidth(0) != extent_)
        setColumnWidth(0, extent_);
    model_->showNewLines();
    scrollToBottom();
}

void HistoryLog::clearLog()
{
    frame_->cancel();
    model_->reset([this] { store_->clear(); });
    extent_ = 0;
    widestAscii_ = 0;
    setColumnWidth(0, 0);
}

int HistoryLog::count() const
{
    return static_cast<int>(store_->size());
}

QString HistoryLog::line(int row) const
{
    return row < 0 ? QString() : store_->at(static_cast<std::size_t>(row));
}

QStringList HistoryLog::lines() const
{
    QStringList out;
    out.reserve(count());
    for (std::size_t row = 0; row < store_->size(); ++row)
        out << store_->at(row);
    return out;
}

std::optional<QString> HistoryLog::saveTo(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!store_->write(file, QByteArrayLiteral("\r\n"))) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

void HistoryLog::saveWithDialog()
{
    QFileDialog dialog(window(), _("Save log"));
    dialog.setObjectName(QStringLiteral("SaveLogDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(
        {_("Text File") + QStringLiteral(" (*.txt)"), _("All Files") + QStringLiteral(" (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setDirectory(saveFolder_.isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                            : saveFolder_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    saveFolder_ = QFileInfo(path).absolutePath();
    if (const auto reason = saveTo(path))
        QMessageBox::warning(window(), _("Notice"),
                             _("The log could not be saved to %1.").arg(QDir::toNativeSeparators(path)) +
                                 QStringLiteral("\n\n") + *reason);
}

} // namespace kv58
