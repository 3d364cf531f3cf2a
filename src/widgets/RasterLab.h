// TRasterLab: one line of text shown as lit dots on a dot-matrix display, the live value of a
// measuring channel.
#pragma once

#include "widgets/DisplayTypes.h"
#include "widgets/RasterFont.h"

#include <QColor>
#include <QWidget>
#include <optional>

namespace kv58 {

// rdbmOff: unlit dots are not shown; rdbmOn: they are shown within each character's block;
// rdbmRaster: they are shown over the whole control.
enum class TRDBlockMode { rdbmOff, rdbmOn, rdbmRaster };

class TRasterLab : public QWidget {
    Q_OBJECT
public:
    explicit TRasterLab(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    // Stores the text and repaints, only when it differs from the current one.
    void setText(const QString& text);

    // "default" selects the built-in 7 x 12 font; any other name is sampled from that font at the
    // control's font size.
    QString fontName() const { return m_fontName; }
    void setFontName(const QString& name);
    const TRDCharMatrix& charMatrix() const;

    QColor colorLabBakG() const { return m_colorBack; }
    void setColorLabBakG(const QColor& c);
    QColor colorDotOn() const { return m_colorOn; }
    void setColorDotOn(const QColor& c);
    QColor colorDotOff() const { return m_colorOff; }
    void setColorDotOff(const QColor& c);

    int dotSize() const { return m_dotSize; }
    void setDotSize(int size);
    int dotSpacing() const { return m_dotSpacing; }
    void setDotSpacing(int spacing);
    int dotPitch() const { return m_dotSize + m_dotSpacing; }
    int posX() const { return m_posX; }
    void setPosX(int x);
    int posY() const { return m_posY; }
    void setPosY(int y);
    bool proportional() const { return m_proportional; }
    void setProportional(bool on);
    TRDBlockMode charBlockMode() const { return m_blockMode; }
    void setCharBlockMode(TRDBlockMode mode);
    bool autoHeight() const { return m_autoHeight; }
    void setAutoHeight(bool on);
    bool autoCenter() const { return m_autoCenter; }
    void setAutoCenter(bool on);
    TFrameStyle frameStyle() const { return m_frameStyle; }
    void setFrameStyle(TFrameStyle style);
    TColorScheme colorScheme() const { return m_colorScheme; }
    void setColorScheme(TColorScheme scheme);

    // Dot pitch x font height + frame allowance: 37 pixels with the defaults.
    int autoHeightValue() const;
    // Where the dot at (column, row) of the laid-out text lands, in widget pixels.
    QRect dotRect(int column, int row) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void relayout();
    void geometryChanged();
    int originX() const;

    QString m_text;
    QString m_fontName = QStringLiteral("default");
    std::optional<TRDCharMatrix> m_sampled;
    RasterLine m_line;
    QColor m_colorBack = Qt::black;
    QColor m_colorOn = QColor(0, 255, 0);
    QColor m_colorOff = QColor(64, 64, 64);
    int m_dotSize = 2;
    int m_dotSpacing = 1;
    int m_posX = 1;
    int m_posY = 1;
    bool m_proportional = true;
    TRDBlockMode m_blockMode = TRDBlockMode::rdbmRaster;
    bool m_autoHeight = true;
    bool m_autoCenter = false;
    TFrameStyle m_frameStyle = TFrameStyle::fsLowered;
    TColorScheme m_colorScheme = TColorScheme::csBWG;
};

} // namespace kv58
