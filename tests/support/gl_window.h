// A real GLUT window and GL context for tests that draw or need GLUT's
// current window, and pixel read-back from what was drawn.
#pragma once

struct Rgb {
    float r, g, b;
};

// Opens an 800 x 600 double-buffered RGB window with a depth buffer, once per
// process, and leaves its context current.
void openTestWindow();

// The colour at window pixel (x, y), origin bottom left, of the frame last
// drawn: the back buffer, which a swap leaves as it was.
Rgb readPixel(int x, int y);

// Resets the scene record to its start values.
void resetScene();
