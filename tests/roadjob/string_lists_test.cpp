#include "roadjob/string_lists.h"

#include <gtest/gtest.h>

#include "roadjob/connecting_node_index.h"

namespace itn {
namespace {

TEST(StringListTest, FirstAdditionWinsIgnoringCase) {
    auto list = NewHashedList<int32_t>();
    EXPECT_TRUE(list->Add("Buses", 1));
    EXPECT_FALSE(list->Add("buses", 2));
    EXPECT_FALSE(list->Add("BUSES", 3));
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Key(0), "Buses");
    EXPECT_EQ(*list->Find("bUsEs"), 1);
    EXPECT_EQ(list->Find("Coaches"), nullptr);
}

TEST(StringListTest, OrderIsAscendingIgnoringCaseAndSurvivesGrowth) {
    auto list = NewSortedList<int32_t>();
    const char* names[] = {"coaches", "Buses", "Motor Vehicles", "access", "Motorcycles", "Deliveries"};
    for (const char* name : names) list->Add(name, 0);
    std::vector<std::string> ordered;
    for (int32_t i : list->Order()) ordered.emplace_back(list->Key(i));
    EXPECT_EQ(ordered, (std::vector<std::string>{"access", "Buses", "coaches", "Deliveries", "Motor Vehicles",
                                                 "Motorcycles"}));
    // Many keys: every one stays findable through the rehashes.
    for (int i = 0; i < 5000; ++i) list->Add("4000000" + std::to_string(1000000000 + i), i);
    for (int i = 0; i < 5000; i += 97) EXPECT_EQ(*list->Find("4000000" + std::to_string(1000000000 + i)), i);
    EXPECT_EQ(list->Order().size(), 5006u);
}

TEST(StringListTest, PlainListGivesFirstPositionAndLongestLength) {
    TPlainList names;
    EXPECT_EQ(names.IndexOfOrAdd("High Street"), 0);
    EXPECT_EQ(names.IndexOfOrAdd("Mill Lane"), 1);
    EXPECT_EQ(names.IndexOfOrAdd("HIGH STREET"), 0);
    EXPECT_EQ(names[0], "High Street");
    EXPECT_EQ(names.Count(), 2);
    EXPECT_EQ(names.IndexOf("mill lane"), 1);
    EXPECT_EQ(names.IndexOf("Church Road"), -1);
    names.Add("Rue de l\xC3\xA9glise");  // 14 characters, 15 bytes
    EXPECT_EQ(names.LongestLength(), 14);
    EXPECT_EQ(TPlainList().LongestLength(), 0);
}

TEST(ConnectingNodeIndexTest, FindsEveryNodeOfALinkInAdditionOrder) {
    TConnectingNodeIndex index;
    index.Add("0002", 0);
    index.Add("0001", 1);
    index.Add("0002", 2);
    index.Add("0003", 3);
    index.Add("0002", 4);
    index.Sort();
    EXPECT_EQ(index.NodesOn("0002"), (std::vector<int32_t>{0, 2, 4}));
    EXPECT_EQ(index.NodesOn("0001"), (std::vector<int32_t>{1}));
    EXPECT_TRUE(index.NodesOn("0009").empty());
    EXPECT_EQ(index.MostNodesOnOneLink(), 3);
}

}  // namespace
}  // namespace itn
