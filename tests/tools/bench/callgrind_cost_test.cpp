// Summing one object's self cost from callgrind output: name compression, call lines whose cost
// is inclusive and must not count, and the cross-check against the file's totals.
#include "callgrind_cost.h"

#include <gtest/gtest.h>

namespace {

const char* const sample = "# callgrind format\n"
                           "version: 1\n"
                           "creator: callgrind-3.19.0\n"
                           "cmd: ./lumarq-bench --callgrind\n"
                           "positions: line\n"
                           "events: Ir\n"
                           "summary: 1620\n"
                           "\n"
                           "ob=(1) /home/x/build/run/lumarq-bench\n"
                           "fl=(1) scene.cpp\n"
                           "fn=(1) Scene::render()\n"
                           "10 100\n"
                           "+2 50\n"
                           "cob=(2) /usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0\n"
                           "cfl=(2) ???\n"
                           "cfn=(2) glDrawArrays\n"
                           "calls=3 0\n"
                           "* 1000\n"
                           "-1 7\n"
                           "\n"
                           "ob=(2)\n"
                           "fl=(2)\n"
                           "fn=(2)\n"
                           "0 1000\n"
                           "\n"
                           "ob=(1)\n"
                           "fl=(3) renderer.cpp\n"
                           "fn=(3) Renderer::drawShaded(SceneObject)\n"
                           "5 300\n"
                           "fl=(1)\n"
                           "fn=(5) Scene::animate(double)\n"
                           "3 10\n"
                           "ob=(3) /home/x/build/run/lumarq-bench-old\n"
                           "fl=(4) other.cpp\n"
                           "fn=(4) notOurs\n"
                           "1 153\n"
                           "totals: 1620\n";

}  // namespace

TEST(CallgrindCost, SumsSelfCostOfTheObjectOnly)
{
    const CallgrindCost cost = callgrindObjectCost(sample, "lumarq-bench");
    ASSERT_TRUE(cost.ok) << cost.error;
    // 100 + 50 + 7 + 300 + 10: the 1000 after calls= is the callee's inclusive cost.
    EXPECT_EQ(cost.objectSelf, 467u);
    EXPECT_EQ(cost.allSelf, 1620u);
    EXPECT_EQ(cost.totals, 1620u);
}

TEST(CallgrindCost, MatchesByFullPathOrFileName)
{
    EXPECT_EQ(callgrindObjectCost(sample, "/home/x/build/run/lumarq-bench").objectSelf, 467u);
    EXPECT_EQ(callgrindObjectCost(sample, "lumarq-bench-old").objectSelf, 153u);
    EXPECT_EQ(callgrindObjectCost(sample, "bench").objectSelf, 0u);
}

TEST(CallgrindCost, LeavesOutFunctionsOfExcludedSourceFiles)
{
    const CallgrindCost cost = callgrindObjectCost(sample, "lumarq-bench", {"src/renderer.cpp", "renderer.cpp"});
    ASSERT_TRUE(cost.ok) << cost.error;
    EXPECT_EQ(cost.objectSelf, 167u);
    EXPECT_EQ(cost.excludedSelf, 300u);
    // A file given by id only ("fl=(1)") is still known by the name it was given first.
    const CallgrindCost byId = callgrindObjectCost(sample, "lumarq-bench", {"scene.cpp"});
    EXPECT_EQ(byId.objectSelf, 300u);
    EXPECT_EQ(byId.excludedSelf, 167u);
}

TEST(CallgrindCost, TakesTheIrColumnAmongSeveralEvents)
{
    const char* const text = "positions: instr line\n"
                             "events: Dr Ir\n"
                             "ob=(1) /run/lumarq-bench\n"
                             "fn=(1) f\n"
                             "0x10 3 9 40\n"
                             "+4 * 1 2\n"
                             "totals: 10 42\n";
    const CallgrindCost cost = callgrindObjectCost(text, "lumarq-bench");
    ASSERT_TRUE(cost.ok) << cost.error;
    EXPECT_EQ(cost.objectSelf, 42u);
}

TEST(CallgrindCost, RefusesFilesThatDoNotAddUp)
{
    std::string broken = sample;
    broken.replace(broken.find("totals: 1620"), 12, "totals: 1621");
    const CallgrindCost cost = callgrindObjectCost(broken, "lumarq-bench");
    EXPECT_FALSE(cost.ok);
    EXPECT_NE(cost.error.find("1620"), std::string::npos);
    EXPECT_FALSE(callgrindObjectCost("hello\n", "lumarq-bench").ok);
    EXPECT_FALSE(callgrindObjectCostOfFile("/nonexistent/callgrind.out", "lumarq-bench").ok);
}
