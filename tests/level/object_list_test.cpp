#include "level/object_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "level/records.h"

namespace {

std::shared_ptr<TBonus> coin(float x) {
  auto c = std::make_shared<TBonus>();
  c->_x = x;
  return c;
}

std::shared_ptr<TCloud> cloud(float x) {
  auto c = std::make_shared<TCloud>();
  c->_x = x;
  return c;
}

std::vector<float> coins_in(TList& list) {
  std::vector<float> xs;
  list.each<TBonus>([&](TBonus& c) { xs.push_back(c._x); });
  return xs;
}

}  // namespace

TEST(ObjectList, WalksOneKindInInsertionOrderSkippingTheOthers) {
  TList list;
  list.add_last(coin(1));
  list.add_last(cloud(100));
  list.add_last(coin(2));
  list.add_last(cloud(200));
  list.add_last(coin(3));
  EXPECT_EQ(coins_in(list), (std::vector<float>{1, 2, 3}));
  std::vector<float> clouds;
  list.each<TCloud>([&](TCloud& c) { clouds.push_back(c._x); });
  EXPECT_EQ(clouds, (std::vector<float>{100, 200}));
  EXPECT_EQ(list.count(), 5u);
}

TEST(ObjectList, RemovesByIdentityAndIgnoresWhatIsAbsent) {
  TList list;
  auto a = coin(1), b = coin(1), stranger = coin(1);
  list.add_last(a);
  list.add_last(b);
  list.remove(stranger.get());
  list.remove(nullptr);
  EXPECT_EQ(list.count(), 2u);
  list.remove(a.get());
  EXPECT_FALSE(list.contains(a.get()));
  EXPECT_TRUE(list.contains(b.get()));
  list.remove(a.get());  // twice: nothing more happens
  EXPECT_EQ(list.count(), 1u);
}

TEST(ObjectList, AWalkSurvivesRemovingTheVisitedElementAndSkipsOnesRemovedAhead) {
  TList list;
  auto a = coin(1), b = coin(2), c = coin(3), d = coin(4);
  for (const auto& x : {a, b, c, d}) list.add_last(x);
  a.reset();  // the list holds the only reference
  std::vector<float> seen;
  list.each<TBonus>([&](TBonus& x) {
    seen.push_back(x._x);
    if (x._x == 1) {
      list.remove(&x);
      x._frame = 0.5f;  // still alive after its removal, for the rest of its visit
      list.remove(c.get());
    }
  });
  EXPECT_EQ(seen, (std::vector<float>{1, 2, 4}));
  EXPECT_EQ(coins_in(list), (std::vector<float>{2, 4}));
  EXPECT_EQ(list.count(), 2u);
}

TEST(ObjectList, ElementsAppendedDuringAWalkAreVisitedByIt) {
  TList list;
  list.add_last(coin(1));
  std::vector<float> seen;
  list.each<TBonus>([&](TBonus& x) {
    seen.push_back(x._x);
    if (x._x < 3) list.add_last(coin(x._x + 1));
  });
  EXPECT_EQ(seen, (std::vector<float>{1, 2, 3}));
}

TEST(ObjectList, NestedWalksRemovingEachOtherEndWithACompactList) {
  TList list;
  for (float x : {1.0f, 2.0f, 3.0f}) list.add_last(coin(x));
  list.add_last(cloud(9));
  int inner_visits = 0;
  list.each<TBonus>([&](TBonus& outer) {
    list.each<TCloud>([&](TCloud& c) {
      ++inner_visits;
      list.remove(&c);
    });
    if (outer._x == 2) list.remove(&outer);
  });
  EXPECT_EQ(inner_visits, 1);
  EXPECT_EQ(coins_in(list), (std::vector<float>{1, 3}));
  EXPECT_EQ(list.count(), 2u);
}

TEST(ObjectList, AVisitThatReturnsFalseEndsTheWalk) {
  TList list;
  for (float x : {1.0f, 2.0f, 3.0f}) list.add_last(coin(x));
  std::vector<float> seen;
  list.each<TBonus>([&](TBonus& x) {
    seen.push_back(x._x);
    return x._x < 2;
  });
  EXPECT_EQ(seen, (std::vector<float>{1, 2}));
}

TEST(ObjectList, AGameWalkEndsWhenTheLevelIsRebuiltButKeepsTheOldListAlive) {
  TGame game;
  game._object_list = std::make_shared<TList>();
  for (float x : {1.0f, 2.0f, 3.0f}) game._object_list->add_last(coin(x));
  std::weak_ptr<TList> old = game._object_list;
  std::vector<float> seen;
  game.each_object<TBonus>([&](TBonus& c) {
    seen.push_back(c._x);
    if (c._x == 2) {
      game._object_list = std::make_shared<TList>();  // what a rebuilt level does
      game._object_list->add_last(coin(7));
      EXPECT_FALSE(old.expired());
      c._frame = 1;  // the visited object is still there
    }
  });
  EXPECT_EQ(seen, (std::vector<float>{1, 2}));
  EXPECT_TRUE(old.expired());
  EXPECT_EQ(coins_in(*game._object_list), (std::vector<float>{7}));
}

TEST(ObjectList, TheRevisionMovesWithEveryAppendAndRemovalAndWithNothingElse) {
  TList list;
  auto a = coin(1), stranger = coin(2);
  const std::uint64_t start = list.revision();
  list.add_last(a);
  const std::uint64_t after_append = list.revision();
  EXPECT_NE(after_append, start);
  list.add_last(nullptr);
  list.remove(stranger.get());
  list.each<TBonus>([](TBonus&) {});
  EXPECT_EQ(list.revision(), after_append);
  list.each<TBonus>([&](TBonus& x) { list.remove(&x); });  // removed during a walk
  EXPECT_NE(list.revision(), after_append);
  EXPECT_EQ(list.count(), 0u);
}
