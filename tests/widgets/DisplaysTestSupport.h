// Helpers shared by the display control tests: counting paints and grabbing pixels.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QTest>
#include <QWidget>
#include <functional>

namespace kv58::test {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) : m_widget(w) { w->installEventFilter(this); }

    // Shows the widget, lets it settle, then counts the paints that `action` causes.
    int paintsDuring(const std::function<void()>& action)
    {
        settle();
        m_count = 0;
        action();
        settle();
        return m_count;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            ++m_count;
        return false;
    }

private:
    void settle()
    {
        if (!m_widget->isVisible()) {
            m_widget->show();
            [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(m_widget);
        }
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    QWidget* m_widget;
    int m_count = 0;
};

// The widget drawn into an image at the given device pixel ratio.
inline QImage renderAt(QWidget& w, qreal dpr)
{
    QImage image((QSizeF(w.size()) * dpr).toSize(), QImage::Format_ARGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::magenta);
    w.render(&image);
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace kv58::test
