// Lines can arrive faster than the screen shows frames. What only the eye needs (a repaint, a
// scroll to the newest row) is asked for with every line but done at most once per frame: the
// requests of one frame are merged into one run at its end.
#pragma once

#include <QObject>
#include <functional>

class QTimer;

namespace kv58 {

class OncePerFrame : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameMs = 16; // one frame at 60 Hz

    OncePerFrame(std::function<void()> action, QObject* parent);

    // The action runs at the end of this frame; further requests until then change nothing.
    void request();
    bool pending() const;
    // A pending action is dropped.
    void cancel();
    // A pending action runs now.
    void runNow();

private:
    std::function<void()> action_;
    QTimer* timer_ = nullptr;
};

} // namespace kv58
