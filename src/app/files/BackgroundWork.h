// Long work (reading a large file) runs on a worker thread while the window keeps painting; work
// that lasts longer than a moment shows a progress dialog whose "Cancel" stops it.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kv58 {

class BackgroundWork {
public:
    // Told the share done (0 to 1) now and then; false once the user has cancelled.
    using Progress = std::function<bool(double)>;

    // Runs `work` on a worker thread and returns when it has ended. Until then user input waits;
    // after `dialogDelayMs` a modal progress dialog labelled `label` shows. Returns false when the
    // user cancelled, whatever the work returned. An error the work throws is thrown again here.
    static bool run(QWidget* parent, const QString& label, int dialogDelayMs,
                    const std::function<void(const Progress&)>& work);
};

} // namespace kv58
