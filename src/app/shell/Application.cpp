#include "app/shell/Application.h"

#include "core/Translation.h"

#include <QMessageBox>
#include <exception>

namespace kv58 {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    return runGuarded([&] { return QApplication::notify(receiver, event); });
}

bool Application::runGuarded(const std::function<bool()>& handler)
{
    try {
        return handler();
    } catch (const std::exception& error) {
        showError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showError(_("Unknown error"));
    }
    return false;
}

void Application::showError(const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), _("Error"), text);
}

} // namespace kv58
