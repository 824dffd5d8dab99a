#include "interact/tick.h"

#include "app/scene_state.h"
#include "interact/look.h"

#include <GL/freeglut.h>

constexpr double MOVE_STEP = 0.2;   // scene units per tick along the look vector
constexpr float SPIN_A_STEP = 1.0f; // degrees per tick
constexpr float SPIN_B_STEP = 1.6f; // degrees per tick
constexpr unsigned int TICK_MS = 10;

// Forward and back follow the whole look vector, tilt included; sideways
// steps use its horizontal part turned by 90 degrees and keep the height.
static void moveEye()
{
    Vec3d &eye = scene.eye;
    const Vec3d &look = scene.look;
    if (scene.moveForward) {
        eye.x += MOVE_STEP * look.x;
        eye.y += MOVE_STEP * look.y;
        eye.z += MOVE_STEP * look.z;
    }
    if (scene.moveBack) {
        eye.x -= MOVE_STEP * look.x;
        eye.y -= MOVE_STEP * look.y;
        eye.z -= MOVE_STEP * look.z;
    }
    if (scene.moveRight) {
        eye.x -= MOVE_STEP * look.z;
        eye.z += MOVE_STEP * look.x;
    }
    if (scene.moveLeft) {
        eye.x += MOVE_STEP * look.z;
        eye.z -= MOVE_STEP * look.x;
    }
}

// Wrapped once it passes 360, so 360 itself stays for a tick.
static float advanceSpin(float angle, float step)
{
    const float next = angle + step;
    return next > 360.0f ? next - 360.0f : next;
}

void onTick(int value)
{
    if (scene.lookUp)
        tiltUp();
    if (scene.lookDown)
        tiltDown();
    moveEye();
    scene.spinA = advanceSpin(scene.spinA, SPIN_A_STEP);
    scene.spinB = advanceSpin(scene.spinB, SPIN_B_STEP);

    glutPostRedisplay();
    glutTimerFunc(TICK_MS, onTick, value);
}
