// The one colour type of the tests: a pixel read back from GL or grabbed
// from the screen, or the colour expected there; channels from 0 to 1.
#pragma once

struct Rgb {
    float r, g, b;
};
