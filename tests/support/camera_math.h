// Where the viewer's camera puts a scene point on the screen, and which way
// the sight line through a window point runs, worked out from first
// principles (look-at basis, 60 degree vertical field of view), so that tests
// can predict pixels without asking GL or GLU.
#pragma once

#include "app/scene_state.h"

struct WindowPoint {
    double x, y;     // window pixels, origin bottom left (as glReadPixels)
    double distance; // along the view direction; visible when in (0.1, 60)
};

WindowPoint projectPoint(Vec3d point, Vec3d eye, Vec3d look, int width, int height);

// The scene direction of the sight line from the eye through window point
// (x, y); its component along the view direction is 1.
Vec3d sightLine(double x, double y, Vec3d look, int width, int height);

// A scene direction as the camera sees it: x to the right, y up, z back
// towards the viewer.
Vec3d toEyeSpace(Vec3d direction, Vec3d look);
