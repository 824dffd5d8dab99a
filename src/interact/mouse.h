// Mouse look: a left press sets the anchor; dragging with any button turns
// the view one degree per pixel and tilts it one fixed step per event.
#pragma once

// GLUT mouse-button callback; x and y in window pixels.
void onMouseButton(int button, int state, int x, int y);

// GLUT motion callback (a button held); window pixels, y growing downwards.
void onMouseDrag(int x, int y);
