#include "interact/mouse.h"

#include "app/scene_state.h"
#include "interact/look.h"

#include <GL/freeglut.h>
#include <cmath>

// pi taken as 3.14159: the start look vector (0, 0, -1) agrees with it.
constexpr double RADIANS_PER_DEGREE = 3.14159 / 180.0;

void onMouseButton(int button, int state, int x, int y)
{
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN) {
        scene.anchorX = x;
        scene.anchorY = y;
    }
}

// One degree per pixel, wrapped by one turn at most.
static void turn(int x)
{
    // In double: GLUT may report positions far outside the window, and the
    // int difference of two extremes would overflow.
    scene.heading += static_cast<double>(x) - static_cast<double>(scene.anchorX);
    if (x > scene.anchorX && scene.heading > 360.0)
        scene.heading -= 360.0;
    else if (x < scene.anchorX && scene.heading < 0.0)
        scene.heading += 360.0;

    const double radians = scene.heading * RADIANS_PER_DEGREE;
    scene.look.x = std::cos(radians);
    scene.look.z = std::sin(radians);
    scene.anchorX = x;
}

void onMouseDrag(int x, int y)
{
    if (x != scene.anchorX)
        turn(x);

    // A fixed step whatever the distance; y grows downwards.
    if (y > scene.anchorY)
        tiltDown();
    else if (y < scene.anchorY)
        tiltUp();
    scene.anchorY = y;
}
