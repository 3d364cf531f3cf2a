#include "widgets/RasterFont.h"

#include "core/Cp1252.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace kv58 {

const TRDCharMatrix::Glyph* TRDCharMatrix::glyph(int code) const
{
    if (code < FirstCode || code > LastCode)
        return nullptr;
    return &glyphs[static_cast<std::size_t>(code - FirstCode)];
}

bool TRDCharMatrix::dot(int code, int column, int row) const
{
    const Glyph* g = glyph(code);
    if (!g || row < 0 || row >= MaxRows || column < 0 || column >= MaxColumns)
        return false;
    return (g->rows[static_cast<std::size_t>(row)] >> column) & 1U;
}

TRDCharMatrix sampleRasterFont(const QFont& font)
{
    TRDCharMatrix m;
    QFont f(font);
    f.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(f);
    QImage image(TRDCharMatrix::MaxColumns, TRDCharMatrix::MaxRows, QImage::Format_Grayscale8);
    int lowestRow = -1;
    int widest = 0;
    for (int code = TRDCharMatrix::FirstCode; code <= TRDCharMatrix::LastCode; ++code) {
        const QString ch(QChar(cp1252ToUnicode(static_cast<unsigned char>(code))));
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setFont(f);
            p.setPen(Qt::black);
            p.drawText(0, metrics.ascent(), ch);
        }
        auto& g = m.glyphs[static_cast<std::size_t>(code - TRDCharMatrix::FirstCode)];
        int left = TRDCharMatrix::MaxColumns;
        int right = -1;
        for (int y = 0; y < TRDCharMatrix::MaxRows; ++y) {
            const uchar* line = image.constScanLine(y);
            for (int x = 0; x < TRDCharMatrix::MaxColumns; ++x) {
                if (line[x] < 128) {
                    g.rows[static_cast<std::size_t>(y)] |= 1U << x;
                    left = std::min(left, x);
                    right = std::max(right, x);
                    lowestRow = std::max(lowestRow, y);
                }
            }
        }
        if (right < 0) {
            // A blank keeps the width the font gives it.
            g.left = 0;
            g.right = std::clamp(metrics.horizontalAdvance(ch) - 2, 0, TRDCharMatrix::MaxColumns - 1);
        } else {
            g.left = left;
            g.right = right;
        }
        widest = std::max(widest, right + 1);
    }
    m.FontWidth = widest;
    m.FontHeight = lowestRow + 1;
    return m;
}

RasterLine layoutRasterText(const TRDCharMatrix& matrix, QStringView text, bool proportional)
{
    RasterLine line;
    int x = 0;
    for (const QChar c : text) {
        const int code = unicodeToCp1252(c.unicode());
        const TRDCharMatrix::Glyph* g = matrix.glyph(code);
        if (!g)
            continue;
        const int firstColumn = proportional ? g->left : 0;
        const int advance = proportional ? g->right - g->left + 2 : matrix.FontWidth + 1;
        for (int row = 0; row < matrix.FontHeight && row < TRDCharMatrix::MaxRows; ++row) {
            const std::uint32_t bits = g->rows[static_cast<std::size_t>(row)];
            for (int col = firstColumn; col < TRDCharMatrix::MaxColumns; ++col)
                if ((bits >> col) & 1U)
                    line.dots.emplace_back(x + col - firstColumn, row);
        }
        line.blocks.push_back({x, advance});
        x += advance;
    }
    line.widthDots = x;
    return line;
}

} // namespace kv58
