// The clock: applies the held keys, advances the spins, asks for a frame.
#pragma once

// GLUT timer callback; re-arms itself every 10 ms with the same value.
void onTick(int value);
