#include "render/projection.h"

#include <GL/glu.h>

// Vertical field of view in degrees; a wider window widens the horizontal one.
constexpr double FIELD_OF_VIEW_Y = 60.0;
constexpr double NEAR_PLANE = 0.1;
constexpr double FAR_PLANE = 60.0;

void reshapeView(int width, int height)
{
    glViewport(0, 0, width, height);

    // A window shrunk to no height keeps a finite aspect ratio.
    const int safeHeight = height < 1 ? 1 : height;
    const double aspect = static_cast<double>(width) / static_cast<double>(safeHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW_Y, aspect, NEAR_PLANE, FAR_PLANE);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
