#pragma once
// The controls' own cursors, registered in the screen's cursor table.

enum : int { crVxHand = 14000, crVxDrag = 14001 };

// Registers the hand (crVxHand) and drag (crVxDrag) cursors; the program calls it once at start.
void InitializeVXConst();
