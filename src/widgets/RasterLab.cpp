#include "widgets/RasterLab.h"

#include "widgets/DisplayAccessible.h"
#include "widgets/DisplayFrame.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace kv58 {

TRasterLab::TRasterLab(QWidget* parent) : QWidget(parent)
{
    installDisplayAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    relayout();
    geometryChanged();
}

void TRasterLab::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    relayout();
    update();
    displayTextChanged(this);
}

void TRasterLab::setFontName(const QString& name)
{
    if (name == m_fontName)
        return;
    m_fontName = name;
    m_sampled.reset();
    if (m_fontName.compare(QStringLiteral("default"), Qt::CaseInsensitive) != 0) {
        QFont f = font();
        f.setFamily(m_fontName);
        m_sampled = sampleRasterFont(f);
    }
    relayout();
    geometryChanged();
}

const TRDCharMatrix& TRasterLab::charMatrix() const
{
    return m_sampled ? *m_sampled : builtinRasterFont();
}

void TRasterLab::setColorLabBakG(const QColor& c)
{
    m_colorBack = c;
    update();
}

void TRasterLab::setColorDotOn(const QColor& c)
{
    m_colorOn = c;
    update();
}

void TRasterLab::setColorDotOff(const QColor& c)
{
    m_colorOff = c;
    update();
}

void TRasterLab::setDotSize(int size)
{
    m_dotSize = std::max(1, size);
    geometryChanged();
}

void TRasterLab::setDotSpacing(int spacing)
{
    m_dotSpacing = std::max(0, spacing);
    geometryChanged();
}

void TRasterLab::setPosX(int x)
{
    m_posX = x;
    update();
}

void TRasterLab::setPosY(int y)
{
    m_posY = y;
    update();
}

void TRasterLab::setProportional(bool on)
{
    m_proportional = on;
    relayout();
    geometryChanged();
}

void TRasterLab::setCharBlockMode(TRDBlockMode mode)
{
    m_blockMode = mode;
    update();
}

void TRasterLab::setAutoHeight(bool on)
{
    m_autoHeight = on;
    if (!on) {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
    geometryChanged();
}

void TRasterLab::setAutoCenter(bool on)
{
    m_autoCenter = on;
    update();
}

void TRasterLab::setFrameStyle(TFrameStyle style)
{
    m_frameStyle = style;
    geometryChanged();
}

void TRasterLab::setColorScheme(TColorScheme scheme)
{
    m_colorScheme = scheme;
    update();
}

int TRasterLab::autoHeightValue() const
{
    return dotPitch() * charMatrix().FontHeight + frameAllowance(m_frameStyle);
}

void TRasterLab::relayout()
{
    m_line = layoutRasterText(charMatrix(), m_text, m_proportional);
}

void TRasterLab::geometryChanged()
{
    if (m_autoHeight)
        setFixedHeight(autoHeightValue());
    updateGeometry();
    update();
}

int TRasterLab::originX() const
{
    if (!m_autoCenter)
        return m_posX;
    // Centred on whole dot steps, so the text stays on the raster of unlit dots.
    const int p = dotPitch();
    const int textWidth = m_line.widthDots * p - m_dotSpacing;
    const int steps = std::max(0, ((width() - textWidth) / 2 - m_posX) / p);
    return m_posX + steps * p;
}

QRect TRasterLab::dotRect(int column, int row) const
{
    const int p = dotPitch();
    return QRect(originX() + column * p, m_posY + row * p, m_dotSize, m_dotSize);
}

QSize TRasterLab::sizeHint() const
{
    const int w = m_posX + m_line.widthDots * dotPitch() + frameAllowance(m_frameStyle);
    return QSize(std::max(w, 8 * dotPitch()), autoHeightValue());
}

QSize TRasterLab::minimumSizeHint() const
{
    return QSize(dotPitch(), m_autoHeight ? autoHeightValue() : dotPitch());
}

void TRasterLab::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect all = rect();
    const int pitch = dotPitch();
    const int x0 = originX();
    const int rows = charMatrix().FontHeight;

    switch (m_blockMode) {
    case TRDBlockMode::rdbmRaster: {
        p.fillRect(all, m_colorOff);
        if (m_dotSpacing > 0) {
            // Background lines between the dot cells, in both directions at the dot pitch.
            const int startX = ((x0 + m_dotSize) % pitch + pitch) % pitch - pitch;
            for (int x = startX; x < all.width(); x += pitch)
                p.fillRect(QRect(x, 0, m_dotSpacing, all.height()), m_colorBack);
            const int startY = ((m_posY + m_dotSize) % pitch + pitch) % pitch - pitch;
            for (int y = startY; y < all.height(); y += pitch)
                p.fillRect(QRect(0, y, all.width(), m_dotSpacing), m_colorBack);
        }
        break;
    }
    case TRDBlockMode::rdbmOn:
        p.fillRect(all, m_colorBack);
        for (const auto& block : m_line.blocks)
            for (int col = block.column; col < block.column + block.width; ++col)
                for (int row = 0; row < rows; ++row)
                    p.fillRect(dotRect(col, row), m_colorOff);
        break;
    case TRDBlockMode::rdbmOff:
        p.fillRect(all, m_colorBack);
        break;
    }

    for (const QPoint& d : m_line.dots)
        p.fillRect(dotRect(d.x(), d.y()), m_colorOn);

    drawDisplayFrame(p, all, m_frameStyle, m_colorScheme, palette());
}

void TRasterLab::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange && m_sampled) {
        QFont f = font();
        f.setFamily(m_fontName);
        m_sampled = sampleRasterFont(f);
        relayout();
        geometryChanged();
    }
    QWidget::changeEvent(event);
}

} // namespace kv58
