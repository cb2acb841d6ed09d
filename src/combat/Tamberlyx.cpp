#include "combat/Tamberlyx.h"

Tamberlyx::Tamberlyx() : PartyClass(GetClassData(kClassId)) {}
