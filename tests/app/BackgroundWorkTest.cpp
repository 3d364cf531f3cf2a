// Long work on a worker thread: quick work shows no dialog, slow work shows the progress dialog,
// whose "Cancel" stops it; an error of the work reaches the caller.
#include "app/files/BackgroundWork.h"

#include "ModalScript.h"

#include <QProgressDialog>
#include <QPushButton>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using namespace kv58;
using namespace kv58::test;

namespace {

TEST(BackgroundWork, QuickWorkEndsWithoutADialog)
{
    bool ran = false;
    bool dialogSeen = false;
    ModalScript script;
    script.then([&](QWidget*) { dialogSeen = true; });
    EXPECT_TRUE(BackgroundWork::run(nullptr, QStringLiteral("quick"), 500,
                                    [&](const BackgroundWork::Progress& progress) { ran = progress(1.0); }));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(dialogSeen);
}

TEST(BackgroundWork, CancelInTheProgressDialogStopsTheWork)
{
    ModalScript script;
    script.then([](QWidget* w) {
        ASSERT_NE(qobject_cast<QProgressDialog*>(w), nullptr);
        auto* cancel = w->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        cancel->click();
    });
    const bool completed = BackgroundWork::run(
        nullptr, QStringLiteral("slow"), 0, [&](const BackgroundWork::Progress& progress) {
            // Runs until told to stop, however long that is.
            while (progress(0.5))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    EXPECT_FALSE(completed);
    EXPECT_EQ(script.pending(), 0);
}

TEST(BackgroundWork, ErrorOfTheWorkReachesTheCaller)
{
    EXPECT_THROW(
        BackgroundWork::run(nullptr, QStringLiteral("failing"), 500,
                            [](const BackgroundWork::Progress&) { throw std::runtime_error("broken"); }),
        std::runtime_error);
}

} // namespace
