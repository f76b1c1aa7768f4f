#include <gtest/gtest.h>
#include <vector>
#include "toolkit_support.h"
#include "toolkit/events.h"

namespace {

struct Post {
    int32_t code;
    int64_t control;
    int64_t subtype;
    int32_t flags;
};

class EventQueueTest : public testing::Test {
protected:
    void SetUp() override { drain(); }
    void TearDown() override { drain(); }
    static void post_all(const std::vector<Post>& posts) {
        for (const Post& post : posts) {
            event_post(post.code, post.control, 1, post.subtype, nullptr, nullptr, post.flags);
        }
    }
};

TEST_F(EventQueueTest, IdenticalTailIsCoalescedBelow65536Only) {
    post_all({{13100, 5, 0, 0}, {13100, 5, 0, 0},     // same as tail: one event
              {13100, 5, 0x300, 0},                    // other subtype: queued
              {13100, 6, 0x300, 0},                    // other control: queued
              {13100, 5, 0x300, 0},                    // not the tail any more: queued
              {70000, 1, 0, 0}, {70000, 1, 0, 0},      // high codes: never coalesced
              {13118, 0, 0, POST_DEFERRED}, {13118, 0, 0, POST_DEFERRED}});
    std::vector<QueuedEvent> expected = {{13100, 5, 0},     {13100, 5, 0x300},
                                         {13100, 6, 0x300}, {13100, 5, 0x300},
                                         {70000, 1, 0},     {70000, 1, 0},
                                         {13118, 0, 0},     {13118, 0, 0}};
    EXPECT_EQ(drain(), expected);
}

TEST_F(EventQueueTest, SuppressionDropsAllButForcedPosts) {
    events_suppress();
    events_suppress();
    post_all({{13100, 7, 0, 0}, {13100, 8, 0, POST_FORCED}});
    events_resume();
    post_all({{13100, 9, 0, 0}});
    events_resume();
    post_all({{13100, 10, 0, 0}});
    std::vector<QueuedEvent> expected = {{13100, 8, 0}, {13100, 10, 0}};
    EXPECT_EQ(drain(), expected);
}

TEST_F(EventQueueTest, PurgeRemovesMatchesAndKeepsTheOrderOfTheRest) {
    post_all({{13100, 1, 0, 0}, {13100, 2, 0, 0}, {13100, 1, 0x300, 0}, {13117, 1, 0, 0},
              {13100, 3, 0, 0}, {13100, 1, 0x400, 0}});
    event_purge(13100, 1, -1, -1);
    post_all({{13100, 4, 0, 0}});   // the tail was repaired: appending still works
    std::vector<QueuedEvent> expected = {
        {13100, 2, 0}, {13117, 1, 0}, {13100, 3, 0}, {13100, 4, 0}};
    EXPECT_EQ(drain(), expected);
}

int g_releases;
void count_release(void* data) {
    g_releases++;
    *static_cast<int*>(data) += 1;
}

TEST_F(EventQueueTest, DataIsReleasedOnceAtTheNextFetch) {
    int payload = 0;
    g_releases = 0;
    event_post(13100, 1, 1, 0, &payload, count_release);
    event_post(13100, 2, 1, 0);
    EXPECT_EQ(event_fetch(), 13100);
    EXPECT_EQ(g_releases, 0);
    EXPECT_EQ(event_fetch(), 13100);
    EXPECT_EQ(g_releases, 1);
    EXPECT_EQ(event_fetch(), 0);
    EXPECT_EQ(g_releases, 1);
    EXPECT_EQ(payload, 1);
}

TEST_F(EventQueueTest, PayloadsThatAreNeverQueuedAreGivenBack) {
    int payload = 0;
    g_releases = 0;
    events_suppress();
    event_post(13100, 1, 1, 0, &payload, count_release);   // dropped
    events_resume();
    event_post(13100, 2, 1, 0);
    event_post(13100, 2, 1, 0, &payload, count_release);   // coalesced into the tail
    event_post(13100, 3, 1, 0, &payload, count_release);
    event_purge(13100, 3, -1, -1);                         // purged
    EXPECT_EQ(g_releases, 3);
    drain();
    EXPECT_EQ(g_releases, 3);
}

TEST_F(EventQueueTest, EmptyFetchClearsCodeAndSubtypeButKeepsControl) {
    event_post(13100, 42, 1, 0x300);
    ASSERT_EQ(event_fetch(), 13100);
    EXPECT_EQ(event_subtype(), 0x300);
    EXPECT_EQ(event_fetch(), 0);
    EXPECT_EQ(event_code(), 0);
    EXPECT_EQ(event_subtype(), -1);
    EXPECT_EQ(event_control(), 42);
}

}  // namespace
