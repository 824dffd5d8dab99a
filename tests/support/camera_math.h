// Where the viewer's camera puts a scene point on the screen, worked out
// from first principles (look-at basis, 60 degree vertical field of view),
// so that tests can predict pixels without asking GL or GLU.
#pragma once

#include "app/scene_state.h"

struct WindowPoint {
    double x, y;     // window pixels, origin bottom left (as glReadPixels)
    double distance; // along the view direction; visible when in (0.1, 60)
};

WindowPoint projectPoint(Vec3d point, Vec3d eye, Vec3d look, int width, int height);
