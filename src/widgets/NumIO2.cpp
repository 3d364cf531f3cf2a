#include "widgets/NumIO2.h"

#include "widgets/DisplayFrame.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>

namespace kv58 {

namespace {
constexpr int kPadding = 3;
}

TNumIO2::TNumIO2(QWidget* parent) : QWidget(parent)
{
    m_rules.format = TInFormat::itInt;
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
}

bool TNumIO2::isValidText(const QString& text) const
{
    return text.isEmpty() ||
           parseNumInput(text, m_rules.format, m_rules.decPlaceSep, systemDecimalSeparator()).has_value();
}

void TNumIO2::SetText(const QString& text)
{
    if (isValidText(text))
        m_buffer = text;
    m_cursor = 0;
    m_anchor = 0;
    update();
}

double TNumIO2::GetValue() const
{
    if (m_rules.format == TInFormat::itInt)
        return numIO2IntValue(m_buffer);
    return numInputValue(m_buffer, m_rules.format);
}

void TNumIO2::SetLeftText(const QString& text)
{
    if (text == m_leftText)
        return;
    m_leftText = text;
    update();
}

void TNumIO2::setLeftSpace(int pixels)
{
    m_leftSpace = std::max(0, pixels);
    updateGeometry();
    update();
}

void TNumIO2::setBoxWidth(int pixels)
{
    m_boxWidth = std::max(8, pixels);
    updateGeometry();
    update();
}

void TNumIO2::setAlignment(Qt::Alignment horizontal)
{
    m_alignment = horizontal & Qt::AlignHorizontal_Mask;
    update();
}

void TNumIO2::setRange(double low, double high)
{
    m_rules.rangeLow = low;
    m_rules.rangeHigh = high;
}

QRect TNumIO2::boxRect() const
{
    return QRect(m_leftSpace, 0, m_boxWidth, height());
}

QSize TNumIO2::sizeHint() const
{
    return QSize(m_leftSpace + m_boxWidth, fontMetrics().height() + 2 * kPadding + 2);
}

int TNumIO2::textX() const
{
    const QRect inner = boxRect().adjusted(kPadding, 0, -kPadding, 0);
    const int w = fontMetrics().horizontalAdvance(m_buffer);
    if (m_alignment & Qt::AlignRight)
        return inner.right() + 1 - w;
    if (m_alignment & Qt::AlignHCenter)
        return inner.left() + (inner.width() - w) / 2;
    return inner.left();
}

int TNumIO2::positionAt(int x) const
{
    const QFontMetrics fm = fontMetrics();
    const int origin = textX();
    for (int i = 0; i < m_buffer.size(); ++i) {
        const int mid =
            origin +
            (fm.horizontalAdvance(m_buffer.left(i)) + fm.horizontalAdvance(m_buffer.left(i + 1))) / 2;
        if (x < mid)
            return i;
    }
    return static_cast<int>(m_buffer.size());
}

bool TNumIO2::replaceSelection(const QString& insert)
{
    const int start = selectionStart();
    QString next = m_buffer;
    next.replace(start, selectionLength(), insert);
    const bool ok = next.isEmpty() || checkNumInput(next, m_rules, systemDecimalSeparator()).accepted;
    if (!ok) {
        if (m_beep)
            QApplication::beep();
        return false;
    }
    m_buffer = next;
    m_cursor = m_anchor = start + static_cast<int>(insert.size());
    update();
    emit textEdited(m_buffer);
    return true;
}

void TNumIO2::moveCursor(int pos, bool select)
{
    m_cursor = std::clamp(pos, 0, static_cast<int>(m_buffer.size()));
    if (!select)
        m_anchor = m_cursor;
    update();
}

void TNumIO2::keyPressEvent(QKeyEvent* event)
{
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (event->matches(QKeySequence::SelectAll)) {
        m_anchor = 0;
        moveCursor(static_cast<int>(m_buffer.size()), true);
    } else if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(m_buffer.mid(selectionStart(), selectionLength()));
    } else if (event->matches(QKeySequence::Paste)) {
        replaceSelection(QApplication::clipboard()->text().trimmed());
    } else if (event->key() == Qt::Key_Left) {
        moveCursor(m_cursor - 1, shift);
    } else if (event->key() == Qt::Key_Right) {
        moveCursor(m_cursor + 1, shift);
    } else if (event->key() == Qt::Key_Home) {
        moveCursor(0, shift);
    } else if (event->key() == Qt::Key_End) {
        moveCursor(static_cast<int>(m_buffer.size()), shift);
    } else if (event->key() == Qt::Key_Backspace) {
        if (selectionLength() == 0 && m_cursor > 0)
            m_anchor = m_cursor - 1;
        replaceSelection(QString());
    } else if (event->key() == Qt::Key_Delete) {
        if (selectionLength() == 0 && m_cursor < m_buffer.size())
            m_anchor = m_cursor + 1;
        replaceSelection(QString());
    } else if (!event->text().isEmpty() && event->text().front().isPrint()) {
        replaceSelection(event->text());
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TNumIO2::mousePressEvent(QMouseEvent* event)
{
    if (isEnabled() && boxRect().contains(event->position().toPoint())) {
        setFocus(Qt::MouseFocusReason);
        moveCursor(positionAt(event->position().toPoint().x()), event->modifiers() & Qt::ShiftModifier);
    }
    QWidget::mousePressEvent(event);
}

void TNumIO2::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void TNumIO2::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void TNumIO2::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QFontMetrics fm = fontMetrics();

    p.setPen(palette().color(group, QPalette::WindowText));
    p.drawText(QRect(0, 0, m_leftSpace, height()), Qt::AlignLeft | Qt::AlignVCenter, m_leftText);

    const QRect box = boxRect();
    p.fillRect(box, palette().color(group, QPalette::Base));
    const int x = textX();
    const int baseline = (height() - fm.height()) / 2 + fm.ascent();
    if (selectionLength() > 0 && hasFocus()) {
        const int x1 = x + fm.horizontalAdvance(m_buffer.left(selectionStart()));
        const int x2 = x + fm.horizontalAdvance(m_buffer.left(selectionStart() + selectionLength()));
        p.fillRect(QRect(x1, baseline - fm.ascent(), x2 - x1, fm.height()),
                   palette().color(QPalette::Highlight));
    }
    p.setClipRect(box.adjusted(1, 1, -1, -1));
    p.setPen(palette().color(group, QPalette::Text));
    p.drawText(x, baseline, m_buffer);
    if (hasFocus() && isEnabled()) {
        const int cx = x + fm.horizontalAdvance(m_buffer.left(m_cursor));
        p.fillRect(QRect(cx, baseline - fm.ascent(), 1, fm.height()), palette().color(QPalette::Text));
    }
    p.setClipping(false);
    drawDisplayFrame(p, box, TFrameStyle::fsLowered, TColorScheme::csSystem, palette());
}

} // namespace kv58
