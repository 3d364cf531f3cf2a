// Column header of the report table with the optional common header row above it, a band across
// the whole width that shows one text for all columns.
#pragma once

#include <QHeaderView>

namespace kv58 {

class RLHeaderView : public QHeaderView {
    Q_OBJECT
public:
    explicit RLHeaderView(QWidget* parent = nullptr);

    void setCommonHeaderText(const QString& text);
    void setCommonHeaderVisible(bool visible);
    bool commonHeaderVisible() const { return comHdVis_; }
    void setColumnHeadersVisible(bool visible);
    bool columnHeadersVisible() const { return colHdVis_; }
    // Heights are kept within 8 to 127 pixels.
    void setCommonHeaderHeight(int height);
    int commonHeaderHeight() const { return comHdHgt_; }
    void setColumnHeadersHeight(int height);
    int columnHeadersHeight() const { return colHdHgt_; }

    // Height of the visible header rows together.
    int totalHeight() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void heightsChanged();

    QString commonText_;
    bool comHdVis_ = false;
    bool colHdVis_ = true;
    int comHdHgt_ = 20;
    int colHdHgt_ = 20;
};

} // namespace kv58
