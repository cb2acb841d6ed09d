#include "core/base/NamedChain.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PlainNode {
    std::string name;
    PlainNode* next = nullptr;
    PlainNode* previous = nullptr;
    void* value = nullptr;
};

struct NodeWithDeleter {
    std::string name;
    NodeWithDeleter* next = nullptr;
    NodeWithDeleter* previous = nullptr;
    void* value = nullptr;
    ValueDeleter deleter = nullptr;
};

std::string Names(const NamedChain<PlainNode>& chain) {
    std::string names;
    for (PlainNode* node = chain.Head(); node; node = node->next) names += node->name;
    return names;
}

TEST(NamedChain, RemovalByAPredicateTakesTheHeadThenTheTailThenTheFirstInnerMatch) {
    int tags[5] = {0, 1, 2, 3, 4};
    struct Case {
        const char* names;  // one letter a node, tagged 0.. in order
        char wanted;
        int taken;  // the tag of the node taken; -1: none
    };
    const Case cases[] = {
        {"abcba", 'a', 0}, {"xbcba", 'a', 4}, {"xbcbx", 'b', 1}, {"xbcbx", 'q', -1}, {"", 'a', -1}, {"a", 'a', 0},
    };
    for (const Case& c : cases) {
        NamedChain<PlainNode> chain;
        for (int i = 0; c.names[i]; ++i) chain.Insert(std::string(1, c.names[i]).c_str(), &tags[i], false);
        PlainNode* node = chain.FindForRemovalIf([&](const PlainNode& n) { return n.name[0] == c.wanted; });
        EXPECT_EQ(node ? *static_cast<int*>(node->value) : -1, c.taken) << c.names << " " << c.wanted;
        chain.Clear();
    }
}

TEST(NamedChain, ReleasesOwnedValuesWithTheNodesDeleterElseTheDefault) {
    static int byNode = 0;
    static int byDefault = 0;
    byNode = byDefault = 0;
    int a = 0, b = 0, c = 0;
    NamedChain<NodeWithDeleter> chain;
    chain.SetOwnsValues(true);
    chain.SetDefaultDeleter([](void*) { ++byDefault; });
    chain.Insert("a", &a, false)->deleter = [](void*) { ++byNode; };
    chain.Insert("b", &b, false);
    chain.Insert("c", &c, true);
    EXPECT_EQ(chain.Remove(chain.Find("a")), nullptr);
    EXPECT_EQ(chain.Count(), 2);
    chain.Clear();
    EXPECT_EQ(byNode, 1);
    EXPECT_EQ(byDefault, 2);
    EXPECT_EQ(chain.Head(), nullptr);
    EXPECT_EQ(chain.Tail(), nullptr);

    NamedChain<PlainNode> borrowed;
    borrowed.Insert("x", &a, false);
    borrowed.Insert("y", &b, true);
    EXPECT_EQ(Names(borrowed), "yx");
    EXPECT_EQ(borrowed.Remove(borrowed.Find("x")), &a);
    EXPECT_EQ(borrowed.Insert(nullptr, &c, false), nullptr);
    EXPECT_EQ(Names(borrowed), "y");
}

}  // namespace
