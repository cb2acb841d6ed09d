#include "core/base/NamedNodeList.h"

NamedNodeList::NamedNodeList() = default;

NamedNodeList::NamedNodeList(bool ownsValues) { m_chain.SetOwnsValues(ownsValues); }

NamedNodeList::~NamedNodeList() { Destroy(); }

void NamedNodeList::Init(uint32_t valueSize, bool ownsValues) {
    Clear();
    m_valueSize = valueSize;
    m_chain.SetOwnsValues(ownsValues);
}

void NamedNodeList::Destroy() { Clear(); }

void NamedNodeList::SetDeleter(Deleter deleter) { m_chain.SetDefaultDeleter(deleter); }

void* NamedNodeList::Add(const char* name, void* value) { return m_chain.Insert(name, value, false) ? value : nullptr; }

void* NamedNodeList::RemoveFirst() { return m_chain.Head() ? m_chain.Remove(m_chain.Head()) : nullptr; }

void* NamedNodeList::RemoveLast() { return m_chain.Tail() ? m_chain.Remove(m_chain.Tail()) : nullptr; }

void* NamedNodeList::Remove(const char* name) {
    Node* node = m_chain.FindForRemoval(name);
    return node ? m_chain.Remove(node) : nullptr;
}

void* NamedNodeList::RemoveAt(int index) {
    Node* node = m_chain.At(index);
    return node ? m_chain.Remove(node) : nullptr;
}

void NamedNodeList::Clear() { m_chain.Clear(); }

NamedNodeList::Node* NamedNodeList::FindNode(const char* name) const { return m_chain.Find(name); }

void* NamedNodeList::Find(const char* name) const {
    Node* node = FindNode(name);
    return node ? node->value : nullptr;
}

NamedNodeList::Node* NamedNodeList::GetNodeAt(int index) const { return m_chain.At(index); }

void* NamedNodeList::GetAt(int index) const {
    Node* node = GetNodeAt(index);
    return node ? node->value : nullptr;
}
