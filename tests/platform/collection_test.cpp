#include "platform/collection.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orv {
namespace {

TEST(Collection, NewIsEmptyAndPositionOneFails) {
  Collection<int> c;
  EXPECT_EQ(c.Count(), 0);
  EXPECT_THROW(c.Item(1), Error);
}

TEST(Collection, PositionsCountFromOneInOrderOfAddition) {
  Collection<std::string> c;
  c.Add("A");
  c.Add("B");
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Item(1), "A");
  EXPECT_EQ(c.Item(2), "B");
}

TEST(Collection, PositionsOutsideOneToCountFailWithOutOfRange) {
  Collection<int> c;
  c.Add(7);
  c.Add(8);
  for (std::int32_t position : {0, -1, 3, INT32_MIN, INT32_MAX}) {
    try {
      c.Item(position);
      ADD_FAILURE() << "position " << position << " did not fail";
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), ErrorCode::OutOfRange) << position;
    }
    EXPECT_THROW(c.Remove(position), Error) << position;
  }
  EXPECT_EQ(c.Count(), 2);
}

TEST(Collection, RemoveClosesTheGap) {
  Collection<std::string> c;
  for (const char* s : {"A", "B", "C"}) c.Add(s);
  c.Remove(1);
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Item(1), "B");
  EXPECT_EQ(c.Item(2), "C");
  c.Remove(2);
  EXPECT_EQ(c.Count(), 1);
  EXPECT_EQ(c.Item(1), "B");
}

TEST(Collection, KeysFindAndRemoveTheirEntryAndMissingKeysFail) {
  Collection<int> c;
  c.Add(1, "one");
  c.Add(2);
  c.Add(3, "three");
  EXPECT_EQ(c.Item("three"), 3);
  EXPECT_THROW(c.Item("two"), Error);
  EXPECT_THROW(c.Add(4, "one"), Error);
  c.Remove("one");
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Item(1), 2);
  EXPECT_THROW(c.Remove("one"), Error);
}

TEST(Collection, IterationVisitsPositionOrder) {
  Collection<int> c;
  for (int v : {5, 3, 9}) c.Add(v);
  std::vector<int> seen(c.begin(), c.end());
  EXPECT_EQ(seen, (std::vector<int>{5, 3, 9}));
}

TEST(Collection, SharedEntriesOutliveRemoval) {
  Collection<std::shared_ptr<int>> c;
  c.Add(std::make_shared<int>(42));
  std::shared_ptr<int> kept = c.Item(1);
  c.Remove(1);
  ASSERT_TRUE(kept);
  EXPECT_EQ(*kept, 42);
}

TEST(Attempt, ContainsOnlyTheProgramsErrorType) {
  EXPECT_TRUE(Attempt([] {}));
  EXPECT_FALSE(Attempt([] { throw Error(ErrorCode::Overflow, "overflow"); }));
  EXPECT_THROW(Attempt([] { throw std::logic_error("fault"); }), std::logic_error);
}

}  // namespace
}  // namespace orv
