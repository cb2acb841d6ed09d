#include "combat/Wistlemarn.h"

Wistlemarn::Wistlemarn() : PartyClass(GetClassData(kClassId)) {}
