#include "interact/look.h"

#include "app/scene_state.h"

constexpr double TILT_STEP = 0.02;
constexpr double TILT_LIMIT = 2.0; // tested before the step: look.y may end just past it

void tiltUp()
{
    if (scene.look.y < TILT_LIMIT)
        scene.look.y += TILT_STEP;
}

void tiltDown()
{
    if (scene.look.y > -TILT_LIMIT)
        scene.look.y -= TILT_STEP;
}
