#pragma once
// Registers a resolver for each owner kind the property router resolves
// (PropertyRouter::kOwnerKinds). InstallLayerHooks calls it; calling it again
// changes nothing.
void RegisterPropertyRoutes();
