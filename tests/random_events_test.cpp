// A long seeded run of random input events and ticks, checking after each
// event that the camera stays finite and within its documented bounds.
// BRELOX_SEED=<n> replays a run.
#include "app/scene_state.h"
#include "interact/keyboard.h"
#include "interact/mouse.h"
#include "interact/tick.h"
#include "render/projection.h"
#include "render/render_state.h"
#include "support/gl_window.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>

namespace
{

constexpr unsigned long long DEFAULT_SEED = 20240611;
constexpr int EVENTS = 1000000;

enum class Kind { KeyDown, KeyUp, SpecialDown, SpecialUp, Button, Drag, Reshape, Tick };

struct Event {
    Kind kind;
    int a; // key, button, x or width
    int b; // state, y or height
    int c; // x of a button event
    int d; // y of a button event
};

unsigned long long seedFromEnvironment()
{
    const char *text = std::getenv("BRELOX_SEED");
    return text && *text != '\0' ? std::strtoull(text, nullptr, 10) : DEFAULT_SEED;
}

class EventSource
{
  public:
    explicit EventSource(unsigned long long seed) : rng(seed) {}

    Event next()
    {
        // One event in twenty is a tick. Each tick leaves a timer in GLUT's
        // list that never runs (nothing here runs the main loop) and that
        // GLUT inserts by walking the whole list, so their number is bounded;
        // the list goes with the process.
        const int roll = uniform(0, 99);
        if (roll < 21)
            return {Kind::KeyDown, keyDownCode(), 0, 0, 0};
        if (roll < 42)
            return {Kind::KeyUp, uniform(0, 255), 0, 0, 0};
        if (roll < 54)
            return {Kind::SpecialDown, specialCode(), 0, 0, 0};
        if (roll < 66)
            return {Kind::SpecialUp, specialCode(), 0, 0, 0};
        if (roll < 74)
            return {Kind::Button, uniform(0, 9), uniform(0, 1), coordinate(scene.anchorX),
                    coordinate(scene.anchorY)};
        if (roll < 94)
            return {Kind::Drag, coordinate(scene.anchorX), coordinate(scene.anchorY), 0, 0};
        if (roll < 95)
            return {Kind::Reshape, size(), size(), 0, 0};
        return {Kind::Tick, 0, 0, 0, 0};
    }

  private:
    std::mt19937_64 rng;

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

    int keyDownCode()
    {
        const int code = uniform(0, 254);
        return code == KEY_ESCAPE ? 255 : code;
    }

    // Mostly the arrows and page keys, so that the flags get held.
    int specialCode()
    {
        switch (uniform(0, 3)) {
        case 0:
        case 1: return uniform(GLUT_KEY_LEFT, GLUT_KEY_PAGE_DOWN);
        case 2: return uniform(0, 130);
        default: return uniform(INT_MIN, INT_MAX);
        }
    }

    // Small moves from the anchor, around the window, or far outside it.
    // Each choice is symmetric under x -> -1 - x, so that up and down drags
    // balance and look.y wanders to both of its limits.
    int coordinate(int anchor)
    {
        static const int EXTREMES[] = {INT_MIN, INT_MIN + 1, -1, 0, INT_MAX - 1, INT_MAX};
        switch (uniform(0, 4)) {
        case 0:
        case 1: return anchor > INT_MIN + 3 && anchor < INT_MAX - 3 ? anchor + uniform(-3, 3) : 0;
        case 2: return uniform(-800, 799);
        case 3: return EXTREMES[uniform(0, 5)];
        default: return uniform(INT_MIN, INT_MAX);
        }
    }

    int size() { return uniform(0, 2) == 0 ? uniform(0, 1) : uniform(0, 4096); }
};

void apply(const Event &event)
{
    switch (event.kind) {
    case Kind::KeyDown: onKeyDown(static_cast<unsigned char>(event.a), 0, 0); break;
    case Kind::KeyUp: onKeyUp(static_cast<unsigned char>(event.a), 0, 0); break;
    case Kind::SpecialDown: onSpecialDown(event.a, 0, 0); break;
    case Kind::SpecialUp: onSpecialUp(event.a, 0, 0); break;
    case Kind::Button: onMouseButton(event.a, event.b, event.c, event.d); break;
    case Kind::Drag: onMouseDrag(event.a, event.b); break;
    case Kind::Reshape: reshapeView(event.a, event.b); break;
    case Kind::Tick: onTick(0); break;
    }
}

std::string describe(const Event &event)
{
    static const char *const NAMES[] = {"key down", "key up", "special down", "special up",
                                        "button",   "drag",   "reshape",      "tick"};
    return std::string(NAMES[static_cast<int>(event.kind)]) + " " + std::to_string(event.a) + " " +
           std::to_string(event.b) + " " + std::to_string(event.c) + " " + std::to_string(event.d);
}

std::string exact(double value)
{
    std::ostringstream text;
    text << std::setprecision(17) << value;
    return text.str();
}

bool finite(const Vec3d &v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The first invariant the scene breaks after the event, or an empty string.
std::string brokenInvariant(const Event &event)
{
    if (!finite(scene.eye) || !finite(scene.look) || !std::isfinite(scene.heading))
        return "eye, look or heading not finite";
    if (std::fabs(scene.look.y) > 2.02)
        return "look.y beyond +-2.02: " + exact(scene.look.y);
    if (!(scene.spinA >= 0.0f && scene.spinA <= 360.0f && scene.spinB >= 0.0f && scene.spinB <= 360.0f))
        return "spin outside [0, 360]";
    // Holds from the start look (0, 0, -1) and after every horizontal drag.
    if (std::fabs(std::hypot(scene.look.x, scene.look.z) - 1.0) > 1e-12)
        return "horizontal look not of length 1";
    if (event.kind == Kind::Drag && (scene.anchorX != event.a || scene.anchorY != event.b))
        return "anchor not at the drag position";
    return {};
}

TEST(RandomEvents, CameraStaysFiniteAndBounded)
{
    openTestWindow();
    initRendering();
    resetScene();
    const unsigned long long seed = seedFromEnvironment();
    // Printed up front as well, for a run that crashes rather than fails.
    std::printf("seed %llu (BRELOX_SEED replays it)\n", seed);

    EventSource events(seed);
    for (int i = 0; i < EVENTS; ++i) {
        const Event event = events.next();
        apply(event);
        const std::string broken = brokenInvariant(event);
        if (!broken.empty())
            FAIL() << "seed " << seed << ", event " << i << " (" << describe(event) << "): " << broken;
    }
}

} // namespace
