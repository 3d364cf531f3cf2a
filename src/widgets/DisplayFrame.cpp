#include "widgets/DisplayFrame.h"

#include <QPainter>
#include <QPalette>

namespace kv58 {

namespace {
struct FrameColours {
    QColor shadow;
    QColor light;
    QColor line;
};

FrameColours frameColours(TColorScheme scheme, const QPalette& palette)
{
    if (scheme == TColorScheme::csSystem)
        return {palette.color(QPalette::Dark), palette.color(QPalette::Light),
                palette.color(QPalette::WindowText)};
    return {QColor(128, 128, 128), QColor(255, 255, 255), QColor(0, 0, 0)};
}

// One-pixel box: `topLeft` colour along the top and left edge, `bottomRight` along the others.
void box(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}
} // namespace

int frameAllowance(TFrameStyle style)
{
    switch (style) {
    case TFrameStyle::fsNone:
        return 0;
    case TFrameStyle::fsSimple:
    case TFrameStyle::fsLowered:
    case TFrameStyle::fsRaised:
        return 1;
    case TFrameStyle::fsEmbossed:
    case TFrameStyle::fsEngraved:
        return 2;
    }
    return 0;
}

void drawDisplayFrame(QPainter& painter, const QRect& rect, TFrameStyle style, TColorScheme scheme,
                      const QPalette& palette)
{
    const FrameColours c = frameColours(scheme, palette);
    switch (style) {
    case TFrameStyle::fsNone:
        break;
    case TFrameStyle::fsSimple:
        box(painter, rect, c.line, c.line);
        break;
    case TFrameStyle::fsLowered:
        box(painter, rect, c.shadow, c.light);
        break;
    case TFrameStyle::fsRaised:
        box(painter, rect, c.light, c.shadow);
        break;
    case TFrameStyle::fsEmbossed:
        box(painter, rect, c.light, c.shadow);
        box(painter, rect.adjusted(1, 1, -1, -1), c.shadow, c.light);
        break;
    case TFrameStyle::fsEngraved:
        box(painter, rect, c.shadow, c.light);
        box(painter, rect.adjusted(1, 1, -1, -1), c.light, c.shadow);
        break;
    }
}

} // namespace kv58
