#include "SimOptions.h"

#include "LinkTestSupport.h"

#include <gtest/gtest.h>

using namespace kv58;
using namespace kv58::sim;

namespace {
ParsedOptions parse(QStringList args)
{
    args.prepend(QStringLiteral("kv58-sim"));
    return parseSimOptions(args, 0);
}
} // namespace

TEST(SimOptions, DefaultsPutATwoSensorKv58OnTheUsersBus)
{
    const test::PrivateRuntimeDir runtime;
    const ParsedOptions p = parse({});
    ASSERT_TRUE(p.options) << p.message.toStdString();
    EXPECT_EQ(p.options->busDir, runtime.busDir());
    EXPECT_EQ(p.options->stem, u"kv58-sim");
    EXPECT_EQ(p.options->identity.vendorId, 0x2047);
    EXPECT_EQ(p.options->identity.productId, 0xFFE5);
    EXPECT_EQ(p.options->identity.inputReportLength, 64);
    EXPECT_TRUE(p.options->setup.sensors[0] && p.options->setup.sensors[1]);
    EXPECT_FALSE(p.options->setup.silent || p.options->setup.inUseElsewhere);
}

TEST(SimOptions, EveryBehaviourHasAnOption)
{
    const ParsedOptions p = parse({"--stem", "bench-2", "--usb-serial", "", "--product", "KV58 Lab",
                                   "--sensors", "1", "--type1", "UVB", "--in-use", "--silent", "--drift-ppm",
                                   "-12.5", "--time-scale", "20", "--unprogrammed", "--bus-dir", "/tmp/x"});
    ASSERT_TRUE(p.options) << p.message.toStdString();
    const SimOptions& o = *p.options;
    EXPECT_EQ(o.stem, u"bench-2");
    EXPECT_EQ(o.busDir, u"/tmp/x");
    EXPECT_TRUE(o.identity.serial.isEmpty());
    EXPECT_EQ(o.identity.product, u"KV58 Lab");
    ASSERT_TRUE(o.setup.sensors[0]);
    EXPECT_EQ(o.setup.sensors[0]->type, u"UVB");
    EXPECT_FALSE(o.setup.sensors[1]);
    EXPECT_TRUE(o.setup.inUseElsewhere);
    EXPECT_TRUE(o.setup.silent);
    EXPECT_DOUBLE_EQ(o.setup.driftPpm, -12.5);
    EXPECT_DOUBLE_EQ(o.setup.timeScale, 20);
    EXPECT_EQ(o.setup.customer, u"NOT SET");
}

TEST(SimOptions, NonsenseIsRefusedWithAReasonAndHelpIsOffered)
{
    const QStringList bad[] = {{"--sensors", "3"},
                               {"--type1", "TWO WORDS"},
                               {"--time-scale", "0"},
                               {"--drift-ppm", "x"},
                               {"--stem", "a/b"},
                               {"--frobnicate"},
                               {"extra"}};
    for (const QStringList& args : bad) {
        const ParsedOptions p = parse(args);
        EXPECT_FALSE(p.options) << args.join(u' ').toStdString();
        EXPECT_FALSE(p.help);
        EXPECT_FALSE(p.message.isEmpty());
    }
    const ParsedOptions help = parse({"--help"});
    EXPECT_TRUE(help.help);
    for (const char* word :
         {"--stem", "--in-use", "--silent", "--drift-ppm", "--time-scale", "remove", "unplug"})
        EXPECT_TRUE(help.message.contains(QLatin1String(word))) << word;
}
