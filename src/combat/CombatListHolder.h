#pragma once
// An owning named list kept beside the battle; nothing fills it.
#include "core/base/NamedList.h"

class CombatListHolder {
public:
    CombatListHolder();
    ~CombatListHolder();
    CombatListHolder(const CombatListHolder&) = delete;
    CombatListHolder& operator=(const CombatListHolder&) = delete;

    NamedList* GetList() { return m_list; }
    void Update() {}
    void Draw() {}
    void Clear() {}

private:
    NamedList* m_list;
};
