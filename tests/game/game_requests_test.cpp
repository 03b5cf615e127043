#include "game/game_requests.h"

#include <gtest/gtest.h>

#include <string>

namespace corsavel {
namespace {

class GameRequestsTest : public ::testing::Test {
protected:
    void SetUp() override { clearRequests(); }
    void TearDown() override { clearRequests(); }
};

TEST_F(GameRequestsTest, TakenInTheOrderPosted) {
    requestPage("levelcomplete");
    requestNumber(GameRequestKind::QueueBackground, 3);
    requestPlain(GameRequestKind::NextLevel);
    GameRequest r;
    ASSERT_TRUE(takeRequest(&r));
    EXPECT_EQ(r.kind, GameRequestKind::OpenPage);
    EXPECT_STREQ(r.text, "levelcomplete");
    ASSERT_TRUE(takeRequest(&r));
    EXPECT_EQ(r.kind, GameRequestKind::QueueBackground);
    EXPECT_EQ(r.number, 3);
    ASSERT_TRUE(takeRequest(&r));
    EXPECT_EQ(r.kind, GameRequestKind::NextLevel);
    EXPECT_FALSE(takeRequest(&r));
}

TEST_F(GameRequestsTest, PageNamesAreCutToTheirField) {
    requestPage("a-page-name-far-longer-than-the-field");
    GameRequest r;
    ASSERT_TRUE(takeRequest(&r));
    EXPECT_EQ(std::string(r.text).size(), static_cast<size_t>(kPageNameSize - 1));
}

// A caller that never drains (the bot) loses the oldest requests, never
// memory beyond the ring.
TEST_F(GameRequestsTest, FullRingOverwritesItsOldestRequest) {
    for (int i = 0; i < kGameRequestCapacity + 5; ++i) {
        requestNumber(GameRequestKind::LoadBackground, i);
    }
    EXPECT_EQ(gameRequests.count, kGameRequestCapacity);
    EXPECT_EQ(gameRequests.dropped, 5);
    GameRequest r;
    ASSERT_TRUE(takeRequest(&r));
    EXPECT_EQ(r.number, 5);
    int last = r.number;
    while (takeRequest(&r)) {
        EXPECT_EQ(r.number, last + 1);
        last = r.number;
    }
    EXPECT_EQ(last, kGameRequestCapacity + 4);
}

}  // namespace
}  // namespace corsavel
