#include "support/lighting.h"

#include <algorithm>

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

static bool channelBetween(float actual, float bound1, float bound2, double tolerance)
{
    const double low = static_cast<double>(std::min(bound1, bound2)) - tolerance;
    const double high = static_cast<double>(std::max(bound1, bound2)) + tolerance;
    const double value = static_cast<double>(actual);
    return value >= low && value <= high;
}

static testing::Message &operator<<(testing::Message &message, Rgb colour)
{
    return message << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

testing::AssertionResult colourBetween(Rgb actual, Rgb bound1, Rgb bound2, double tolerance)
{
    if (channelBetween(actual.r, bound1.r, bound2.r, tolerance) &&
        channelBetween(actual.g, bound1.g, bound2.g, tolerance) &&
        channelBetween(actual.b, bound1.b, bound2.b, tolerance))
        return testing::AssertionSuccess();
    testing::Message message;
    message << "colour " << actual << " is not within " << tolerance << " of " << bound1;
    if (bound1.r != bound2.r || bound1.g != bound2.g || bound1.b != bound2.b)
        message << " .. " << bound2;
    return testing::AssertionFailure(message);
}

testing::AssertionResult colourNear(Rgb actual, Rgb expected, double tolerance)
{
    return colourBetween(actual, expected, expected, tolerance);
}
