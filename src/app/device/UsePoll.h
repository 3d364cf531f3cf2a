// `UseTimer`: the keep-alive poll that sends "InUse!" every 5 s while no run is in progress.
#pragma once

#include <QObject>
#include <functional>

class QTimer;

namespace kv58 {

class UsePoll : public QObject {
    Q_OBJECT
public:
    UsePoll(int intervalMs, std::function<void()> poll, QObject* parent = nullptr);

    void start();
    void stop();
    bool isActive() const;

private:
    QTimer* UseTimer = nullptr;
};

} // namespace kv58
