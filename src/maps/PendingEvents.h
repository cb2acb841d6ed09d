#pragma once
// Dropping the events that piled up while the program was busy (a map
// load): key presses, clicks and timer ticks from then must not act now.
// A request to close the window is not input to drop: when one was waiting,
// the quit flag is set, as every game state does when it sees one.
void DropPendingEvents();
