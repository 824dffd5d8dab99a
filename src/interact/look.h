// Tilting the look vector, shared by Page Up/Down and vertical drags.
#pragma once

// One step of 0.02 on look.y, taken only while it is strictly inside +-2.
void tiltUp();
void tiltDown();
