#include "platform/Handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> closed;

struct FakeClose {
    void operator()(int h) const { closed.push_back(h); }
};

using FakeHandle = platform::Unique<int, FakeClose, 0>;

class UniqueTest : public testing::Test {
protected:
    void SetUp() override { closed.clear(); }
};

TEST_F(UniqueTest, ClosesOnceWhenItGoesOutOfScope) {
    { FakeHandle h(7); }
    EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueTest, MoveTransfersOwnershipWithoutClosing) {
    FakeHandle a(3);
    FakeHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_TRUE(closed.empty());
    FakeHandle c(5);
    c = std::move(b);  // c's own handle closes, b's moves over
    EXPECT_EQ(closed, std::vector<int>{5});
    c.reset();
    EXPECT_EQ(closed, (std::vector<int>{5, 3}));
    c.reset();
    EXPECT_EQ(closed.size(), 2u);
}

TEST_F(UniqueTest, ReleaseGivesUpWithoutClosing) {
    FakeHandle h(9);
    EXPECT_EQ(h.release(), 9);
    EXPECT_FALSE(h);
    EXPECT_TRUE(closed.empty());
}

}  // namespace
