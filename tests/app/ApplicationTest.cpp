// An error a handler does not catch is shown with its own text, and the program goes on.
#include "app/shell/Application.h"

#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(Application, UncaughtErrorIsShownWithItsTextAndHandlingGoesOn)
{
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    const bool handled = kv58::Application::runGuarded(
        []() -> bool { throw std::runtime_error("Component \"RL\": not enough memory on heap"); });
    EXPECT_FALSE(handled);
    EXPECT_EQ(shown, QStringLiteral("Component \"RL\": not enough memory on heap"));

    EXPECT_TRUE(kv58::Application::runGuarded([] { return true; }));
}

} // namespace
