#include "core/base/DisjointSets.h"

#include <climits>
#include <cstddef>
#include <utility>

DisjointSets::DisjointSets(int count) { AddElements(count); }

DisjointSets::DisjointSets(DisjointSets&& other) noexcept
    : m_numElements(std::exchange(other.m_numElements, 0)),
      m_numSets(std::exchange(other.m_numSets, 0)),
      m_nodes(std::move(other.m_nodes)) {
    other.m_nodes.clear();
}

DisjointSets& DisjointSets::operator=(DisjointSets&& other) noexcept {
    if (this != &other) {
        m_numElements = std::exchange(other.m_numElements, 0);
        m_numSets = std::exchange(other.m_numSets, 0);
        m_nodes = std::move(other.m_nodes);
        other.m_nodes.clear();
    }
    return *this;
}

int DisjointSets::FindSet(int elementId) {
    if (!Valid(elementId)) return -1;
    int root = elementId;
    while (m_nodes[root].parent >= 0) root = m_nodes[root].parent;
    // Second pass: point every node on the path straight at the root.
    int current = elementId;
    while (current != root) {
        int next = m_nodes[current].parent;
        m_nodes[current].parent = root;
        current = next;
    }
    return root;
}

void DisjointSets::Union(int setId1, int setId2) {
    // The ids are normally roots already; looking them up keeps the
    // structure sound when a caller passes an element that is not a root.
    int root1 = FindSet(setId1);
    int root2 = FindSet(setId2);
    if (root1 < 0 || root2 < 0 || root1 == root2) return;
    Node& set1 = m_nodes[root1];
    Node& set2 = m_nodes[root2];
    if (set1.rank > set2.rank) {
        set2.parent = root1;
    } else if (set2.rank > set1.rank) {
        set1.parent = root2;
    } else {
        set2.parent = root1;
        ++set1.rank;
    }
    --m_numSets;
}

void DisjointSets::AddElements(int numToAdd) {
    if (numToAdd <= 0 || numToAdd > INT_MAX - m_numElements) return;
    m_nodes.reserve(static_cast<size_t>(m_numElements) + static_cast<size_t>(numToAdd));
    for (int i = 0; i < numToAdd; ++i) m_nodes.push_back(Node{0, m_numElements + i, -1});
    m_numElements += numToAdd;
    m_numSets += numToAdd;
}

int DisjointSets::Rank(int elementId) const { return Valid(elementId) ? m_nodes[elementId].rank : -1; }

int DisjointSets::Parent(int elementId) const { return Valid(elementId) ? m_nodes[elementId].parent : -1; }
