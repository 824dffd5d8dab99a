// A real GLUT window and GL context for tests that draw or need GLUT's
// current window, and pixel read-back from what was drawn.
#pragma once

#include "support/rgb.h"

#include <cstddef>
#include <vector>

// Opens a double-buffered RGB window with a depth buffer, 800 x 600 unless
// asked otherwise, once per process, on an X server of the process's own,
// and leaves its context current.
void openTestWindow(int width = 800, int height = 600);

// The frame last drawn, width x height pixels from the bottom left, rows
// from the bottom: the back buffer, which a swap leaves as it was.
struct GlFrame {
    int width, height;
    std::vector<Rgb> pixels;

    Rgb at(int x, int y) const
    {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};
GlFrame readFrame(int width, int height);

// Resets the scene record to its start values.
void resetScene();
