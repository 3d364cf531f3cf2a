// What a benchmark that builds the main window needs first: the offscreen platform (unless one is
// chosen) and a private settings folder, so the user's settings stay untouched.
#pragma once

#include <QTemporaryDir>
#include <QtGlobal>

namespace kv58::bench {

// Call before the QApplication is made; `config` must outlive the application.
inline void prepareOffscreenWindow(const QTemporaryDir& config)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
}

} // namespace kv58::bench
