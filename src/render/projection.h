// Keeps the viewport and the perspective projection in step with the window.
#pragma once

// GLUT reshape callback; width and height in pixels.
void reshapeView(int width, int height);
