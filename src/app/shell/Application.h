// The program's QApplication: an error that a handler does not catch ends that handler only; it
// is shown in a message box with the error's own text and the program goes on.
#pragma once

#include <QApplication>
#include <functional>

namespace kv58 {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs one handler; an error it throws is shown and the result is false.
    static bool runGuarded(const std::function<bool()>& handler);

    // Shows an error's text in a message box over the active window.
    static void showError(const QString& text);
};

} // namespace kv58
