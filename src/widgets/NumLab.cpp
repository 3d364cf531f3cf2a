#include "widgets/NumLab.h"

#include "widgets/DisplayAccessible.h"
#include "widgets/DisplayFrame.h"

#include <QPainter>
#include <cmath>

namespace kv58 {

namespace {
constexpr int kPadding = 3; // on each side of the text inside the box
}

TNumLab::TNumLab(QWidget* parent) : QWidget(parent)
{
    installDisplayAccessibility();
}

void TNumLab::SetValue(double value)
{
    if (value == m_value && !std::isnan(value) && !std::isnan(m_value))
        return;
    m_value = value;
    update();
    displayTextChanged(this);
}

void TNumLab::changed()
{
    updateGeometry();
    update();
}

void TNumLab::setDisplayType(TDisplay type)
{
    m_format.displayType = type;
    changed();
}

void TNumLab::setPrecision(int precision)
{
    m_format.precision = std::max(0, precision);
    changed();
}

void TNumLab::setComma(bool on)
{
    m_format.comma = on;
    changed();
}

void TNumLab::setForcePlusSign(bool on)
{
    m_format.forcePlusSign = on;
    changed();
}

void TNumLab::setEmpty(bool on)
{
    m_empty = on;
    changed();
}

void TNumLab::setLabelWidth(int pixels)
{
    m_labelWidth = std::max(2 * kPadding, pixels);
    changed();
}

void TNumLab::setLeftSpace(int pixels)
{
    m_leftSpace = std::max(0, pixels);
    changed();
}

void TNumLab::setAlignment(Qt::Alignment horizontal)
{
    m_alignment = horizontal & Qt::AlignHorizontal_Mask;
    changed();
}

void TNumLab::setOverflowIndicator(const QString& text)
{
    m_overflow = text;
    changed();
}

void TNumLab::setColorBackGnd(const QColor& c)
{
    m_colorBack = c;
    update();
}

void TNumLab::setColorText(const QColor& c)
{
    m_colorText = c;
    update();
}

void TNumLab::setFrameStyle(TFrameStyle style)
{
    m_frameStyle = style;
    update();
}

QString TNumLab::displayedText() const
{
    if (m_empty)
        return {};
    const QFontMetrics fm = fontMetrics();
    return numLabShownText(numLabValueText(m_value, m_format), m_labelWidth, m_overflow,
                           [&fm](const QString& t) { return fm.horizontalAdvance(t); });
}

QRect TNumLab::labelRect() const
{
    return QRect(m_leftSpace, 0, m_labelWidth, height());
}

QSize TNumLab::sizeHint() const
{
    return QSize(m_leftSpace + m_labelWidth, fontMetrics().height() + 2 * kPadding + 2);
}

void TNumLab::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect box = labelRect();
    p.fillRect(box, m_colorBack);
    p.setPen(m_colorText);
    p.drawText(box.adjusted(kPadding, 0, -kPadding, 0), static_cast<int>(m_alignment | Qt::AlignVCenter),
               displayedText());
    drawDisplayFrame(p, box, m_frameStyle, TColorScheme::csBWG, palette());
}

} // namespace kv58
