// TSevenSeg: a row of seven-segment cells showing a short caption, the live clock.
#pragma once

#include "widgets/DisplayTypes.h"
#include "widgets/SevenSegLayout.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QWidget>

namespace kv58 {

class TSevenSeg : public QWidget {
    Q_OBJECT
public:
    explicit TSevenSeg(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    // Stores the caption and repaints, only when it differs from the current one.
    void setCaption(const QString& caption);

    int numDigits() const { return m_numDigits; }
    void setNumDigits(int digits);
    int margin() const { return m_margin; }
    void setMargin(int margin);
    int interDigDist() const { return m_interDigDist; }
    void setInterDigDist(int distance);
    QColor colorText() const { return m_colorText; }
    void setColorText(const QColor& c);
    QColor colorBackGnd() const { return m_colorBack; }
    void setColorBackGnd(const QColor& c);
    TFrameStyle frameStyle() const { return m_frameStyle; }
    void setFrameStyle(TFrameStyle style);
    TColorScheme colorScheme() const { return m_colorScheme; }
    void setColorScheme(TColorScheme scheme);

    const std::vector<SevenSegCell>& cells() const { return m_cells; }
    // Cell `index` (from 0) in widget pixels.
    QRect cellRect(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void changed();
    const QImage& cellImage(const SevenSegCell& cell, QSize deviceSize, qreal dpr);

    QString m_caption = QStringLiteral("00:00:00");
    std::vector<SevenSegCell> m_cells;
    int m_numDigits = 8;
    int m_margin = 8;
    int m_interDigDist = 1;
    QColor m_colorText = Qt::red;
    QColor m_colorBack = QColor(51, 51, 51);
    TFrameStyle m_frameStyle = TFrameStyle::fsLowered;
    TColorScheme m_colorScheme = TColorScheme::csBWG;
    // Glyphs already stretched to the current cell size and coloured.
    QHash<QString, QImage> m_cellCache;
    QSize m_cacheSize;
    qreal m_cacheDpr = 1;
};

} // namespace kv58
