#include "tags/mb_collection.h"

#include <gtest/gtest.h>

#include "harness/fakes.h"
#include "protocol/line.h"

namespace dornvel::testing {
namespace {

class MBCollectionTest : public ::testing::Test {
 protected:
  void AddWindowTags() {
    tags.Add(1, InputRegisters, 0, FloatType, &line, 0, "nolu");
    tags.Add(1, InputRegisters, 2, IntegerType, &line, 0, "switch");
    tags.Add(1, HoldingRegisters, 0, IntegerType, &line, 0, "slaveid");
    tags.Add(1, HoldingRegisters, 1, IntegerType, &line, 0, "boudrate");
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (MBData& tag : tags) names.push_back(tag.TagName);
    return names;
  }

  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  Line line{port};
  MBCollection tags{ProtocolServices{pump, clock}};
};

TEST_F(MBCollectionTest, finds_tags_by_key_in_any_case_and_by_position) {
  AddWindowTags();
  EXPECT_EQ(tags.Count(), 4);
  EXPECT_EQ(&tags.Item("switch"), &tags.Item(2));
  EXPECT_EQ(&tags.Item("SWITCH"), &tags.Item(2));
  EXPECT_EQ(tags.Item("boudrate").RegAddress, 1);
  EXPECT_EQ(tags.Item(1).Parent, &tags);
  EXPECT_EQ(Names(), (std::vector<std::string>{"nolu", "switch", "slaveid", "boudrate"}));
}

TEST_F(MBCollectionTest, refuses_a_duplicate_key_and_keeps_the_first_tag) {
  AddWindowTags();
  MBData* first = &tags.Item("switch");
  EXPECT_EQ(tags.Add(9, HoldingRegisters, 5, IntegerType, &line, 0, "Switch"), nullptr);
  EXPECT_EQ(tags.Count(), 4);
  EXPECT_EQ(&tags.Item("switch"), first);
  EXPECT_EQ(first->Slave, 1);
}

TEST_F(MBCollectionTest, refuses_definitions_that_init_refuses) {
  EXPECT_EQ(tags.Add(1, HoldingRegisters, 9999, IntegerType, &line, 0, "far"), nullptr);
  EXPECT_EQ(tags.Add(1, 2, 0, IntegerType, &line, 0, "class2"), nullptr);
  EXPECT_EQ(tags.Count(), 0);
  EXPECT_THROW(tags.Item("far"), NoSuchTag);
}

TEST_F(MBCollectionTest, keeps_a_tag_without_a_key_reachable_by_position_and_walk) {
  AddWindowTags();
  MBData* unnamed = tags.Add(1, Coils, 3, BitType, &line, 0, "");
  ASSERT_NE(unnamed, nullptr);
  EXPECT_EQ(tags.Count(), 5);
  EXPECT_EQ(&tags.Item(5), unnamed);
  EXPECT_EQ(unnamed->TagName, "");
  EXPECT_EQ(Names().back(), "");
  EXPECT_NE(tags.Add(1, Coils, 4, BitType, &line, 0, ""), nullptr) << "several tags may have no key";
}

TEST_F(MBCollectionTest, raises_for_missing_keys_and_positions_without_changing) {
  AddWindowTags();
  for (const MBCollection::IndexOrKey& missing : {MBCollection::IndexOrKey("pump"), MBCollection::IndexOrKey(0),
                                                  MBCollection::IndexOrKey(5), MBCollection::IndexOrKey(-1)}) {
    EXPECT_THROW(tags.Item(missing), NoSuchTag);
    EXPECT_THROW(tags.Remove(missing), NoSuchTag);
  }
  EXPECT_EQ(tags.Count(), 4);
}

TEST_F(MBCollectionTest, removing_closes_the_gap) {
  AddWindowTags();
  MBData* second = &tags.Item(2);
  tags.Remove(1);
  EXPECT_EQ(&tags.Item(1), second);
  tags.Remove("BOUDRATE");
  EXPECT_EQ(Names(), (std::vector<std::string>{"switch", "slaveid"}));
}

}  // namespace
}  // namespace dornvel::testing
