// Refusals of the instrument: one box at a time however many arrive, each kind once while it is
// open or waiting, and a lost sensor ends the run once, after its box is closed.
#include "app/device/RefusalBoxes.h"

#include "ModalScript.h"
#include "RunningInstrumentFixture.h"

#include <QMessageBox>

using namespace kv58;
using namespace kv58::test;

namespace {

TEST(RefusalBoxes, OneBoxAtATimeEachKindOnce)
{
    QWidget window;
    std::vector<NackRow> closed;
    RefusalBoxes boxes(window, [&](NackRow row) { closed.push_back(row); });
    int boxesSeen = 0;
    ModalScript script;
    script
        .then([&](QWidget* box) {
            ++boxesSeen;
            // While the first box is open the flood goes on, with another kind among it.
            for (int i = 0; i < 10000; ++i)
                boxes.refuse(NackRow::SensorLost);
            boxes.refuse(NackRow::RelationNotPossible);
            boxes.refuse(NackRow::RelationNotPossible);
            EXPECT_EQ(boxes.waiting(), 1);
            box->close();
        })
        .then([&](QWidget* box) {
            ++boxesSeen;
            EXPECT_EQ(boxes.shown(), NackRow::RelationNotPossible);
            box->close();
        });
    boxes.refuse(NackRow::SensorLost);
    ASSERT_TRUE(waitUntil([&] { return closed.size() == 2; }));
    processEventsFor(50);
    EXPECT_EQ(boxesSeen, 2);
    EXPECT_EQ(closed, (std::vector<NackRow>{NackRow::SensorLost, NackRow::RelationNotPossible}));
    EXPECT_EQ(boxes.waiting(), 0);
}

using RefusalFloodTest = RunningInstrumentTest;

TEST_F(RefusalFloodTest, TenThousandSensorLostLinesOpenOneBoxAndEndTheRunOnce)
{
    startReady();
    click("IrrRunButton");
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    constexpr int kBurst = 10000;
    const qsizetype logged = log().size();
    int boxes = 0;
    int mostOpen = 0;
    ModalScript script;
    script.then([&](QWidget* box) {
        ++boxes;
        // The box stays open until the whole burst has arrived.
        EXPECT_TRUE(waitUntil([&] { return log().size() >= logged + kBurst; }, 60000));
        mostOpen = static_cast<int>(form->findChildren<QMessageBox*>().size());
        EXPECT_TRUE(shown("StopButton")) << "the run ends only when the box is closed";
        box->close();
    });
    for (int i = 0; i < kBurst; ++i)
        kv->send(QStringLiteral("NACK:SENSOR LOST"));
    ASSERT_TRUE(waitUntil([&] { return boxes == 1 && shown("IrrRunButton"); }, 60000));
    processEventsFor(100);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(mostOpen, 1);
    EXPECT_FALSE(shown("StopButton"));
}

} // namespace
