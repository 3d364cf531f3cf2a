// The chart's item list: appending with the current attributes, block growth, removal of the
// oldest item and clearing.
#include "data/ChartModel.h"

#include <gtest/gtest.h>

namespace kv58 {
namespace {

std::vector<double> xs(const ChartItemList& items)
{
    std::vector<double> v;
    items.forEachSpan(0, items.count(), [&](const TrcChartItem* b, const TrcChartItem* e) {
        for (; b != e; ++b)
            v.push_back(b->x);
    });
    return v;
}

TEST(ChartItems, AppendCarriesTheCurrentAttributes)
{
    ChartModel chart;
    chart.setDataColor(0x0000FF);
    chart.setDataTag(7);
    chart.setActiveLayer(2);
    chart.MoveTo(1, 2);
    chart.setDataColor(0xFF0000);
    chart.setPenStyle(TPenStyle::psDot);
    chart.DrawTo(3, 4);
    ASSERT_EQ(chart.NumChartItems(), 2);
    const TrcChartItem& a = chart.items().at(0);
    const TrcChartItem& b = chart.items().at(1);
    EXPECT_EQ(a.ItemKind, TrcItem::tkMoveTo);
    EXPECT_EQ(b.ItemKind, TrcItem::tkLineto);
    EXPECT_EQ(a.Color, 0x0000FFu);
    EXPECT_EQ(b.Color, 0xFF0000u);
    EXPECT_EQ(a.PenStyle, TPenStyle::psSolid);
    EXPECT_EQ(b.PenStyle, TPenStyle::psDot);
    EXPECT_EQ(a.Tag, 7);
    EXPECT_EQ(a.Layer, 2);
    EXPECT_EQ(a.ItemClass, 0);
    EXPECT_EQ(a.CoordMode, TCoordMode::cmAllWorld);
    EXPECT_EQ(b.x, 3);
    EXPECT_EQ(b.y, 4);
    EXPECT_EQ(chartColorFromBgr(0xFF0000), 0x0000FFu); // the feed's channel 1 colour is blue
}

TEST(ChartItems, GrowsByAllocSizeBlocks)
{
    ChartModel chart;
    EXPECT_EQ(chart.NumAllocData(), 0);
    for (int i = 0; i < 1000; ++i)
        chart.DrawTo(i, 0);
    EXPECT_EQ(chart.NumAllocData(), 1000);
    chart.DrawTo(1000, 0);
    EXPECT_EQ(chart.NumChartItems(), 1001);
    EXPECT_EQ(chart.NumAllocData(), 2000);
    EXPECT_EQ(chart.items().at(1000).x, 1000);

    chart.setAllocSize(10); // applies to the next storage
    chart.DrawTo(0, 0);
    EXPECT_EQ(chart.NumAllocData(), 2000);
    chart.ClearGraf();
    chart.DrawTo(0, 0);
    EXPECT_EQ(chart.NumAllocData(), 10);
}

TEST(ChartItems, RemoveFirstOnEmptyAndSingle)
{
    ChartModel chart;
    chart.RemoveFirstItem();
    EXPECT_EQ(chart.NumChartItems(), 0);
    EXPECT_EQ(chart.NumAllocData(), 0);

    chart.MoveTo(1, 1);
    chart.RemoveFirstItem();
    EXPECT_EQ(chart.NumChartItems(), 0);
    EXPECT_EQ(chart.NumAllocData(), 0); // storage released
    chart.DrawTo(2, 2);
    EXPECT_EQ(chart.items().at(0).x, 2);
}

TEST(ChartItems, SlidingWindowKeepsOrderAndStorage)
{
    ChartModel chart;
    chart.setAllocSize(8);
    std::vector<double> expected;
    int next = 0;
    for (int i = 0; i < 30; ++i) {
        chart.DrawTo(next, 0);
        expected.push_back(next++);
    }
    const int allocated = chart.NumAllocData();
    // The live feed: four items in, four items out, for a long time.
    for (int step = 0; step < 500; ++step) {
        for (int k = 0; k < 4; ++k) {
            chart.DrawTo(next, 0);
            expected.push_back(next++);
        }
        for (int k = 0; k < 4; ++k) {
            chart.RemoveFirstItem();
            expected.erase(expected.begin());
        }
        ASSERT_EQ(xs(chart.items()), expected) << "step " << step;
    }
    EXPECT_LE(chart.NumAllocData(), allocated + 8);
    EXPECT_EQ(chart.items().at(0).x, expected.front());
    EXPECT_EQ(chart.items().last().x, expected.back());
}

TEST(ChartItems, LongListsKeepEveryItemInOrder)
{
    // Past a few megabytes the blocks come from large chunks; block sizes that fill a chunk
    // unevenly and one larger than a chunk.
    for (const int allocSize : {1000, 777, 100000}) {
        SCOPED_TRACE(allocSize);
        ChartItemList items;
        items.setAllocSize(allocSize);
        const int total = 300000;
        TrcChartItem item;
        for (int i = 0; i < total; ++i) {
            item.x = i;
            item.y = -i;
            items.append(item);
        }
        ASSERT_EQ(items.count(), total);
        EXPECT_EQ(items.allocated() % allocSize, 0);
        EXPECT_GE(items.allocated(), total);
        EXPECT_LT(items.allocated(), total + allocSize);
        const std::vector<double> all = xs(items);
        for (int i = 0; i < total; ++i) {
            ASSERT_EQ(all[static_cast<std::size_t>(i)], i);
            ASSERT_EQ(items.at(i).y, -i);
        }

        // Sliding over the chunked blocks keeps the storage and the order.
        const int allocated = items.allocated();
        int next = total;
        for (int step = 0; step < 250000; ++step) {
            item.x = next++;
            items.append(item);
            items.removeFirst();
        }
        EXPECT_LE(items.allocated(), allocated + allocSize); // at most the one block a full list adds
        EXPECT_EQ(items.at(0).x, next - total);
        EXPECT_EQ(items.last().x, next - 1);
        const std::vector<double> slid = xs(items);
        for (std::size_t i = 1; i < slid.size(); ++i)
            ASSERT_EQ(slid[i], slid[i - 1] + 1);

        items.clear();
        EXPECT_EQ(items.allocated(), 0);
        items.append(item);
        EXPECT_EQ(items.last().x, next - 1);
    }
}

TEST(ChartItems, ClearAndShow)
{
    ChartModel chart;
    for (int i = 0; i < 5; ++i)
        chart.DrawTo(i, i);
    chart.ShowGraf();
    EXPECT_EQ(chart.LastElemOnShow(), 4);
    const auto generation = chart.itemsGeneration();
    chart.ClearGraf();
    EXPECT_EQ(chart.NumChartItems(), 0);
    EXPECT_EQ(chart.NumAllocData(), 0);
    EXPECT_EQ(chart.LastElemOnShow(), 0);
    EXPECT_NE(chart.itemsGeneration(), generation);
}

} // namespace
} // namespace kv58
