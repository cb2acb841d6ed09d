#pragma once

namespace testsupport {

// Hands the layers the test program links the services of the layers above
// them, as start-up does. A program that links the whole engine gets the
// program's own wiring; a lower layer's program calls the installers of the
// layers it links (the same ones start-up calls) and nothing of the layers
// it does not link. Safe to call from every test.
void InstallTestWiring();

}  // namespace testsupport
