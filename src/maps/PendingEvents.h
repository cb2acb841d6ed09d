#pragma once
// Dropping the events that piled up while the program was busy (a map
// load): key presses, clicks and timer ticks from then must not act now.
// What only ends something already begun is not input to drop: a request to
// close the window sets the quit flag, as every game state does when it sees
// one, key-ups (and the display losing the focus) still reach the keyboard,
// so no key stays down after it was let go during the load, and a mouse
// button let go still reaches the windows, so no drag goes on after it.
void DropPendingEvents();
