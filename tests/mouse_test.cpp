// Mouse handlers called directly: the anchor, turning by the horizontal
// distance, the fixed vertical tilt step, and positions far outside the window.
#include "app/scene_state.h"
#include "interact/mouse.h"
#include "support/gl_window.h"
#include "support/scene_compare.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace
{

// 3.14159 / 180, not pi / 180: the start look vector agrees with it.
constexpr double RADIANS_PER_DEGREE = 0.017453277777777776;

void expectLookFromHeading(double heading)
{
    EXPECT_DOUBLE_EQ(scene.heading, heading);
    EXPECT_DOUBLE_EQ(scene.look.x, std::cos(heading * RADIANS_PER_DEGREE));
    EXPECT_DOUBLE_EQ(scene.look.z, std::sin(heading * RADIANS_PER_DEGREE));
}

class MouseTest : public ::testing::Test
{
  protected:
    void SetUp() override { resetScene(); }

    static void anchorAt(int x, int y) { onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y); }
};

TEST_F(MouseTest, LeftPressSetsTheAnchorOnly)
{
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 123, -45);
    EXPECT_EQ(scene.anchorX, 123);
    EXPECT_EQ(scene.anchorY, -45);
    expectSceneExceptAnchor(SCENE_START);
}

TEST_F(MouseTest, OtherButtonsAndReleasesLeaveTheAnchor)
{
    for (int button = 0; button <= 9; ++button) {
        for (int state : {GLUT_DOWN, GLUT_UP}) {
            if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN)
                continue;
            SCOPED_TRACE(button);
            SCOPED_TRACE(state);
            anchorAt(5, 7);
            onMouseButton(button, state, 300, 200);
            EXPECT_EQ(scene.anchorX, 5);
            EXPECT_EQ(scene.anchorY, 7);
            expectSceneExceptAnchor(SCENE_START);
        }
    }
}

struct TurnCase {
    int dx;
    double heading; // from the start heading of 270
};

// One degree per pixel, wrapped by one turn at most; exactly 0 and 360 stay.
const TurnCase TURN_CASES[] = {
    {1, 271.0},   {10, 280.0},   {-1, 269.0},     {-270, 0.0}, {-271, 359.0}, {90, 360.0},  {91, 1.0},
    {400, 310.0}, {1000, 910.0}, {-1000, -370.0}, {-630, 0.0}, {-631, -1.0},  {450, 360.0},
};

TEST_F(MouseTest, HorizontalDragTurnsOneDegreePerPixel)
{
    for (const TurnCase &turn : TURN_CASES) {
        SCOPED_TRACE(turn.dx);
        resetScene();
        anchorAt(100, 50);
        onMouseDrag(100 + turn.dx, 50);
        expectLookFromHeading(turn.heading);
        EXPECT_EQ(scene.anchorX, 100 + turn.dx);
        EXPECT_EQ(scene.look.y, 0.0);
    }
}

TEST_F(MouseTest, DraggingRightTurnsTheViewRight)
{
    // Looking along -z, the right is +x.
    anchorAt(0, 0);
    onMouseDrag(1, 0);
    EXPECT_GT(scene.look.x, 0.0);
    EXPECT_LT(scene.look.z, 0.0);
}

TEST_F(MouseTest, LookUsesPiAsFiveDecimals)
{
    // At 360 degrees sin(2 * 3.14159) is -5.3e-6 rather than 0.
    anchorAt(0, 0);
    onMouseDrag(90, 0);
    EXPECT_NEAR(scene.look.z, -5.30717958669e-6, 1e-16);
    EXPECT_NEAR(scene.look.x, 1.0, 1e-10);
}

TEST_F(MouseTest, RightButtonDragStartsFromTheLastAnchor)
{
    anchorAt(100, 50);
    onMouseDrag(130, 50);
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 130, 50);
    onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 500, 50);
    onMouseDrag(510, 50);
    // 270 + 30 + 380 = 680, wrapped once.
    expectLookFromHeading(320.0);
}

TEST_F(MouseTest, FirstDragWithoutAPressStartsFromTheOrigin)
{
    onMouseDrag(20, 0);
    expectLookFromHeading(290.0);
}

struct TiltCase {
    int dy;
    double lookY;
};

// One fixed step per event, whatever the distance; y grows downwards.
const TiltCase TILT_CASES[] = {
    {1, -0.02},
    {1000, -0.02},
    {-1, 0.02},
    {-1000, 0.02},
};

TEST_F(MouseTest, VerticalDragTiltsOneFixedStep)
{
    for (const TiltCase &tilt : TILT_CASES) {
        SCOPED_TRACE(tilt.dy);
        resetScene();
        anchorAt(10, 20);
        onMouseDrag(10, 20 + tilt.dy);
        EXPECT_EQ(scene.look.y, tilt.lookY);
        EXPECT_EQ(scene.anchorY, 20 + tilt.dy);
    }
}

struct LimitCase {
    double lookY;
    int dy;
    double expected;
};

// The limit is tested before the step, so a value just inside ends past it.
const LimitCase LIMIT_CASES[] = {
    {2.0, -5, 2.0},  {2.5, -5, 2.5},           {1.99, -5, 1.99 + 0.02}, {-2.0, 5, -2.0},
    {-2.5, 5, -2.5}, {-1.99, 5, -1.99 - 0.02}, {2.0, 5, 2.0 - 0.02},    {-2.0, -5, -2.0 + 0.02},
};

TEST_F(MouseTest, TiltStopsAtTheLimitButTheAnchorMoves)
{
    for (const LimitCase &limit : LIMIT_CASES) {
        SCOPED_TRACE(limit.lookY);
        SCOPED_TRACE(limit.dy);
        resetScene();
        scene.look.y = limit.lookY;
        anchorAt(0, 100);
        onMouseDrag(0, 100 + limit.dy);
        EXPECT_EQ(scene.look.y, limit.expected);
        EXPECT_EQ(scene.anchorY, 100 + limit.dy);
    }
}

TEST_F(MouseTest, PurelyVerticalDragLeavesTheHeading)
{
    // The start look (0, 0, -1) is not exactly cos/sin of 270: any recompute shows.
    anchorAt(40, 40);
    onMouseDrag(40, 90);
    SceneState expected = SCENE_START;
    expected.look.y = -0.02;
    expectSceneExceptAnchor(expected);
    EXPECT_EQ(scene.anchorX, 40);
}

TEST_F(MouseTest, PurelyHorizontalDragLeavesTheTilt)
{
    scene.look.y = 0.7;
    anchorAt(40, 40);
    onMouseDrag(90, 40);
    EXPECT_EQ(scene.look.y, 0.7);
    EXPECT_EQ(scene.anchorY, 40);
    expectLookFromHeading(320.0);
}

TEST_F(MouseTest, DragLeavesEyeAndSpins)
{
    scene.spinA = 12.0f;
    scene.spinB = 34.0f;
    anchorAt(0, 0);
    onMouseDrag(37, -11);
    EXPECT_EQ(scene.eye.x, SCENE_START.eye.x);
    EXPECT_EQ(scene.eye.y, SCENE_START.eye.y);
    EXPECT_EQ(scene.eye.z, SCENE_START.eye.z);
    EXPECT_EQ(scene.spinA, 12.0f);
    EXPECT_EQ(scene.spinB, 34.0f);
}

struct ExtremeCase {
    int anchor;
    int to;
    double heading; // exact in double: the distance is computed without int overflow
};

const ExtremeCase EXTREME_X_CASES[] = {
    {INT_MIN, INT_MAX, 270.0 + 4294967295.0 - 360.0}, {INT_MAX, INT_MIN, 270.0 - 4294967295.0 + 360.0},
    {INT_MIN, 0, 270.0 + 2147483648.0 - 360.0},       {0, INT_MIN, 270.0 - 2147483648.0 + 360.0},
    {-1, INT_MAX, 270.0 + 2147483648.0 - 360.0},      {INT_MAX, -1, 270.0 - 2147483648.0 + 360.0},
};

TEST_F(MouseTest, ExtremeHorizontalPositionsTurnByTheExactDistance)
{
    for (const ExtremeCase &extreme : EXTREME_X_CASES) {
        SCOPED_TRACE(extreme.anchor);
        SCOPED_TRACE(extreme.to);
        resetScene();
        anchorAt(extreme.anchor, 0);
        onMouseDrag(extreme.to, 0);
        EXPECT_EQ(scene.heading, extreme.heading);
        expectLookFromHeading(extreme.heading);
        EXPECT_TRUE(std::isfinite(scene.look.x) && std::isfinite(scene.look.z));
        EXPECT_NEAR(std::hypot(scene.look.x, scene.look.z), 1.0, 1e-12);
        EXPECT_EQ(scene.anchorX, extreme.to);
    }
}

struct VerticalExtreme {
    int anchor;
    int to;
    double lookY;
};

TEST_F(MouseTest, ExtremeVerticalPositionsTiltOneStep)
{
    const VerticalExtreme cases[] = {{INT_MIN, INT_MAX, -0.02}, {INT_MAX, INT_MIN, 0.02}};
    for (const VerticalExtreme &extreme : cases) {
        SCOPED_TRACE(extreme.anchor);
        resetScene();
        anchorAt(0, extreme.anchor);
        onMouseDrag(0, extreme.to);
        EXPECT_EQ(scene.look.y, extreme.lookY);
        EXPECT_EQ(scene.anchorY, extreme.to);
        EXPECT_EQ(scene.heading, SCENE_START.heading);
    }
}

} // namespace
