#include "combat/Kell.h"

Kell::Kell() : PartyClass(GetClassData(kClassId)) {}
