// TNumIO2: a self-drawn numeric input with a text on its left, such as the running number of a
// serial whose prefix stands beside it.
#pragma once

#include "widgets/NumInput.h"

#include <QWidget>

namespace kv58 {

class TNumIO2 : public QWidget {
    Q_OBJECT
public:
    explicit TNumIO2(QWidget* parent = nullptr);

    // The input buffer.
    QString text() const { return m_buffer; }
    // Replaces the buffer if the text is valid for the input format or empty (an invalid one is
    // ignored); caret and selection go to 0; repaints.
    void SetText(const QString& text);
    double GetValue() const;

    QString leftText() const { return m_leftText; }
    // Replaces the left-hand text and repaints, if it differs.
    void SetLeftText(const QString& text);

    int leftSpace() const { return m_leftSpace; }
    void setLeftSpace(int pixels);
    int boxWidth() const { return m_boxWidth; }
    void setBoxWidth(int pixels);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment horizontal);

    TInFormat inputFormat() const { return m_rules.format; }
    void setInputFormat(TInFormat format) { m_rules.format = format; }
    void setRange(double low, double high);
    void setDecPlaceSep(TDecPSep sep) { m_rules.decPlaceSep = sep; }
    bool beep() const { return m_beep; }
    void setBeep(bool on) { m_beep = on; }

    int cursorPosition() const { return m_cursor; }
    int selectionStart() const { return std::min(m_cursor, m_anchor); }
    int selectionLength() const { return std::abs(m_cursor - m_anchor); }

    QRect boxRect() const;
    QSize sizeHint() const override;

signals:
    // The operator changed the buffer.
    void textEdited(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool isValidText(const QString& text) const;
    // Puts `insert` in place of the selection; false when the result would be rejected.
    bool replaceSelection(const QString& insert);
    void moveCursor(int pos, bool select);
    int textX() const;
    int positionAt(int x) const;

    QString m_buffer;
    QString m_leftText;
    int m_leftSpace = 70;
    int m_boxWidth = 80;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    NumInputRules m_rules;
    bool m_beep = false;
    int m_cursor = 0;
    int m_anchor = 0;
};

} // namespace kv58
