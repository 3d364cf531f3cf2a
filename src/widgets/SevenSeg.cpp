#include "widgets/SevenSeg.h"

#include "widgets/DisplayAccessible.h"
#include "widgets/DisplayFrame.h"

#include <QPainter>
#include <array>

// Resources of a static library must be registered by name from outside any namespace.
static void initSevenSegImages()
{
    Q_INIT_RESOURCE(SevenSegImages);
}

namespace kv58 {

namespace {

// The segment images at design size, loaded once.
const QImage& segImage(SegImage image)
{
    static const std::array<QImage, 6> images = [] {
        initSevenSegImages();
        std::array<QImage, 6> all;
        for (int i = 0; i < 6; ++i) {
            QImage img(segImagePath(static_cast<SegImage>(i)), "PNG");
            all[static_cast<std::size_t>(i)] = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        }
        return all;
    }();
    return images[static_cast<std::size_t>(image)];
}

QString cacheKey(const SevenSegCell& cell)
{
    return QString(cell.glyph.isNull() ? QChar(u' ') : cell.glyph) + (cell.point ? u'.' : u' ');
}

} // namespace

TSevenSeg::TSevenSeg(QWidget* parent) : QWidget(parent)
{
    installDisplayAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_cells = layoutSevenSegCaption(m_caption, m_numDigits);
}

void TSevenSeg::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_cells = layoutSevenSegCaption(m_caption, m_numDigits);
    update();
    displayTextChanged(this);
}

void TSevenSeg::setNumDigits(int digits)
{
    m_numDigits = std::max(1, digits);
    m_cells = layoutSevenSegCaption(m_caption, m_numDigits);
    changed();
}

void TSevenSeg::setMargin(int margin)
{
    m_margin = std::max(0, margin);
    changed();
}

void TSevenSeg::setInterDigDist(int distance)
{
    m_interDigDist = std::max(0, distance);
    changed();
}

void TSevenSeg::setColorText(const QColor& c)
{
    m_colorText = c;
    changed();
}

void TSevenSeg::setColorBackGnd(const QColor& c)
{
    m_colorBack = c;
    update();
}

void TSevenSeg::setFrameStyle(TFrameStyle style)
{
    m_frameStyle = style;
    update();
}

void TSevenSeg::setColorScheme(TColorScheme scheme)
{
    m_colorScheme = scheme;
    update();
}

void TSevenSeg::changed()
{
    m_cellCache.clear();
    updateGeometry();
    update();
}

QRect TSevenSeg::cellRect(int index) const
{
    return sevenSegCellRect(size(), m_margin, m_numDigits, m_interDigDist, index);
}

QSize TSevenSeg::sizeHint() const
{
    // Cells about half as wide as they are high.
    return QSize(2 * m_margin + m_numDigits * (16 + m_interDigDist), 2 * m_margin + 30);
}

void TSevenSeg::resizeEvent(QResizeEvent* event)
{
    m_cellCache.clear();
    QWidget::resizeEvent(event);
}

const QImage& TSevenSeg::cellImage(const SevenSegCell& cell, QSize deviceSize, qreal dpr)
{
    if (deviceSize != m_cacheSize || dpr != m_cacheDpr) {
        m_cellCache.clear();
        m_cacheSize = deviceSize;
        m_cacheDpr = dpr;
    }
    const QString key = cacheKey(cell);
    auto it = m_cellCache.find(key);
    if (it != m_cellCache.end())
        return *it;

    // Compose at design size in white, colour it, then stretch it to the cell in device pixels.
    QImage design(sevenSegDesignSize(), QImage::Format_ARGB32_Premultiplied);
    design.fill(Qt::transparent);
    {
        QPainter p(&design);
        for (const SegPlacement& s : cellPlacements(cell))
            p.drawImage(s.designPos, segImage(s.image));
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(design.rect(), m_colorText);
    }
    QImage scaled = design.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(dpr);
    return *m_cellCache.insert(key, scaled);
}

void TSevenSeg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_colorBack);
    const qreal dpr = devicePixelRatioF();
    for (int i = 0; i < static_cast<int>(m_cells.size()); ++i) {
        const SevenSegCell& cell = m_cells[static_cast<std::size_t>(i)];
        const QRect r = cellRect(i);
        if (r.width() <= 0 || r.height() <= 0 || (cell.glyph.isNull() && !cell.point))
            continue;
        p.drawImage(r.topLeft(), cellImage(cell, (QSizeF(r.size()) * dpr).toSize(), dpr));
    }
    drawDisplayFrame(p, rect(), m_frameStyle, m_colorScheme, palette());
}

} // namespace kv58
