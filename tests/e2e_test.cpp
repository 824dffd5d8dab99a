// The viewer binary on the virtual display, driven with real X input:
// window placement, mouse look, flying, the light keys and Escape.
#include "e2e/x_session.h"
#include "support/camera_math.h"

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
constexpr Colour BOX1_A = {0.55, 1.0, 0.333};
constexpr Colour BOX1_B = {1.0, 0.09, 0.09};
constexpr Vec3d SPHERE_CENTRE = {12.0, 1.0, 0.0};
constexpr Colour SPHERE = {0.999, 0.96, 0.0};

// A lit colour is material x (global ambient 0.4 + diffuse N.L of at most 1).
constexpr double AMBIENT = 0.4;
constexpr double FULLY_LIT = 1.4;
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

Colour scaledClamped(Colour c, double k)
{
    return {std::min(1.0, k * c.r), std::min(1.0, k * c.g), std::min(1.0, k * c.b)};
}

bool near(Colour p, Colour q)
{
    return std::abs(p.r - q.r) <= TOLERANCE && std::abs(p.g - q.g) <= TOLERANCE &&
           std::abs(p.b - q.b) <= TOLERANCE;
}

// Whether p is a colour that a face shading from A to B shows under lighting
// factor k in [kMin, kMax]: every vertex of a face shares its normal, so the
// face blends the two clamped vertex colours of one k.
bool litBlendOf(Colour p, Colour a, Colour b, double kMin, double kMax)
{
    constexpr int K_STEPS = 200;
    constexpr int T_STEPS = 50;
    for (int i = 0; i <= K_STEPS; ++i) {
        const double k = kMin + (kMax - kMin) * i / K_STEPS;
        const Colour litA = scaledClamped(a, k);
        const Colour litB = scaledClamped(b, k);
        for (int j = 0; j <= T_STEPS; ++j) {
            const double t = static_cast<double>(j) / T_STEPS;
            const Colour mix = {litA.r + t * (litB.r - litA.r), litA.g + t * (litB.g - litA.g),
                                litA.b + t * (litB.b - litA.b)};
            if (near(p, mix))
                return true;
        }
    }
    return false;
}

bool isWhite(Colour p)
{
    return p.r >= 0.99 && p.g >= 0.99 && p.b >= 0.99;
}

double brightest(Colour p)
{
    return std::max({p.r, p.g, p.b});
}

bool isBox1(Colour p)
{
    return litBlendOf(p, BOX1_A, BOX1_B, AMBIENT, FULLY_LIT);
}

bool isBrightSphere(Colour p)
{
    return litBlendOf(p, SPHERE, SPHERE, AMBIENT + SPHERE_BRIGHT_FACING, FULLY_LIT);
}

Colour at(const Frame &frame, Pixel p)
{
    return frame.window(p.x, p.y);
}

// Calls visit on every window pixel that is not background.
template <typename Visit> void forEachDrawn(const Frame &frame, Visit visit)
{
    for (int y = 0; y < WINDOW_HEIGHT; ++y)
        for (int x = 0; x < WINDOW_WIDTH; ++x)
            if (const Colour c = frame.window(x, y); !isWhite(c))
                visit(x, y, c);
}

struct Blob {
    int count = 0;
    double x = 0.0, y = 0.0; // centroid, window pixels
};

Blob brightSphere(const Frame &frame)
{
    Blob blob;
    forEachDrawn(frame, [&](int x, int y, Colour c) {
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
    forEachDrawn(
        frame, [&](int, int, Colour c) { found = found || brightest(c) > MOST_WITHOUT_DIFFUSE + TOLERANCE; });
    return found;
}

// Something is drawn, and all of it is at most ambient-lit.
bool onlyAmbient(const Frame &frame)
{
    int drawn = 0;
    bool tooBright = false;
    forEachDrawn(frame, [&](int, int, Colour c) {
        ++drawn;
        tooBright = tooBright || brightest(c) > AMBIENT + TOLERANCE;
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
    return std::all_of(pixels.begin(), pixels.end(), [&](Pixel p) { return isBox1(at(frame, p)); });
}

// Until the viewer has drawn: box 1's middle stops being background.
bool waitForFirstFrames()
{
    const Pixel middle = predictPixel(BOX1_CENTRE, START_HEADING);
    return pollScreen([&](const Frame &f) { return !isWhite(at(f, middle)); }).has_value();
}

// A left drag from the window's middle, DRAG_PIXELS to the right on one row.
bool dragRight()
{
    const int x = WINDOW_LEFT + WINDOW_WIDTH / 2;
    const std::string row = " " + std::to_string(WINDOW_TOP + WINDOW_HEIGHT / 2);
    return xdotool("mousemove " + std::to_string(x) + row + " mousedown 1 mousemove " +
                   std::to_string(x + DRAG_PIXELS) + row + " mouseup 1");
}

class ViewerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
        ASSERT_TRUE(viewer.started())
            << "no window titled Brelox appeared; viewer " << (viewer.running() ? "still running" : "ended");
        ASSERT_TRUE(viewer.focus());
        ASSERT_TRUE(waitForFirstFrames()) << "nothing drawn where box 1 stands";
    }

    // Drags the view towards the sphere and waits until it shows where predicted.
    std::optional<Frame> turnTowardsSphere()
    {
        const Pixel sphere = predictPixel(SPHERE_CENTRE, START_HEADING + DRAG_PIXELS);
        if (!dragRight())
            return std::nullopt;
        return pollScreen([&](const Frame &f) { return isBrightSphere(at(f, sphere)); });
    }

    Viewer viewer;
};

TEST_F(ViewerTest, WindowIsTitledAndPlacedAndFirstFramesShowBox1OnWhite)
{
    EXPECT_EQ(commandOutput("xdotool getwindowname " + viewer.window()), "Brelox\n");
    const std::string geometry = commandOutput("xdotool getwindowgeometry --shell " + viewer.window());
    EXPECT_NE(geometry.find("X=100\nY=100\nWIDTH=800\nHEIGHT=600\n"), std::string::npos) << geometry;

    // Box 1 spins: frames a fair part of a turn apart show both its colours.
    for (int grab = 0; grab < 4; ++grab) {
        const Frame frame = grabScreen();
        ASSERT_TRUE(frame.valid());
        EXPECT_TRUE(showsBox1(frame)) << "grab " << grab;
        for (Pixel corner : {Pixel{0, 0}, Pixel{WINDOW_WIDTH - 1, 0}, Pixel{0, WINDOW_HEIGHT - 1},
                             Pixel{WINDOW_WIDTH - 1, WINDOW_HEIGHT - 1}})
            EXPECT_TRUE(isWhite(at(frame, corner))) << corner.x << "," << corner.y;
    }
}

TEST_F(ViewerTest, DragRightTurnsOneDegreePerPixelBringingTheSphereWherePredicted)
{
    EXPECT_EQ(brightSphere(grabScreen()).count, 0) << "the sphere is off to the right at the start";

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

    // Short holds, each a few ticks of flight, until the sphere looks twice its size.
    Blob after;
    const auto deadline = std::chrono::steady_clock::now() + HANG_GUARD;
    while (after.count < 2 * before.count && std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(xdotool("keydown w sleep 0.05 keyup w"));
        after = brightSphere(grabScreen());
    }
    ASSERT_GE(after.count, 2 * before.count) << "the sphere never grew";
    // Straight at it: it stays in its column and, being below the eye, sinks.
    EXPECT_NEAR(after.x, before.x, 10.0);
    EXPECT_GT(after.y, before.y);

    // Released: the sphere, which does not spin, stays as it is.
    const Blob settled = brightSphere(grabScreen());
    const Blob later = brightSphere(grabScreen());
    EXPECT_EQ(settled.count, later.count);
    EXPECT_DOUBLE_EQ(settled.y, later.y);
    EXPECT_TRUE(viewer.running());
}

TEST_F(ViewerTest, KLeavesOnlyAmbientLightAndLSwitchesLightOneOn)
{
    ASSERT_TRUE(pollScreen(hasDiffuseLight)) << "nothing lit directly at the start";

    ASSERT_TRUE(xdotool("key k"));
    EXPECT_TRUE(pollScreen(onlyAmbient)) << "something still brighter than ambient light";

    ASSERT_TRUE(xdotool("key l"));
    EXPECT_TRUE(pollScreen(hasDiffuseLight)) << "light 1 lit nothing";
    EXPECT_TRUE(viewer.running());
}

TEST_F(ViewerTest, EscapeEndsTheProcessWithStatusZero)
{
    EXPECT_TRUE(viewer.quitsOnEscape());
}

} // namespace
