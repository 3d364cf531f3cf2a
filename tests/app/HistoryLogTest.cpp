// The history log keeps every line and widens its extent to the widest line until it is cleared.
#include "app/service/HistoryLog.h"

#include "support/Waiting.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <gtest/gtest.h>

using namespace kv58;

namespace {

TEST(HistoryLog, ExtentGrowsWithTheWidestLineAndRestartsOnClear)
{
    HistoryLog log;
    log.resize(200, 100);
    log.show();
    const QFontMetrics metrics(log.font());
    const QString wide = QStringLiteral("Time:10:15:30 UVA 12,500 W/m& VISL   150,000 W/m&");

    log.AddToHistory(QStringLiteral("USE:NO"));
    EXPECT_EQ(log.horizontalExtent(), metrics.horizontalAdvance(QStringLiteral("USE:NO")) + 16);
    log.AddToHistory(wide);
    log.AddToHistory(QStringLiteral("ACK"));
    EXPECT_EQ(log.horizontalExtent(), metrics.horizontalAdvance(wide) + 16); // never shrinks
    EXPECT_EQ(log.lines(), (QStringList{"USE:NO", wide, "ACK"}));

    for (int i = 0; i < 50; ++i)
        log.AddToHistory(QString::number(i));
    // The newest line shows, at the latest at the end of the frame.
    EXPECT_TRUE(test::waitUntil([&] {
        return log.verticalScrollBar()->maximum() > 0 &&
               log.verticalScrollBar()->value() == log.verticalScrollBar()->maximum();
    }));

    log.clearLog();
    EXPECT_EQ(log.horizontalExtent(), 0);
    EXPECT_EQ(log.count(), 0);
    log.AddToHistory(QStringLiteral("ACK"));
    EXPECT_EQ(log.horizontalExtent(), metrics.horizontalAdvance(QStringLiteral("ACK")) + 16);
}

} // namespace
