// The "Measure" tab: the two dot-matrix channel lines and the seven-segment clock of live data.
#pragma once

#include <QWidget>

namespace kv58 {

class OncePerFrame;
class TRasterLab;
class TSevenSeg;

class MeasurePage : public QWidget {
    Q_OBJECT
public:
    explicit MeasurePage(QWidget* parent = nullptr);

    // Shows a channel's line (1 or 2) with `text`.
    void showChannel(int channel, const QString& text);
    // Shows the clock with "hh:nn:ss".
    void showClock(const QString& time);
    // Hides the live displays, repainting each at once.
    void hideLiveDisplays();

    bool channelShown(int channel) const;
    QString channelText(int channel) const;
    bool clockShown() const;
    QString clockText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The displays take every text at once, but repaint at most once per frame.
    void paintAtNextFrame();

    // The largest dots with which the line's text fits its width (a narrow window still shows
    // the whole value, in smaller dots).
    static void fitDots(TRasterLab* line);

    TRasterLab* CHLab1 = nullptr;
    TRasterLab* CHLab2 = nullptr;
    TSevenSeg* ZeitDisplay = nullptr;
    OncePerFrame* repaint_ = nullptr;
};

} // namespace kv58
