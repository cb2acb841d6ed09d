#include "combat/Orravine.h"

Orravine::Orravine() : PartyClass(GetClassData(kClassId)) {}
