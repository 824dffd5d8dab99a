// Frames drawn by displayScene, read back pixel by pixel and compared with
// colours worked out from the scene geometry and GL's lighting equation.
#include "app/scene_state.h"
#include "render/projection.h"
#include "render/render_state.h"
#include "render/scene_draw.h"
#include "support/camera_math.h"
#include "support/gl_window.h"
#include "support/lighting.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr double FLAT_TOLERANCE = 3.0 / 255.0;
constexpr double GRADIENT_TOLERANCE = 5.0 / 255.0;

constexpr Rgb WHITE = {1.0f, 1.0f, 1.0f};
constexpr Rgb BOX1_A = {0.55f, 1.0f, 0.333f};
constexpr Rgb BOX1_B = {1.0f, 0.09f, 0.09f};
constexpr Rgb SPHERE_COLOUR = {0.999f, 0.96f, 0.0f};
constexpr Vec3d SPHERE_CENTRE = {12.0, 1.0, 0.0};
constexpr double SPHERE_RADIUS = 1.0;

// Light 1 comes from (12, 1, 0) in eye coordinates with ambient 0.2 and
// diffuse 1; light 0 (GL's default) from the viewer, straight along the view.
constexpr Vec3d LIGHT1_FROM = {12.0, 1.0, 0.0};
constexpr double LIGHT1_AMBIENT = 0.2;
constexpr double FACING_LIGHT0 = GLOBAL_AMBIENT + 1.0;

double dot(Vec3d a, Vec3d b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3d unit(Vec3d a)
{
    const double length = std::sqrt(dot(a, a));
    return {a.x / length, a.y / length, a.z / length};
}

Vec3d cross(Vec3d a, Vec3d b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A world direction as the camera sees it: x to the right, y up, z back
// towards the viewer.
Vec3d toEyeSpace(Vec3d direction, Vec3d look)
{
    const Vec3d forward = unit(look);
    const Vec3d side = unit(cross(forward, {0.0, 1.0, 0.0}));
    const Vec3d up = cross(side, forward);
    return {dot(direction, side), dot(direction, up), -dot(direction, forward)};
}

// The factor by which light 1 alone scales a surface colour. GL scales every
// term of a spot light, ambient included, by (cos of the angle between the
// light-to-vertex direction and the spot direction)^exponent, directional
// lights included: here (12 / sqrt(145))^12, about 0.959. Mesa's llvmpipe
// applies it too; leaving it out would be about 7/255 brighter on a lit face.
double lightOneOnly(Vec3d eyeNormal)
{
    const Vec3d from = unit(LIGHT1_FROM);
    const Vec3d spotDirection = {-1.0, 0.0, 0.0};
    const double spot = std::pow(-dot(from, spotDirection), 12.0);
    const double diffuse = std::max(0.0, dot(unit(eyeNormal), from));
    return GLOBAL_AMBIENT + spot * (LIGHT1_AMBIENT + diffuse);
}

void switchLights(bool light0, bool light1)
{
    if (light0)
        glEnable(GL_LIGHT0);
    else
        glDisable(GL_LIGHT0);
    if (light1)
        glEnable(GL_LIGHT1);
    else
        glDisable(GL_LIGHT1);
}

WindowPoint onScreen(Vec3d point)
{
    return projectPoint(point, scene.eye, scene.look, WIDTH, HEIGHT);
}

Rgb pixelUnder(WindowPoint point)
{
    return readPixel(static_cast<int>(std::floor(point.x)), static_cast<int>(std::floor(point.y)));
}

// Only the sphere has no blue at all: every box colour has some, which
// even the global ambient level alone keeps above this.
bool isSphereYellow(Rgb c)
{
    return c.b < 6.0f / 255.0f && c.r > 0.3f && c.g > 0.3f && std::fabs(c.r - c.g) < 0.1f;
}

int countSphereYellowPixels()
{
    std::vector<GLfloat> frame(static_cast<size_t>(WIDTH * HEIGHT * 3));
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_FLOAT, frame.data());
    int count = 0;
    for (size_t i = 0; i < frame.size(); i += 3)
        count += isSphereYellow({frame[i], frame[i + 1], frame[i + 2]}) ? 1 : 0;
    return count;
}

// Box 1's front face (z = 1) along its middle row, away from its edges.
// Lighting is worked out at the vertices, clamped there, then interpolated;
// the face is parallel to the screen, so linearly in window x.
void expectFrontFaceOfBoxOne(Rgb atLeftEdge, Rgb atRightEdge, double factor)
{
    const WindowPoint left = onScreen({-1.0, 0.5, 1.0});
    const WindowPoint right = onScreen({1.0, 0.5, 1.0});
    for (double x : {-0.8, -0.4, 0.0, 0.4, 0.8}) {
        const WindowPoint point = onScreen({x, 0.5, 1.0});
        const double t = (std::floor(point.x) + 0.5 - left.x) / (right.x - left.x);
        const Rgb expected = mixColour(scaleColour(atLeftEdge, factor), scaleColour(atRightEdge, factor), t);
        EXPECT_TRUE(colourNear(pixelUnder(point), expected, GRADIENT_TOLERANCE)) << "at x = " << x;
    }
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

TEST_F(SceneDrawTest, ClearsToWhite)
{
    displayScene();
    for (int x : {0, WIDTH - 1})
        for (int y : {0, HEIGHT - 1})
            EXPECT_TRUE(colourNear(readPixel(x, y), WHITE, FLAT_TOLERANCE)) << "corner " << x << ", " << y;
}

// From the start pose the front face looks at the camera, so its normal is
// the eye's +z: light 0 gives it the full diffuse term, light 1 none.
TEST_F(SceneDrawTest, FrontFaceOfBoxOneUnderEachLightSwitch)
{
    const struct {
        const char *name;
        bool light0, light1;
        double factor;
    } table[] = {
        {"start: light 0", true, false, FACING_LIGHT0},
        {"dark", false, false, GLOBAL_AMBIENT},
        {"light 1 only", false, true, lightOneOnly({0.0, 0.0, 1.0})},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        switchLights(row.light0, row.light1);
        displayScene();
        expectFrontFaceOfBoxOne(BOX1_B, BOX1_A, row.factor);
    }
}

// Box 1 turns about the vertical axis: each quarter turn brings another side
// round to face the camera, the left (plain B) first.
TEST_F(SceneDrawTest, BoxOneTurnsWithSpinA)
{
    const struct {
        float spinA;
        Rgb atLeftEdge, atRightEdge;
    } table[] = {
        {0.0f, BOX1_B, BOX1_A},
        {90.0f, BOX1_B, BOX1_B},
        {180.0f, BOX1_A, BOX1_B},
        {270.0f, BOX1_A, BOX1_A},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(testing::Message() << "spinA " << row.spinA);
        scene.spinA = row.spinA;
        scene.spinB = 1.6f * row.spinA;
        displayScene();
        expectFrontFaceOfBoxOne(row.atLeftEdge, row.atRightEdge, FACING_LIGHT0);
    }
}

// Light 1 is fixed to the camera: whichever face is turned to the viewer's
// right is bright, faces turned away get the ambient terms only.
TEST_F(SceneDrawTest, LightOneLightsFacesTurnedToTheViewersRight)
{
    const struct {
        const char *name;
        Vec3d eye, look;
        Vec3d faceCentre, faceNormal;
        Rgb colour;
    } table[] = {
        {"right face, looking along -z",
         {4.0, 2.0, 7.0},
         {0.0, 0.0, -1.0},
         {1.0, 0.5, 0.0},
         {1.0, 0.0, 0.0},
         BOX1_A},
        {"left face, looking along -z",
         {-4.0, 2.0, 7.0},
         {0.0, 0.0, -1.0},
         {-1.0, 0.5, 0.0},
         {-1.0, 0.0, 0.0},
         BOX1_B},
        {"right face, looking along -x",
         {7.0, 2.0, -2.0},
         {-1.0, 0.0, 0.0},
         {1.0, 0.5, 0.0},
         {1.0, 0.0, 0.0},
         BOX1_A},
    };
    switchLights(false, true);
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        scene.eye = row.eye;
        scene.look = row.look;
        displayScene();
        const double factor = lightOneOnly(toEyeSpace(row.faceNormal, row.look));
        EXPECT_TRUE(colourNear(pixelUnder(onScreen(row.faceCentre)), scaleColour(row.colour, factor),
                               FLAT_TOLERANCE));
    }
}

TEST_F(SceneDrawTest, SphereIsOutsideTheStartView)
{
    const WindowPoint centre = onScreen(SPHERE_CENTRE);
    ASSERT_GT(centre.x, WIDTH + 100.0) << "the sphere should lie well to the right of the start view";

    displayScene();
    EXPECT_EQ(countSphereYellowPixels(), 0);
}

// The sphere's radius on screen, from the cone of sight lines touching it.
double apparentRadius(Vec3d centre)
{
    const Vec3d offset = {centre.x - scene.eye.x, centre.y - scene.eye.y, centre.z - scene.eye.z};
    const double halfAngle = std::asin(SPHERE_RADIUS / std::sqrt(dot(offset, offset)));
    return std::tan(halfAngle) / std::tan(30.0 * M_PI / 180.0) * HEIGHT / 2.0;
}

// Flat shading takes each facet's colour from one of its vertex normals,
// within two facet steps (18 and 11.25 degrees) of the one facing the camera;
// any normal within 50 degrees of light 0 already clamps to (1, 1, 0).
TEST_F(SceneDrawTest, SphereAppearsYellowWhereTheCameraTurns)
{
    const Vec3d targets[] = {SPHERE_CENTRE, {12.5, 2.0, 1.5}};
    const double worstFacet = std::cos(30.0 * M_PI / 180.0);
    for (const Vec3d &target : targets) {
        SCOPED_TRACE(testing::Message() << "looking at " << target.x << ", " << target.y << ", " << target.z);
        scene.look = {target.x - scene.eye.x, target.y - scene.eye.y, target.z - scene.eye.z};
        displayScene();

        const WindowPoint centre = onScreen(SPHERE_CENTRE);
        const double radius = apparentRadius(SPHERE_CENTRE);
        EXPECT_TRUE(colourBetween(pixelUnder(centre), scaleColour(SPHERE_COLOUR, GLOBAL_AMBIENT + worstFacet),
                                  scaleColour(SPHERE_COLOUR, FACING_LIGHT0), FLAT_TOLERANCE));
        for (double dx : {-1.0, 1.0}) {
            for (double dy : {-1.0, 1.0}) {
                const WindowPoint inside = {centre.x + 0.5 * dx * radius, centre.y + 0.5 * dy * radius, 0.0};
                const WindowPoint outside = {centre.x + 1.5 * dx * radius, centre.y + 1.5 * dy * radius, 0.0};
                EXPECT_TRUE(isSphereYellow(pixelUnder(inside))) << "inside " << dx << ", " << dy;
                EXPECT_TRUE(colourNear(pixelUnder(outside), WHITE, FLAT_TOLERANCE))
                    << "outside " << dx << ", " << dy;
            }
        }
        const double disc = M_PI * radius * radius;
        const int count = countSphereYellowPixels();
        EXPECT_GT(count, 0.85 * disc);
        EXPECT_LT(count, 1.1 * disc);
    }
}

// Under light 1 alone the sphere's middle row runs from its ambient-only left
// half to clamped yellow on the right. Flat shading crosses the lit band in
// steps, one per facet (near the centre about R sin 18 degrees, some 11 pixels,
// wide); smooth shading would change colour at nearly every pixel there.
TEST_F(SceneDrawTest, SphereIsFlatShadedFacets)
{
    switchLights(false, true);
    scene.look = {SPHERE_CENTRE.x - scene.eye.x, SPHERE_CENTRE.y - scene.eye.y,
                  SPHERE_CENTRE.z - scene.eye.z};
    displayScene();

    const WindowPoint centre = onScreen(SPHERE_CENTRE);
    const double radius = apparentRadius(SPHERE_CENTRE);
    const Rgb ambientOnly = scaleColour(SPHERE_COLOUR, lightOneOnly({-1.0, 0.0, 0.0}));
    EXPECT_TRUE(
        colourNear(pixelUnder({centre.x - 0.5 * radius, centre.y, 0.0}), ambientOnly, FLAT_TOLERANCE));

    const int y = static_cast<int>(std::floor(centre.y));
    int longestLitRun = 0;
    int run = 0;
    Rgb previous = ambientOnly;
    for (int x = static_cast<int>(centre.x - 0.9 * radius); x <= static_cast<int>(centre.x + 0.9 * radius);
         ++x) {
        const Rgb colour = readPixel(x, y);
        const bool lit = colour.g > ambientOnly.g + 3.0f / 255.0f && colour.g < 1.0f - 3.0f / 255.0f;
        run = !lit ? 0 : colourNear(colour, previous, 1.0 / 255.0) ? run + 1 : 1;
        longestLitRun = std::max(longestLitRun, run);
        previous = colour;
    }
    EXPECT_GE(longestLitRun, 5) << "no facet of one colour across the lit band";
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
