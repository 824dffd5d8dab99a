// Frames drawn by displayScene, read back and compared pixel by pixel with
// what the scene's geometry and GL's lighting equation predict: the boxes by
// casting the sight line of every pixel at them, the sphere by its facets.
#include "app/scene_state.h"
#include "render/projection.h"
#include "render/render_state.h"
#include "render/scene_draw.h"
#include "support/camera_math.h"
#include "support/gl_window.h"
#include "support/lighting.h"
#include "support/vec3.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace
{

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr double TOLERANCE = 3.0 / 255.0;

constexpr Rgb WHITE = {1.0f, 1.0f, 1.0f};
constexpr Vec3d UP = {0.0, 1.0, 0.0};

// Light 1 comes from (12, 1, 0) in eye coordinates with ambient 0.2 and
// diffuse 1; light 0 (GL's default) from the viewer, straight along the view.
constexpr Vec3d LIGHT1_FROM = {12.0, 1.0, 0.0};
constexpr double LIGHT1_AMBIENT = 0.2;

struct Lights {
    bool zero, one;
};

// GL's lighting equation for the viewer's lights, as a factor on a surface
// colour: colour material makes the colour the ambient and diffuse material,
// and the specular material stays black. GL scales every term of a spot
// light, ambient included, by (cos of the angle between the light-to-vertex
// direction and the spot direction)^exponent, directional lights included:
// for light 1 (12 / sqrt(145))^12, about 0.959.
double lightLevel(Lights lights, Vec3d eyeNormal)
{
    const Vec3d normal = unit(eyeNormal);
    double level = GLOBAL_AMBIENT;
    if (lights.zero)
        level += std::max(0.0, normal.z);
    if (lights.one) {
        const Vec3d from = unit(LIGHT1_FROM);
        const double spot = std::pow(-dot(from, {-1.0, 0.0, 0.0}), 12.0);
        level += spot * (LIGHT1_AMBIENT + std::max(0.0, dot(normal, from)));
    }
    return level;
}

// Where a box's own axes and origin land in the scene: a rigid motion.
struct Placement {
    Vec3d x, y, z, origin;
};

Vec3d turnVector(const Placement &p, Vec3d v)
{
    return v.x * p.x + v.y * p.y + v.z * p.z;
}

Vec3d placePoint(const Placement &p, Vec3d v)
{
    return p.origin + turnVector(p, v);
}

// The inner motion first, as GL applies the transformations issued last.
Placement operator*(const Placement &outer, const Placement &inner)
{
    return {turnVector(outer, inner.x), turnVector(outer, inner.y), turnVector(outer, inner.z),
            placePoint(outer, inner.origin)};
}

Placement shift(Vec3d by)
{
    return {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}, by};
}

// Counter-clockwise about the axis, seen from its tip (Rodrigues' formula).
Placement turn(double degrees, Vec3d axis)
{
    const Vec3d k = unit(axis);
    const double c = std::cos(degrees * M_PI / 180.0);
    const double s = std::sin(degrees * M_PI / 180.0);
    const auto rotate = [&](Vec3d v) { return c * v + s * cross(k, v) + ((1.0 - c) * dot(k, v)) * k; };
    return {rotate({1.0, 0.0, 0.0}), rotate({0.0, 1.0, 0.0}), rotate({0.0, 0.0, 1.0}), {0.0, 0.0, 0.0}};
}

// The three boxes of the scene. Each spans x and z from -1 to 1 and y from 0
// to 1 of its own frame and shades from colour A at x = 1 to B at x = -1.
// Box 1 turns in place by spinA; box 2 is carried round the vertical axis at
// radius 1, just above box 1, by spinB - spinA plus a third of a turn; box 3
// hangs higher up and turns by spinB about an axis tilted towards x.
struct SceneBox {
    const char *name;
    Rgb a, b;
    Placement (*place)(double spinA, double spinB);
};

// clang-format off
const SceneBox BOXES[] = {
    {"box 1", {0.55f,  1.0f,   0.333f}, {1.0f,   0.09f,  0.09f},
     [](double spinA, double) { return turn(spinA, UP); }},
    {"box 2", {0.2f,   0.106f, 0.78f},  {0.615f, 0.051f, 0.557f},
     [](double spinA, double spinB) { return turn(spinB - spinA + 120.0, UP) * shift({1.0, 1.2, 0.0}); }},
    {"box 3", {0.93f,  0.91f,  0.12f},  {0.247f, 0.486f, 0.485f},
     [](double, double spinB) { return shift({0.3, 3.1, 0.0}) * turn(spinB, {0.35, 1.0, 0.0}); }},
};
constexpr int BOX_COUNT = 3;

// Indexed by face: twice the axis, plus one on its positive side.
const Vec3d FACE_NORMALS[6] = {
    {-1.0,  0.0,  0.0}, {1.0, 0.0, 0.0},
    { 0.0, -1.0,  0.0}, {0.0, 1.0, 0.0},
    { 0.0,  0.0, -1.0}, {0.0, 0.0, 1.0},
};
// clang-format on

// Where a sight line first meets a box: the face it enters by (a box is
// convex, so that face faces the eye and escapes culling).
struct Hit {
    int box = -1; // -1: the background
    int face = -1;
    double depth = 0.0;  // along the view direction
    double localX = 0.0; // in the box's own frame, for its colour gradient
};

// The slab method in the box's own frame, where the line runs from `from`
// along `along`, one unit of depth per unit of `along`.
std::optional<Hit> enterBox(const double from[3], const double along[3])
{
    const double low[3] = {-1.0, 0.0, -1.0};
    const double high[3] = {1.0, 1.0, 1.0};
    double enter = -std::numeric_limits<double>::infinity();
    double leave = std::numeric_limits<double>::infinity();
    int face = -1;
    for (int axis = 0; axis < 3; ++axis) {
        if (along[axis] == 0.0) {
            if (from[axis] < low[axis] || from[axis] > high[axis])
                return std::nullopt;
            continue;
        }
        const double toLow = (low[axis] - from[axis]) / along[axis];
        const double toHigh = (high[axis] - from[axis]) / along[axis];
        if (std::min(toLow, toHigh) > enter) {
            enter = std::min(toLow, toHigh);
            face = 2 * axis + (along[axis] < 0.0 ? 1 : 0);
        }
        leave = std::min(leave, std::max(toLow, toHigh));
    }
    if (enter > leave || enter <= 0.0)
        return std::nullopt;
    return Hit{-1, face, enter, from[0] + enter * along[0]};
}

struct View {
    const char *name;
    Vec3d eye, look;
    float spinA, spinB;
    Lights lights;
};

// The nearest box face on the sight line through window point (x, y), inside
// the depth range the projection keeps (0.1 to 60).
Hit firstHit(const View &view, const Placement (&placements)[BOX_COUNT], double x, double y)
{
    const Vec3d line = sightLine(x, y, view.look, WIDTH, HEIGHT);
    Hit nearest;
    for (int box = 0; box < BOX_COUNT; ++box) {
        const Placement &p = placements[box];
        const Vec3d offset = view.eye - p.origin;
        const double from[3] = {dot(offset, p.x), dot(offset, p.y), dot(offset, p.z)};
        const double along[3] = {dot(line, p.x), dot(line, p.y), dot(line, p.z)};
        const std::optional<Hit> hit = enterBox(from, along);
        if (hit && hit->depth > 0.1 && hit->depth < 60.0 && (nearest.box < 0 || hit->depth < nearest.depth)) {
            nearest = *hit;
            nearest.box = box;
        }
    }
    return nearest;
}

// Pixels nearer than this to an edge are left out: which side of it the
// rasteriser puts them on is GL's business.
constexpr double EDGE_GUARD = 1.5;

// What window pixel (x, y) must show, or nothing near an edge: the sight
// lines through its centre and four points round it must meet the same face.
std::optional<Hit> unambiguousHit(const View &view, const Placement (&placements)[BOX_COUNT], int x, int y)
{
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    const Hit centre = firstHit(view, placements, cx, cy);
    for (double dx : {-EDGE_GUARD, EDGE_GUARD})
        for (double dy : {-EDGE_GUARD, EDGE_GUARD}) {
            const Hit nearby = firstHit(view, placements, cx + dx, cy + dy);
            if (nearby.box != centre.box || nearby.face != centre.face)
                return std::nullopt;
        }
    return centre;
}

// Lighting is worked out at the vertices and clamped there; every vertex of a
// face shares its normal, so the face blends the two lit colours along x.
Rgb shade(const View &view, const Placement (&placements)[BOX_COUNT], const Hit &hit)
{
    if (hit.box < 0)
        return WHITE;
    const SceneBox &box = BOXES[hit.box];
    const Vec3d normal = turnVector(placements[hit.box], FACE_NORMALS[hit.face]);
    const double level = lightLevel(view.lights, toEyeSpace(normal, view.look));
    return mixColour(scaleColour(box.a, level), scaleColour(box.b, level), (1.0 - hit.localX) / 2.0);
}

void useView(const View &view)
{
    scene.eye = view.eye;
    scene.look = view.look;
    scene.spinA = view.spinA;
    scene.spinB = view.spinB;
    if (view.lights.zero)
        glEnable(GL_LIGHT0);
    else
        glDisable(GL_LIGHT0);
    if (view.lights.one)
        glEnable(GL_LIGHT1);
    else
        glDisable(GL_LIGHT1);
}

class SceneDrawTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        openTestWindow();
        resetScene();
        initRendering();
        reshapeView(WIDTH, HEIGHT);
    }

    void TearDown() override { resetScene(); }
};

// Every third pixel of each frame, off the edges, shows the box face its
// sight line meets first, in the colour the lights give it there, or white.
// The views cover the start pose under each light switch, box 1 a quarter
// turn at a time (spinB as far on as the tick takes it), an odd pose that
// turns box 3 about its tilted axis, and light 1, which follows the camera,
// from three sides.
TEST_F(SceneDrawTest, EveryBoxIsWhereAndInTheColoursTheSceneGeometryPutsIt)
{
    constexpr Vec3d START_EYE = {0.0, 2.0, 7.0};
    constexpr Vec3d ALONG_MINUS_Z = {0.0, 0.0, -1.0};
    constexpr Lights LIGHT0 = {true, false};
    constexpr Lights LIGHT1 = {false, true};
    constexpr int STEP = 3;
    constexpr int MIN_PIXELS_PER_BOX = 200;
    // clang-format off
    const View views[] = {
        {"start",                    START_EYE,         ALONG_MINUS_Z,      0.0f,   0.0f, LIGHT0},
        {"start, dark",              START_EYE,         ALONG_MINUS_Z,      0.0f,   0.0f, {false, false}},
        {"start, light 1",           START_EYE,         ALONG_MINUS_Z,      0.0f,   0.0f, LIGHT1},
        {"quarter turn",             START_EYE,         ALONG_MINUS_Z,     90.0f, 144.0f, LIGHT0},
        {"half turn",                START_EYE,         ALONG_MINUS_Z,    180.0f, 288.0f, LIGHT0},
        {"three quarter turn",       START_EYE,         ALONG_MINUS_Z,    270.0f,  72.0f, LIGHT0},
        {"odd pose, from above",     {1.0, 6.0, 6.0},   {-0.1, -0.6, -1.0}, 37.0f, 59.2f, LIGHT0},
        {"right of the boxes",       {4.0, 2.0, 7.0},   ALONG_MINUS_Z,      0.0f,   0.0f, LIGHT1},
        {"left of the boxes",        {-4.0, 2.0, 7.0},  ALONG_MINUS_Z,      0.0f,   0.0f, LIGHT1},
        {"from +x, looking along -x", {7.0, 2.0, -2.0}, {-1.0, 0.0, 0.0},   0.0f,   0.0f, LIGHT1},
    };
    // clang-format on
    for (const View &view : views) {
        SCOPED_TRACE(view.name);
        useView(view);
        displayScene();
        const GlFrame frame = readFrame(WIDTH, HEIGHT);

        Placement placements[BOX_COUNT];
        for (int box = 0; box < BOX_COUNT; ++box)
            placements[box] = BOXES[box].place(view.spinA, view.spinB);

        int compared[BOX_COUNT] = {};
        int mismatches = 0;
        testing::Message first;
        for (int y = 0; y < HEIGHT; y += STEP)
            for (int x = 0; x < WIDTH; x += STEP) {
                const std::optional<Hit> hit = unambiguousHit(view, placements, x, y);
                if (!hit)
                    continue;
                if (hit->box >= 0)
                    ++compared[hit->box];
                const testing::AssertionResult match =
                    colourNear(frame.at(x, y), shade(view, placements, *hit), TOLERANCE);
                if (!match && mismatches++ == 0)
                    first << "first at pixel " << x << ", " << y << " ("
                          << (hit->box < 0 ? "background" : BOXES[hit->box].name) << "): " << match.message();
            }
        EXPECT_EQ(mismatches, 0) << first;
        for (int box = 0; box < BOX_COUNT; ++box)
            EXPECT_GE(compared[box], MIN_PIXELS_PER_BOX) << BOXES[box].name << " hardly in view";
    }
}

// GLUT's sphere has its poles on its own z axis and its first meridian on its
// own x axis. Seen down that axis, its rings of vertices project to concentric
// regular polygons, corners on the meridians, so the outline is the largest of
// them; and light 0, shining along the view, lights a vertex by its polar
// angle alone, so under flat shading every facet shows the lit colour of one
// ring.
TEST_F(SceneDrawTest, SphereSeenDownItsPoleShowsItsRingsAndSlicesFlatShaded)
{
    constexpr Vec3d CENTRE = {12.0, 1.0, 0.0};
    constexpr double RADIUS = 1.0;
    constexpr int SLICES = 20;
    constexpr int STACKS = 16;
    constexpr Rgb COLOUR = {0.999f, 0.96f, 0.0f};
    constexpr double EYE_DISTANCE = 2.2; // radii: the sphere nearly fills the view

    scene.eye = CENTRE + Vec3d{0.0, 0.0, EYE_DISTANCE * RADIUS};
    scene.look = {0.0, 0.0, -1.0};
    displayScene();
    const GlFrame frame = readFrame(WIDTH, HEIGHT);

    const WindowPoint centre = projectPoint(CENTRE, scene.eye, scene.look, WIDTH, HEIGHT);
    std::vector<Rgb> ringColours;
    double outline = 0.0; // screen radius of the largest ring's corners
    for (int ring = 0; ring <= STACKS; ++ring) {
        const double polar = ring * M_PI / STACKS;
        const Vec3d vertex = CENTRE + RADIUS * Vec3d{std::sin(polar), 0.0, std::cos(polar)};
        outline = std::max(outline, projectPoint(vertex, scene.eye, scene.look, WIDTH, HEIGHT).x - centre.x);
        ringColours.push_back(scaleColour(COLOUR, lightLevel({true, false}, vertex - CENTRE)));
    }

    const double halfWedge = M_PI / SLICES;
    const double inside = outline * std::cos(halfWedge) - EDGE_GUARD;
    int mismatches = 0;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            if (std::hypot(x + 0.5 - centre.x, y + 0.5 - centre.y) > inside)
                continue;
            const Rgb actual = frame.at(x, y);
            if (std::none_of(ringColours.begin(), ringColours.end(),
                             [&](Rgb ring) { return sameColour(actual, ring, TOLERANCE); }))
                ++mismatches;
        }
    EXPECT_EQ(mismatches, 0) << "pixels inside the outline in no ring's colour";

    // Where the outline meets the background along a ray from the centre.
    const auto edgeAlong = [&](double angle) {
        double r = 0.8 * outline;
        while (r < 1.2 * outline) {
            const int x = static_cast<int>(std::floor(centre.x + r * std::cos(angle)));
            const int y = static_cast<int>(std::floor(centre.y + r * std::sin(angle)));
            if (frame.at(x, y).b > 0.5f)
                break;
            r += 0.25;
        }
        return r;
    };
    double corners = 0.0;
    double edgeMiddles = 0.0;
    for (int slice = 0; slice < SLICES; ++slice) {
        corners += edgeAlong(2.0 * slice * halfWedge) / SLICES;
        edgeMiddles += edgeAlong((2.0 * slice + 1.0) * halfWedge) / SLICES;
    }
    EXPECT_NEAR(corners, outline, 1.0);
    EXPECT_NEAR(corners - edgeMiddles, outline * (1.0 - std::cos(halfWedge)), 1.0);
}

// The sphere must take the current colour, not a stale colour array, and
// the frame must leave the state the next frame starts from.
TEST_F(SceneDrawTest, LeavesColourArrayOffShadingSmoothAndModelviewSelected)
{
    glMatrixMode(GL_PROJECTION);
    displayScene();

    GLint shadeModel = 0;
    GLint mode = 0;
    GLint depth = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_EQ(shadeModel, GL_SMOOTH);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(depth, 1);
}

} // namespace
