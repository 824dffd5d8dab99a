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

// Every channel of actual within tolerance of expected.
testing::AssertionResult colourNear(Rgb actual, Rgb expected, double tolerance);

// Every channel of actual between those of two bounds (in either order),
// widened by tolerance: for expectations that admit a range of lighting.
testing::AssertionResult colourBetween(Rgb actual, Rgb bound1, Rgb bound2, double tolerance);
