#include "combat/Sesket.h"

Sesket::Sesket() : PartyClass(GetClassData(kClassId)) {}
