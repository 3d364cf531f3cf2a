// TNumLab: a framed label showing a number, such as a channel's calibration factor.
#pragma once

#include "widgets/DisplayTypes.h"
#include "widgets/NumLabFormat.h"

#include <QColor>
#include <QWidget>

namespace kv58 {

class TNumLab : public QWidget {
    Q_OBJECT
public:
    explicit TNumLab(QWidget* parent = nullptr);

    double value() const { return m_value; }
    // Stores and repaints, only when the value differs (or either is not a number).
    void SetValue(double value);

    TDisplay displayType() const { return m_format.displayType; }
    void setDisplayType(TDisplay type);
    int precision() const { return m_format.precision; }
    void setPrecision(int precision);
    bool comma() const { return m_format.comma; }
    void setComma(bool on);
    bool forcePlusSign() const { return m_format.forcePlusSign; }
    void setForcePlusSign(bool on);
    // An empty label shows no text.
    bool empty() const { return m_empty; }
    void setEmpty(bool on);
    int labelWidth() const { return m_labelWidth; }
    void setLabelWidth(int pixels);
    // Room left of the label box.
    int leftSpace() const { return m_leftSpace; }
    void setLeftSpace(int pixels);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment horizontal);
    QString overflowIndicator() const { return m_overflow; }
    void setOverflowIndicator(const QString& text);
    QColor colorBackGnd() const { return m_colorBack; }
    void setColorBackGnd(const QColor& c);
    QColor colorText() const { return m_colorText; }
    void setColorText(const QColor& c);
    TFrameStyle frameStyle() const { return m_frameStyle; }
    void setFrameStyle(TFrameStyle style);

    // What the label shows for its value: the value text or the overflow indicator.
    QString displayedText() const;
    QRect labelRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed();

    double m_value = 0;
    NumLabFormat m_format;
    bool m_empty = false;
    int m_labelWidth = 80;
    int m_leftSpace = 1;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    QString m_overflow = QStringLiteral("*********");
    QColor m_colorBack = Qt::white;
    QColor m_colorText = Qt::black;
    TFrameStyle m_frameStyle = TFrameStyle::fsLowered;
};

} // namespace kv58
