#pragma once

namespace testsupport {

// Hands the layers the test program links the services of the layers above
// them, as start-up does. A program that links the whole engine gets the
// program's own wiring; a lower layer's program gets those of its layers
// (the GUI's script family and property routes, the combat and inventory
// buttons, the map window and terrain, the chat line) and nothing of the
// layers it does not link. Safe to call from every test.
void InstallTestWiring();

}  // namespace testsupport
