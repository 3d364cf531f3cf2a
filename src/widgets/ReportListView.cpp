#include "widgets/ReportListView.h"

#include "core/Cp1252.h"
#include "widgets/RLHeaderView.h"
#include "widgets/RLModel.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cmath>

namespace kv58 {

TReportListView::TReportListView(TRLData& store, QWidget* parent)
    : QTableView(parent), data_(store), model_(new RLModel(data_, this)), header_(new RLHeaderView(this))
{
    connect(this, &QObject::objectNameChanged, this, [this](const QString& name) { data_.SetName(name); });
    setHorizontalHeader(header_);
    setModel(model_);
    connect(model_, &RLModel::commonHeaderChanged, this, &TReportListView::updateCommonHeader);
    updateCommonHeader();

    // Uniform row heights and no per-row state: the grid's cost follows what is on screen.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(8);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(kDefaultRowHeight);
    header_->setMinimumSectionSize(4);
    header_->setDefaultSectionSize(kDefaultColWidth);
    header_->setSectionResizeMode(QHeaderView::Interactive);
    header_->setStretchLastSection(false);

    // A narrow window reaches the columns beyond its edge by scrolling sideways.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setAlternatingRowColors(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kColorBkgdNormal);
    colours.setColor(QPalette::AlternateBase, kColorBkgdShaded);
    colours.setColor(QPalette::Text, kColorText);
    colours.setColor(QPalette::Highlight, kColorSelectedRow);
    colours.setColor(QPalette::HighlightedText, kColorText);
    setPalette(colours);
}

TReportListView::~TReportListView()
{
    // The model listens to the store, which may outlive the view: detach it first.
    setModel(nullptr);
    delete model_;
}

void TReportListView::syncNow() const
{
    model_->flush();
    // Scroll range and row positions follow the row count only after the delayed layout, and the
    // viewport's height only after the scroll bars have been placed. The getters that need them
    // are const; Qt's layout calls are not.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): see above
    auto* self = const_cast<TReportListView*>(this);
    self->executeDelayedItemsLayout();
    QCoreApplication::sendPostedEvents(self, QEvent::LayoutRequest);
}

void TReportListView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    alignTopRow();
}

void TReportListView::updateGeometries()
{
    QTableView::updateGeometries();
    alignTopRow();
}

void TReportListView::alignTopRow()
{
    // Scrolled to the end, the grid would align the last row with the bottom edge and cut the top
    // row; the top row is kept whole instead, as the top row is what callers set.
    QHeaderView* rows = verticalHeader();
    const int top = verticalScrollBar()->value();
    if (top >= rows->count())
        return;
    const int position = rows->sectionPosition(top);
    if (rows->offset() != position) {
        rows->setOffset(position);
        viewport()->update();
    }
}

void TReportListView::updateCommonHeader()
{
    header_->setCommonHeaderText(data_.CommonHeader());
}

void TReportListView::SetNrOfColumns(int value)
{
    // The grid's own column count is the "before", also when the store grew while painting was
    // suppressed (as when a file is read).
    const int oldColumns = model_->columnCount();
    const int lastWidth = oldColumns > 0 ? columnWidth(oldColumns - 1) : kDefaultColWidth;
    data_.SetNrOfColumns(value);
    model_->sync();
    for (int c = oldColumns; c < model_->columnCount(); ++c)
        setColumnWidth(c, lastWidth);
    scrollToTop();
}

void TReportListView::SetNrOfRows(int value)
{
    data_.SetNrOfRows(value);
    // Row by row filling calls this once per row: only an actual move goes through the scroll bar.
    if (verticalScrollBar()->value() != 0)
        scrollToTop();
}

int TReportListView::AddRow()
{
    SetNrOfRows(NrOfRows() + 1);
    return NrOfRows();
}

bool TReportListView::CommonHeaderVisible() const
{
    return header_->commonHeaderVisible();
}

void TReportListView::SetCommonHeaderVisible(bool visible)
{
    header_->setCommonHeaderVisible(visible);
    updateGeometries();
}

bool TReportListView::ColumnHeadersVisible() const
{
    return header_->columnHeadersVisible();
}

void TReportListView::SetColumnHeadersVisible(bool visible)
{
    header_->setColumnHeadersVisible(visible);
    updateGeometries();
}

int TReportListView::CommonHeaderHeight() const
{
    return header_->commonHeaderHeight();
}

void TReportListView::SetCommonHeaderHeight(int height)
{
    header_->setCommonHeaderHeight(height);
    updateGeometries();
}

int TReportListView::ColumnHeadersHeight() const
{
    return header_->columnHeadersHeight();
}

void TReportListView::SetColumnHeadersHeight(int height)
{
    header_->setColumnHeadersHeight(height);
    updateGeometries();
}

int TReportListView::HeaderRowCount() const
{
    return rlHeaderRowCount(CommonHeaderVisible(), ColumnHeadersVisible());
}

int TReportListView::GridRowCount() const
{
    model_->flush();
    return HeaderRowCount() + model_->rowCount();
}

void TReportListView::SetSuppressPaint(bool value)
{
    if (value == suppressPaint_)
        return;
    suppressPaint_ = value;
    model_->setDeferred(suppressPaint_ || deferGrid_);
    // Disabled updates keep the last picture on screen; enabling them repaints the whole table.
    setUpdatesEnabled(!value);
}

void TReportListView::SetDeferGridUpdates(bool value)
{
    deferGrid_ = value;
    model_->setDeferred(suppressPaint_ || deferGrid_);
}

int TReportListView::TopRow() const
{
    syncNow();
    return verticalScrollBar()->value() + 1;
}

void TReportListView::SetTopRow(int row)
{
    syncNow();
    verticalScrollBar()->setValue(std::clamp(row, 1, std::max(NrOfRows(), 1)) - 1);
}

int TReportListView::VisibleRowCount() const
{
    syncNow();
    const int fit = viewport()->height() / std::max(verticalHeader()->defaultSectionSize(), 1);
    const int below = NrOfRows() - verticalScrollBar()->value();
    return std::max(std::min(fit, below), 0);
}

int TReportListView::ColWidth(int col) const
{
    model_->flush();
    return col >= 1 && col <= model_->columnCount() ? columnWidth(col - 1) : 0;
}

void TReportListView::SetColWidth(int col, int width)
{
    model_->flush();
    if (col >= 1 && col <= model_->columnCount())
        setColumnWidth(col - 1, std::max(width, 0));
}

int TReportListView::AutoColWidth(int col, bool includeHeader, int addon)
{
    const bool exists = col >= 1 && col <= NrOfColumns();
    int widest = 10;
    if (exists) {
        const QFontMetricsF metrics(font());
        const int italic = font().italic() ? 2 : 0;
        // Cells are 8-bit text: summing per-byte advances measures a long column in linear time
        // without building a string per cell.
        std::array<double, 256> advance{};
        for (int b = 0; b < 256; ++b)
            advance[static_cast<std::size_t>(b)] =
                metrics.horizontalAdvance(QChar(cp1252ToUnicode(static_cast<unsigned char>(b))));
        double cells = 0;
        for (int row = 1; row <= NrOfRows(); ++row) {
            double w = 0;
            for (const char c : data_.ElemBytes(col, row))
                w += advance[static_cast<unsigned char>(c)];
            cells = std::max(cells, w);
        }
        int text = static_cast<int>(std::ceil(cells)) + (data_.ColumnIsCheckBox(col) ? 16 : 0) + italic;
        if (includeHeader)
            text = std::max(text,
                            static_cast<int>(std::ceil(metrics.horizontalAdvance(GetColName(col)))) + italic);
        widest = text + 10;
    }
    const int width = std::max(4, addon + widest);
    if (exists)
        SetColWidth(col, width);
    return width;
}

bool TReportListView::LoadFromXMLFile(const QString& fileName, const QString& dataId)
{
    const bool wasSuppressed = suppressPaint_;
    SetSuppressPaint(true);
    const bool complete = data_.LoadFromXMLFile(fileName, dataId);
    SetNrOfRows(data_.NrOfRows());
    SetNrOfColumns(data_.NrOfColumns());
    SetSuppressPaint(wasSuppressed);
    return complete;
}

} // namespace kv58
