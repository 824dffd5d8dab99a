#include "support/lighting.h"

#include <algorithm>
#include <cmath>

static float scaleChannel(float channel, double factor)
{
    return static_cast<float>(std::min(1.0, factor * static_cast<double>(channel)));
}

Rgb scaleColour(Rgb colour, double factor)
{
    return {scaleChannel(colour.r, factor), scaleChannel(colour.g, factor), scaleChannel(colour.b, factor)};
}

static float mixChannel(float a, float b, double t)
{
    return static_cast<float>(static_cast<double>(a) + t * static_cast<double>(b - a));
}

Rgb mixColour(Rgb a, Rgb b, double t)
{
    return {mixChannel(a.r, b.r, t), mixChannel(a.g, b.g, t), mixChannel(a.b, b.b, t)};
}

bool sameColour(Rgb a, Rgb b, double tolerance)
{
    const auto close = [&](float x, float y) { return std::abs(static_cast<double>(x - y)) <= tolerance; };
    return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

static testing::Message &operator<<(testing::Message &message, Rgb colour)
{
    return message << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

testing::AssertionResult colourNear(Rgb actual, Rgb expected, double tolerance)
{
    if (sameColour(actual, expected, tolerance))
        return testing::AssertionSuccess();
    testing::Message message;
    message << "colour " << actual << " is not within " << tolerance << " of " << expected;
    return testing::AssertionFailure(message);
}
