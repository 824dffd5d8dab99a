#include "support/camera_math.h"

#include "support/vec3.h"

#include <cmath>

namespace
{

// The camera's axes in the scene, as gluLookAt builds them with up (0, 1, 0).
struct CameraAxes {
    Vec3d side, up, forward;
};

CameraAxes cameraAxes(Vec3d look)
{
    const Vec3d forward = unit(look);
    const Vec3d side = unit(cross(forward, {0.0, 1.0, 0.0}));
    return {side, cross(side, forward), forward};
}

// Half the height of the view at distance 1: tan(60 / 2 degrees).
double halfHeight()
{
    return std::tan(30.0 * M_PI / 180.0);
}

} // namespace

WindowPoint projectPoint(Vec3d point, Vec3d eye, Vec3d look, int width, int height)
{
    const CameraAxes axes = cameraAxes(look);
    const Vec3d d = point - eye;
    const double distance = dot(d, axes.forward);
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const double ndcX = dot(d, axes.side) / (distance * halfHeight() * aspect);
    const double ndcY = dot(d, axes.up) / (distance * halfHeight());
    return {(ndcX + 1.0) / 2.0 * width, (ndcY + 1.0) / 2.0 * height, distance};
}

Vec3d sightLine(double x, double y, Vec3d look, int width, int height)
{
    const CameraAxes axes = cameraAxes(look);
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const double ndcX = 2.0 * x / width - 1.0;
    const double ndcY = 2.0 * y / height - 1.0;
    return axes.forward + (ndcX * halfHeight() * aspect) * axes.side + (ndcY * halfHeight()) * axes.up;
}

Vec3d toEyeSpace(Vec3d direction, Vec3d look)
{
    const CameraAxes axes = cameraAxes(look);
    return {dot(direction, axes.side), dot(direction, axes.up), -dot(direction, axes.forward)};
}
