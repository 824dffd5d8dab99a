// The viewer binary, each test on a virtual display of its own, driven with
// real X input: window placement, mouse look, flying, the light keys and Escape.
#include "e2e/x_session.h"
#include "support/camera_math.h"
#include "support/lighting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

// The scene as the viewer starts: eye above the ground looking along -z.
constexpr Vec3d START_EYE = {0.0, 2.0, 7.0};
constexpr double START_HEADING = 270.0;

constexpr Vec3d BOX1_CENTRE = {0.0, 0.5, 0.0};
constexpr Rgb BOX1_A = {0.55f, 1.0f, 0.333f};
constexpr Rgb BOX1_B = {1.0f, 0.09f, 0.09f};
constexpr Vec3d SPHERE_CENTRE = {12.0, 1.0, 0.0};
constexpr Rgb SPHERE = {0.999f, 0.96f, 0.0f};

// A lit colour is material x (global ambient + diffuse N.L of at most 1).
constexpr double FULLY_LIT = GLOBAL_AMBIENT + 1.0;
// Light 1 brings ambient 0.2 of its own: anything brighter needs a diffuse term.
constexpr double MOST_WITHOUT_DIFFUSE = 0.6;
// N.L of the sphere's facets that count as its bright face.
constexpr double SPHERE_BRIGHT_FACING = 0.5;
constexpr double TOLERANCE = 0.025; // a few 8-bit steps

// The drag of the mouse-look tests: this far right, one degree per pixel.
constexpr int DRAG_PIXELS = 60;

struct Pixel {
    int x, y; // window pixels, origin top left
};

Vec3d lookAlong(double headingDegrees)
{
    const double radians = headingDegrees * M_PI / 180.0;
    return {std::cos(radians), 0.0, std::sin(radians)};
}

// camera_math counts rows from the bottom, as GL does; the screen from the top.
Pixel predictPixel(Vec3d point, double heading)
{
    const WindowPoint p = projectPoint(point, START_EYE, lookAlong(heading), WINDOW_WIDTH, WINDOW_HEIGHT);
    return {static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(WINDOW_HEIGHT - p.y))};
}

// Whether p is a colour that a face shading from A to B shows under lighting
// factor k in [kMin, kMax]: every vertex of a face shares its normal, so the
// face blends the two clamped vertex colours of one k.
bool litBlendOf(Rgb p, Rgb a, Rgb b, double kMin, double kMax)
{
    // Most pixels lie outside every candidate's channel range: skip the search.
    const auto outside = [&](float c, float ca, float cb) {
        const double low = kMin * static_cast<double>(std::min(ca, cb)) - TOLERANCE;
        const double high = kMax * static_cast<double>(std::max(ca, cb)) + TOLERANCE;
        return static_cast<double>(c) < low || static_cast<double>(c) > high;
    };
    if (outside(p.r, a.r, b.r) || outside(p.g, a.g, b.g) || outside(p.b, a.b, b.b))
        return false;
    constexpr int K_STEPS = 200;
    constexpr int T_STEPS = 50;
    for (int i = 0; i <= K_STEPS; ++i) {
        const double k = kMin + (kMax - kMin) * i / K_STEPS;
        const Rgb litA = scaleColour(a, k);
        const Rgb litB = scaleColour(b, k);
        for (int j = 0; j <= T_STEPS; ++j)
            if (sameColour(p, mixColour(litA, litB, static_cast<double>(j) / T_STEPS), TOLERANCE))
                return true;
    }
    return false;
}

bool isWhite(Rgb p)
{
    return p.r >= 0.99f && p.g >= 0.99f && p.b >= 0.99f;
}

bool isDrawn(Rgb p)
{
    return !isWhite(p);
}

double brightest(Rgb p)
{
    return static_cast<double>(std::max({p.r, p.g, p.b}));
}

bool isBox1(Rgb p)
{
    return litBlendOf(p, BOX1_A, BOX1_B, GLOBAL_AMBIENT, FULLY_LIT);
}

bool isBrightSphere(Rgb p)
{
    return litBlendOf(p, SPHERE, SPHERE, GLOBAL_AMBIENT + SPHERE_BRIGHT_FACING, FULLY_LIT);
}

// Whether window pixel p is in the frame and passes the test.
bool pixelIs(const Frame &frame, Pixel p, bool (*test)(Rgb))
{
    const std::optional<Rgb> colour = frame.window(p.x, p.y);
    return colour && test(*colour);
}

// Calls visit on every window pixel that is not background.
template <typename Visit> void forEachDrawn(const Frame &frame, Visit visit)
{
    for (int y = 0; y < WINDOW_HEIGHT; ++y)
        for (int x = 0; x < WINDOW_WIDTH; ++x)
            if (const std::optional<Rgb> c = frame.window(x, y); c && isDrawn(*c))
                visit(x, y, *c);
}

struct Blob {
    int count = 0;
    double x = 0.0, y = 0.0; // centroid, window pixels
};

Blob brightSphere(const Frame &frame)
{
    Blob blob;
    forEachDrawn(frame, [&](int x, int y, Rgb c) {
        if (!isBrightSphere(c))
            return;
        ++blob.count;
        blob.x += x;
        blob.y += y;
    });
    if (blob.count > 0) {
        blob.x /= blob.count;
        blob.y /= blob.count;
    }
    return blob;
}

bool hasDiffuseLight(const Frame &frame)
{
    bool found = false;
    forEachDrawn(frame,
                 [&](int, int, Rgb c) { found = found || brightest(c) > MOST_WITHOUT_DIFFUSE + TOLERANCE; });
    return found;
}

// Something is drawn, and all of it is at most ambient-lit.
bool onlyAmbient(const Frame &frame)
{
    int drawn = 0;
    bool tooBright = false;
    forEachDrawn(frame, [&](int, int, Rgb c) {
        ++drawn;
        tooBright = tooBright || brightest(c) > GLOBAL_AMBIENT + TOLERANCE;
    });
    return drawn > 0 && !tooBright;
}

// Points inside box 1 whatever its spin: the box holds the upright cylinder
// of radius 1 about its axis, and box 2 circles too high to hide these.
std::vector<Pixel> insideBox1()
{
    std::vector<Pixel> pixels;
    const Pixel low = predictPixel({-0.6, 0.25, 0.0}, START_HEADING);
    const Pixel high = predictPixel({0.6, 0.6, 0.0}, START_HEADING);
    for (int y = high.y; y <= low.y; y += 5)
        for (int x = low.x; x <= high.x; x += 5)
            pixels.push_back({x, y});
    return pixels;
}

bool showsBox1(const Frame &frame)
{
    const std::vector<Pixel> pixels = insideBox1();
    return std::all_of(pixels.begin(), pixels.end(), [&](Pixel p) { return pixelIs(frame, p, isBox1); });
}

// Until the viewer has drawn: box 1's middle stops being background.
bool waitForFirstFrames()
{
    const Pixel middle = predictPixel(BOX1_CENTRE, START_HEADING);
    return pollScreen([&](const Frame &f) { return pixelIs(f, middle, isDrawn); }).has_value();
}

// A left drag from the window's middle, DRAG_PIXELS to the right on one row.
bool dragRight()
{
    const int x = clientLeft + WINDOW_WIDTH / 2;
    const std::string row = " " + std::to_string(clientTop + WINDOW_HEIGHT / 2);
    return xdotool("mousemove " + std::to_string(x) + row + " mousedown 1 mousemove " +
                   std::to_string(x + DRAG_PIXELS) + row + " mouseup 1");
}

class ViewerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ready());
        ASSERT_TRUE(waitForFirstFrames()) << "nothing drawn where box 1 stands";
    }

    // Drags the view towards the sphere and waits until it shows where predicted.
    std::optional<Frame> turnTowardsSphere()
    {
        const Pixel sphere = predictPixel(SPHERE_CENTRE, START_HEADING + DRAG_PIXELS);
        if (!dragRight())
            return std::nullopt;
        return pollScreen([&](const Frame &f) { return pixelIs(f, sphere, isBrightSphere); });
    }

    ViewerSession session;
};

TEST_F(ViewerTest, WindowIsTitledAndPlacedAndFirstFramesShowBox1OnWhite)
{
    EXPECT_EQ(commandOutput("xdotool getwindowname " + session.viewer.window()), "Brelox\n");
    const std::string geometry =
        commandOutput("xdotool getwindowgeometry --shell " + session.viewer.window());
    EXPECT_NE(geometry.find("WIDTH=800\nHEIGHT=600\n"), std::string::npos) << geometry;
    const int across = clientLeft - WINDOW_LEFT, down = clientTop - WINDOW_TOP;
    EXPECT_TRUE(across >= 0 && across <= FRAME_MARGIN && down >= 0 && down <= FRAME_MARGIN)
        << across << "," << down;

    // Box 1 spins: frames a fair part of a turn apart show both its colours.
    for (int grab = 0; grab < 4; ++grab) {
        const std::optional<Frame> frame = grabScreen();
        ASSERT_TRUE(frame) << "grab " << grab << " failed";
        EXPECT_TRUE(showsBox1(*frame)) << "grab " << grab;
        for (Pixel corner : {Pixel{0, 0}, Pixel{WINDOW_WIDTH - 1, 0}, Pixel{0, WINDOW_HEIGHT - 1},
                             Pixel{WINDOW_WIDTH - 1, WINDOW_HEIGHT - 1}})
            EXPECT_TRUE(pixelIs(*frame, corner, isWhite)) << corner.x << "," << corner.y;
    }
}

TEST_F(ViewerTest, DragRightTurnsOneDegreePerPixelBringingTheSphereWherePredicted)
{
    const std::optional<Frame> start = grabScreen();
    ASSERT_TRUE(start) << "grab failed";
    EXPECT_EQ(brightSphere(*start).count, 0) << "the sphere is off to the right at the start";

    const std::optional<Frame> turned = turnTowardsSphere();
    ASSERT_TRUE(turned) << "no sphere at the pixel a turn of " << DRAG_PIXELS << " degrees predicts";

    // Two degrees of heading either way, in pixels at the sphere.
    const double heading = START_HEADING + DRAG_PIXELS;
    const Pixel predicted = predictPixel(SPHERE_CENTRE, heading);
    const double tolerance = std::abs(predictPixel(SPHERE_CENTRE, heading - 2.0).x - predicted.x);
    const Blob sphere = brightSphere(*turned);
    EXPECT_NEAR(sphere.x, predicted.x, tolerance);
    EXPECT_NEAR(sphere.y, predicted.y, tolerance);
}

TEST_F(ViewerTest, HoldingWFliesTowardsWhatIsAheadAndReleasingStops)
{
    const std::optional<Frame> turned = turnTowardsSphere();
    ASSERT_TRUE(turned);
    const Blob before = brightSphere(*turned);

    // Short holds, each a few ticks of flight, until the sphere looks twice its
    // size: some 4 of its 14 units closer, 20 ticks. The bound on the holds,
    // not a clock, guards against a hang, so slow grabs cannot fail the test.
    constexpr int MAX_HOLDS = 100;
    Blob after;
    for (int hold = 0; hold < MAX_HOLDS && after.count < 2 * before.count; ++hold) {
        ASSERT_TRUE(xdotool("keydown w sleep 0.05 keyup w"));
        const std::optional<Frame> frame = grabScreen();
        ASSERT_TRUE(frame) << "grab failed";
        after = brightSphere(*frame);
    }
    ASSERT_GE(after.count, 2 * before.count) << "the sphere never grew";
    // Straight at it: it stays in its column and, being below the eye, sinks.
    EXPECT_NEAR(after.x, before.x, 10.0);
    EXPECT_GT(after.y, before.y);

    // Released: the sphere, which does not spin, stays as it is.
    const std::optional<Frame> settled = grabScreen();
    const std::optional<Frame> later = grabScreen();
    ASSERT_TRUE(settled && later) << "grab failed";
    EXPECT_EQ(brightSphere(*settled).count, brightSphere(*later).count);
    EXPECT_DOUBLE_EQ(brightSphere(*settled).y, brightSphere(*later).y);
    EXPECT_TRUE(session.viewer.running());
}

TEST_F(ViewerTest, KLeavesOnlyAmbientLightAndLSwitchesLightOneOn)
{
    ASSERT_TRUE(pollScreen(hasDiffuseLight)) << "nothing lit directly at the start";

    ASSERT_TRUE(xdotool("key k"));
    EXPECT_TRUE(pollScreen(onlyAmbient)) << "something still brighter than ambient light";

    ASSERT_TRUE(xdotool("key l"));
    EXPECT_TRUE(pollScreen(hasDiffuseLight)) << "light 1 lit nothing";
    EXPECT_TRUE(session.viewer.running());
}

TEST_F(ViewerTest, EscapeEndsTheProcessWithStatusZero)
{
    EXPECT_TRUE(session.viewer.quitsOnEscape());
}

} // namespace
