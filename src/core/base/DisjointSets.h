#pragma once
// Union-find over element ids 0 .. NumElements()-1, with union by rank and
// full path compression. Copies are deep and independent.
#include <vector>

class DisjointSets {
public:
    DisjointSets() = default;
    explicit DisjointSets(int count);  // AddElements(count)
    DisjointSets(const DisjointSets& other) = default;
    DisjointSets& operator=(const DisjointSets& other) = default;
    DisjointSets(DisjointSets&& other) noexcept;
    DisjointSets& operator=(DisjointSets&& other) noexcept;
    ~DisjointSets() = default;

    // Root id of the element's set; -1 for an id out of range.
    int FindSet(int elementId);
    // Joins the sets of two elements (ids out of range do nothing).
    void Union(int setId1, int setId2);
    // Appends `numToAdd` single-element sets; a negative count adds nothing.
    void AddElements(int numToAdd);

    int NumElements() const { return m_numElements; }
    int NumSets() const { return m_numSets; }

    // Inspection: an element's rank, and its parent id (-1 for a root);
    // -1 for an id out of range.
    int Rank(int elementId) const;
    int Parent(int elementId) const;

private:
    struct Node {
        int rank;
        int index;
        int parent;  // element id, -1 for a root
    };
    bool Valid(int id) const { return id >= 0 && id < m_numElements; }

    int m_numElements = 0;
    int m_numSets = 0;
    std::vector<Node> m_nodes;
};
