// What the fixed-function pipeline makes of the viewer's colours. Colour
// material makes a colour both the ambient and the diffuse material and the
// specular material stays black, so a lit colour is
// min(1, (ambient terms + diffuse terms) x colour), channel by channel.
#pragma once

#include "support/rgb.h"

#include <gtest/gtest.h>

// The global ambient level the viewer sets.
constexpr double GLOBAL_AMBIENT = 0.4;

// min(1, factor x colour) per channel, as GL clamps a lit colour.
Rgb scaleColour(Rgb colour, double factor);

// Linear interpolation from a (t = 0) to b (t = 1).
Rgb mixColour(Rgb a, Rgb b, double t);

// Every channel of a within tolerance of b: for the many candidates tried
// per pixel, where a failure message would only cost time.
bool sameColour(Rgb a, Rgb b, double tolerance);

// The same as an assertion that shows both colours when it fails.
testing::AssertionResult colourNear(Rgb actual, Rgb expected, double tolerance);
