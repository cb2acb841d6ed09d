#include "combat/CombatListHolder.h"

CombatListHolder::CombatListHolder() : m_list(new NamedList(true)) {}

CombatListHolder::~CombatListHolder() { delete m_list; }
