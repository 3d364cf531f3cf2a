// The KV58 program: one main window; everything else is an event on the UI thread.
#include "app/shell/Application.h"
#include "app/shell/MainForm.h"
#include "app/shell/ShutdownSignals.h"
#include "link/HidLibrary.h"

#include <QTimer>

int main(int argc, char** argv)
{
    kv58::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KV58"));
    kv58::initHidLibrary(); // before any reader thread exists

    // Installed before the window is built: a signal that arrives meanwhile waits in the event
    // loop and then closes the window in order.
    kv58::ShutdownSignals signals_;
    kv58::TMainForm form;
    QObject::connect(&signals_, &kv58::ShutdownSignals::shutdownRequested, &form, &QWidget::close);
    form.show();
    // `kv58 FILE` opens FILE once the window is up.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        QTimer::singleShot(0, &form, [&form, file = arguments.at(1)] { form.openFile(file); });
    const int code = QApplication::exec();
    kv58::exitHidLibrary();
    return code;
}
