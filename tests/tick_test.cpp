// The animation tick called directly: tilt, eye movement, the two spins,
// and the frame request and re-arming seen through GLUT's own event loop.
#include "app/scene_state.h"
#include "interact/tick.h"
#include "support/gl_window.h"
#include "support/scene_compare.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace
{

constexpr double RADIANS_PER_DEGREE = 0.017453277777777776;

Vec3d lookAt(double heading, double lookY)
{
    return {std::cos(heading * RADIANS_PER_DEGREE), lookY, std::sin(heading * RADIANS_PER_DEGREE)};
}

// A state away from the start: moved, turned, tilted, anchored, spun.
SceneState wanderedState()
{
    SceneState state = SCENE_START;
    state.eye = {-3.25, 0.5, 11.75};
    state.heading = 37.0;
    state.look = lookAt(37.0, 0.84);
    state.spinA = 10.0f;
    state.spinB = 20.0f;
    state.anchorX = 311;
    state.anchorY = -42;
    return state;
}

class TickTest : public ::testing::Test
{
  protected:
    // onTick posts a redisplay and arms a timer: both need GLUT and a current window.
    void SetUp() override
    {
        openTestWindow();
        resetScene();
    }
};

TEST_F(TickTest, WithNoKeyHeldOnlyTheSpinsAdvance)
{
    for (const SceneState &start : {SCENE_START, wanderedState()}) {
        SCOPED_TRACE(start.heading);
        scene = start;
        onTick(0);
        SceneState expected = start;
        expected.spinA = start.spinA + 1.0f;
        expected.spinB = start.spinB + 1.6f;
        expectScene(expected);
    }
}

struct TiltCase {
    bool up;
    bool down;
    double from;
    double to;
    double tolerance;
};

// The limit is tested before the step; up is applied before down.
const TiltCase TILT_CASES[] = {
    {true, false, 0.0, 0.02, 0.0},         {false, true, 0.0, -0.02, 0.0},
    {true, false, 2.0, 2.0, 0.0},          {false, true, -2.0, -2.0, 0.0},
    {true, false, 1.99, 1.99 + 0.02, 0.0}, {false, true, -1.99, -1.99 - 0.02, 0.0},
    {true, false, 2.01, 2.01, 0.0},        {false, true, -2.01, -2.01, 0.0},
    {true, true, 0.5, 0.5, 1e-15},         {true, true, -1.99, -1.99, 1e-15},
    {true, true, 2.0, 2.0 - 0.02, 0.0},    {true, true, -2.0, -2.0, 1e-15},
};

TEST_F(TickTest, PageKeysTiltOneStepWhileInsideTheLimit)
{
    for (const TiltCase &tilt : TILT_CASES) {
        SCOPED_TRACE(tilt.from);
        SCOPED_TRACE(tilt.up);
        SCOPED_TRACE(tilt.down);
        resetScene();
        scene.lookUp = tilt.up;
        scene.lookDown = tilt.down;
        scene.look.y = tilt.from;
        onTick(0);
        EXPECT_NEAR(scene.look.y, tilt.to, tilt.tolerance);
        EXPECT_EQ(scene.eye.y, SCENE_START.eye.y);
    }
}

TEST_F(TickTest, TiltComesBeforeTheMove)
{
    scene.lookUp = true;
    scene.moveForward = true;
    onTick(0);
    EXPECT_DOUBLE_EQ(scene.eye.y, SCENE_START.eye.y + 0.2 * 0.02);
}

// Look vectors the moves are tried with: the start one and turned, tilted ones.
const Vec3d LOOKS[] = {
    {0.0, 0.0, -1.0},     lookAt(0.0, 0.0),    lookAt(123.0, 0.5),
    lookAt(200.0, -1.25), lookAt(315.0, 2.01), lookAt(90.0, -2.01),
};

Vec3d eyeStep()
{
    return {scene.eye.x - SCENE_START.eye.x, scene.eye.y - SCENE_START.eye.y,
            scene.eye.z - SCENE_START.eye.z};
}

double length(const Vec3d &v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

using Flag = bool SceneState::*;

// One tick from the start eye with the given look and one move flag held.
Vec3d stepWith(const Vec3d &look, Flag flag)
{
    resetScene();
    scene.look = look;
    scene.*flag = true;
    onTick(0);
    return eyeStep();
}

TEST_F(TickTest, ForwardAndBackFollowTheWholeLookVector)
{
    for (const Vec3d &look : LOOKS) {
        SCOPED_TRACE(look.y);
        const double expectedLength = 0.2 * std::sqrt(1.0 + look.y * look.y);
        for (double sign : {1.0, -1.0}) {
            const Vec3d step = stepWith(look, sign > 0.0 ? &SceneState::moveForward : &SceneState::moveBack);
            EXPECT_NEAR(step.x, sign * 0.2 * look.x, 1e-15);
            EXPECT_NEAR(step.y, sign * 0.2 * look.y, 1e-15);
            EXPECT_NEAR(step.z, sign * 0.2 * look.z, 1e-15);
            EXPECT_NEAR(length(step), expectedLength, 1e-12);
        }
    }
}

TEST_F(TickTest, SidewaysStepsKeepTheHeightAndAreOneFifthLong)
{
    for (const Vec3d &look : LOOKS) {
        SCOPED_TRACE(look.x);
        for (double sign : {1.0, -1.0}) {
            const Vec3d step = stepWith(look, sign > 0.0 ? &SceneState::moveRight : &SceneState::moveLeft);
            EXPECT_EQ(scene.eye.y, SCENE_START.eye.y);
            // Right is the horizontal look turned by +90 degrees about the vertical.
            EXPECT_NEAR(step.x, -sign * 0.2 * look.z, 1e-15);
            EXPECT_NEAR(step.z, sign * 0.2 * look.x, 1e-15);
            EXPECT_NEAR(length(step), 0.2, 1e-12);
        }
    }
}

TEST_F(TickTest, RightFromTheStartViewIsPlusX)
{
    scene.moveRight = true;
    onTick(0);
    EXPECT_NEAR(scene.eye.x, 0.2, 1e-15);
    EXPECT_EQ(scene.eye.z, SCENE_START.eye.z);
}

struct OppositeMoves {
    Flag one;
    Flag other;
};

TEST_F(TickTest, OppositeMovesCancel)
{
    const OppositeMoves pairs[] = {{&SceneState::moveForward, &SceneState::moveBack},
                                   {&SceneState::moveRight, &SceneState::moveLeft}};
    for (const OppositeMoves &pair : pairs) {
        resetScene();
        scene.look = lookAt(200.0, 0.37);
        scene.*pair.one = true;
        scene.*pair.other = true;
        onTick(0);
        EXPECT_NEAR(scene.eye.x, SCENE_START.eye.x, 1e-12);
        EXPECT_NEAR(scene.eye.y, SCENE_START.eye.y, 1e-12);
        EXPECT_NEAR(scene.eye.z, SCENE_START.eye.z, 1e-12);
    }
}

TEST_F(TickTest, AllFourMovesApplyForwardBackRightLeft)
{
    // Values for which most other orders round to a different result.
    const Vec3d look = lookAt(200.0, 0.37);
    Vec3d eye = {0.1, 2.1, 6.9};
    scene.eye = eye;
    scene.look = look;
    scene.moveForward = scene.moveBack = scene.moveRight = scene.moveLeft = true;
    onTick(0);

    eye.x += 0.2 * look.x;
    eye.y += 0.2 * look.y;
    eye.z += 0.2 * look.z;
    eye.x -= 0.2 * look.x;
    eye.y -= 0.2 * look.y;
    eye.z -= 0.2 * look.z;
    eye.x -= 0.2 * look.z;
    eye.z += 0.2 * look.x;
    eye.x += 0.2 * look.z;
    eye.z -= 0.2 * look.x;
    EXPECT_EQ(scene.eye.x, eye.x);
    EXPECT_EQ(scene.eye.y, eye.y);
    EXPECT_EQ(scene.eye.z, eye.z);
}

struct SpinCase {
    float fromA;
    float toA;
    float fromB;
    float toB;
};

// 360 itself is kept for a tick; past it, 360 comes off once.
const SpinCase SPIN_CASES[] = {
    {0.0f, 1.0f, 0.0f, 1.6f},     {359.0f, 360.0f, 358.4f, 360.0f},   {360.0f, 1.0f, 359.0f, 0.6f},
    {359.5f, 0.5f, 358.5f, 0.1f}, {180.25f, 181.25f, 100.0f, 101.6f},
};

TEST_F(TickTest, SpinsWrapOncePast360)
{
    for (const SpinCase &spin : SPIN_CASES) {
        SCOPED_TRACE(static_cast<double>(spin.fromA));
        scene.spinA = spin.fromA;
        scene.spinB = spin.fromB;
        onTick(0);
        EXPECT_EQ(scene.spinA, spin.toA);
        // 1.6 and the results near 360 are not exact in single precision.
        EXPECT_NEAR(static_cast<double>(scene.spinB), static_cast<double>(spin.toB), 1e-4);
    }
}

TEST_F(TickTest, SpinsAccumulateInSinglePrecision)
{
    constexpr int TICKS = 1000;
    float single = 0.0f;
    double twice = 0.0;
    for (int i = 1; i <= TICKS; ++i) {
        onTick(0);
        single += 1.6f;
        if (single > 360.0f)
            single -= 360.0f;
        twice += 1.6;
        if (twice > 360.0)
            twice -= 360.0;
        if (i == 360) {
            EXPECT_EQ(scene.spinA, 360.0f);
        }
        if (i == 361) {
            EXPECT_EQ(scene.spinA, 1.0f);
        }
    }
    EXPECT_EQ(scene.spinA, 280.0f);
    EXPECT_EQ(scene.spinB, single);
    // The two accumulations have drifted apart, so the check above tells them apart.
    ASSERT_NE(single, static_cast<float>(twice));
}

TEST_F(TickTest, ForwardWhenTiltedFullyUpClimbsTwiceAsFastAsItAdvances)
{
    scene.lookUp = true;
    for (int i = 0; i < 120; ++i)
        onTick(0);
    ASSERT_GE(scene.look.y, 2.0);
    ASSERT_LT(scene.look.y, 2.02);

    scene.lookUp = false;
    scene.moveForward = true;
    const Vec3d before = scene.eye;
    onTick(0);
    EXPECT_NEAR(scene.eye.y - before.y, 0.4, 0.004);
    EXPECT_NEAR(std::hypot(scene.eye.x - before.x, scene.eye.z - before.z), 0.2, 1e-12);
}

int framesDrawn = 0;

void countFrame()
{
    ++framesDrawn;
}

// Lets GLUT map and expose the window, which draws a first frame of its
// own; only a window shown on screen is redrawn on request.
void settleWindow()
{
    for (int i = 0; i < 200 && framesDrawn == 0; ++i) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    glutMainLoopEvent();
}

TEST_F(TickTest, AsksForAFrameAndRunsAgainFromTheTimer)
{
    glutDisplayFunc(countFrame);
    settleWindow();
    ASSERT_GT(framesDrawn, 0) << "the window was never shown";
    resetScene();
    framesDrawn = 0;

    onTick(0);
    glutMainLoopEvent();
    EXPECT_GE(framesDrawn, 1);

    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    glutMainLoopEvent();
    // The re-armed timer has called the tick again.
    EXPECT_GE(scene.spinA, 2.0f);
}

} // namespace
