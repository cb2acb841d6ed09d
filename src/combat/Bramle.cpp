#include "combat/Bramle.h"

Bramle::Bramle() : PartyClass(GetClassData(kClassId)) {}
