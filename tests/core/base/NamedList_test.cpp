#include "core/base/NamedList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

int g_values[8];
void* V(int i) { return &g_values[i]; }

// One node per letter, named by the letter, holding V(position).
void Fill(NamedList& list, const std::string& letters) {
    for (char letter : letters) list.Add(std::string(1, letter), V(list.GetCount()));
}

std::string Names(const NamedList& list) {
    std::string names;
    for (NamedList::Node* node = list.GetHead(); node; node = node->next) names += node->name;
    return names;
}

std::vector<void*> g_released;
void Record(void* value) { g_released.push_back(value); }
std::vector<void*> g_special;
void RecordSpecial(void* value) { g_special.push_back(value); }

}  // namespace

TEST(NamedList, RemovalOrderIndicesAndNullNames) {
    NamedList list;
    Fill(list, "ABA");
    EXPECT_EQ(list.Remove("A"), V(0));  // the head wins
    EXPECT_EQ(Names(list), "BA");
    NamedList tailFirst;
    Fill(tailFirst, "BAA");
    EXPECT_EQ(tailFirst.Remove("A"), V(2));  // then the tail, not the inner match
    NamedList inner;
    Fill(inner, "ABCBD");
    EXPECT_EQ(inner.Remove("B"), V(1));
    EXPECT_EQ(inner.Remove("a"), nullptr);  // case-sensitive
    EXPECT_EQ(Names(inner), "ACBD");

    EXPECT_EQ(inner.ReplaceValue("missing", V(7)), nullptr);
    EXPECT_EQ(inner.ReplaceValue("B", V(7)), V(3));
    EXPECT_EQ(inner.GetCount(), 4);
    EXPECT_EQ(inner.RemoveAt(4), nullptr);
    EXPECT_EQ(inner.RemoveAt(3), V(4));  // count - 1 is the tail
    EXPECT_EQ(inner.GetTail()->next, nullptr);
    EXPECT_EQ(inner.RemoveAt(0), V(0));
    EXPECT_EQ(inner.GetHead()->previous, nullptr);

    EXPECT_EQ(inner.Add(nullptr, V(5)), nullptr);
    EXPECT_EQ(inner.AddToFrontWithDeleter(nullptr, V(5), &Record), nullptr);
    EXPECT_EQ(inner.Remove(nullptr), nullptr);
    EXPECT_EQ(Names(inner), "CB");
    inner.RemoveFirst();
    inner.RemoveLast();
    EXPECT_EQ(inner.GetHead(), nullptr);
    EXPECT_EQ(inner.GetTail(), nullptr);
}

TEST(NamedList, OwningListReleasesThroughDeleters) {
    g_released.clear();
    void* special = std::malloc(4);
    {
        NamedList list(true);
        list.SetDefaultDeleter(&Record);
        list.Add("a", V(0));
        list.AddWithDeleter("b", special, &RecordSpecial);
        list.AddToFront("c", V(1));
        EXPECT_EQ(list.Remove("b"), nullptr);
        EXPECT_EQ(g_special, (std::vector<void*>{special}));
        EXPECT_EQ(list.RemoveFirst(), nullptr);
        EXPECT_EQ(g_released, (std::vector<void*>{V(1)}));
        list.Clear();
        EXPECT_EQ(g_released.size(), 2u);
        list.Add("f", V(4));
        list.Add("g", nullptr);  // a null value is never passed to a deleter
    }                            // destroying the list releases what is left
    EXPECT_EQ(g_released.size(), 3u);
    std::free(special);

    // Without ownership the value comes back and nothing is released.
    NamedList plain;
    plain.AddWithDeleter("x", V(0), &Record);
    EXPECT_EQ(plain.Remove("x"), V(0));
    EXPECT_EQ(g_released.size(), 3u);

    NamedList freeing;  // released with std::free (seen by the leak checker)
    freeing.Init(4, true);
    freeing.Add("m", std::malloc(16));
    freeing.Add("n", std::malloc(16));
    EXPECT_EQ(freeing.RemoveLast(), nullptr);
}

TEST(NamedList, RemovingDuringAFlatWalk) {
    NamedList list;
    Fill(list, "01234");
    std::vector<void*> seen;
    for (void* value = list.First(); value; value = list.Next()) {
        seen.push_back(value);
        if (value != V(1) && value != V(3)) list.RemoveAtCursor();
    }
    EXPECT_EQ(seen, (std::vector<void*>{V(0), V(1), V(2), V(3), V(4)}));
    EXPECT_EQ(Names(list), "13");
    for (void* value = list.First(); value; value = list.Next()) list.RemoveAtCursor();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.RemoveAtCursor(), nullptr);

    // Other removals of the node under the cursor behave the same way.
    Fill(list, "0123");
    list.First();
    list.Next();
    EXPECT_EQ(list.Remove("1"), V(1));
    EXPECT_EQ(list.Next(), V(2));
    list.RemoveFirst();  // not under the cursor: it stays put
    EXPECT_EQ(list.CursorName(), std::string("2"));
    list.RemoveFirst();  // under the cursor, at the head
    EXPECT_EQ(list.Next(), V(3));
    list.RemoveLast();  // the tail under the cursor: the walk ends
    EXPECT_EQ(list.Next(), nullptr);
    EXPECT_FALSE(list.CursorNext());
}

TEST(NamedList, NestedWalksWithSavedCursors) {
    NamedList list;
    EXPECT_EQ(list.PushIterator(), nullptr);
    EXPECT_EQ(list.GetIteratorDepth(), 0);
    Fill(list, "012");
    std::string pairs;
    list.First();
    for (void* outer = list.PushIterator(); outer; outer = list.IteratorNextOrPop()) {
        std::string outerName = list.IteratorName();
        for (void* inner = list.PushIterator(); inner; inner = list.IteratorNextOrPop())
            pairs += outerName + list.IteratorName() + " ";
    }
    EXPECT_EQ(pairs, "00 01 02 10 11 12 20 21 22 ");
    EXPECT_EQ(list.GetIteratorDepth(), 0);
    EXPECT_EQ(list.CursorValue(), V(0));  // the single cursor was left alone

    // The inner walk removes the outer walk's current node and the node
    // under the single cursor; both walks carry on with the followers.
    Fill(list, "34");
    std::vector<void*> outerSeen;
    list.First();
    list.Next();
    for (void* outer = list.PushIterator(); outer; outer = list.IteratorNextOrPop()) {
        outerSeen.push_back(outer);
        if (outer != V(1)) continue;
        for (void* inner = list.PushIterator(); inner; inner = list.IteratorNextOrPop())
            if (inner == V(1) || inner == V(0)) list.RemoveValue(inner);
    }
    EXPECT_EQ(outerSeen, (std::vector<void*>{V(0), V(1), V(2), V(3), V(4)}));
    EXPECT_EQ(Names(list), "234");
    EXPECT_EQ(list.Next(), V(2));

    // Clear in the middle of both kinds of walk leaves no dangling cursor.
    list.PushIterator();
    list.IteratorNext();
    list.Clear();
    EXPECT_EQ(list.CursorValue(), nullptr);
    EXPECT_EQ(list.RemoveAtCursor(), nullptr);
    EXPECT_EQ(list.IteratorNextOrPop(), nullptr);  // the nested loop ends and pops
    EXPECT_EQ(list.GetIteratorDepth(), 0);
    list.Add("again", V(5));
    EXPECT_EQ(list.Next(), nullptr);  // a cleared walk does not resume
    EXPECT_EQ(list.First(), V(5));
}
