#include "support/camera_math.h"

#include <cmath>

static Vec3d sub(Vec3d a, Vec3d b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
static double dot(Vec3d a, Vec3d b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
static Vec3d cross(Vec3d a, Vec3d b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
static Vec3d unit(Vec3d a)
{
    const double n = std::sqrt(dot(a, a));
    return {a.x / n, a.y / n, a.z / n};
}

WindowPoint projectPoint(Vec3d point, Vec3d eye, Vec3d look, int width, int height)
{
    const Vec3d forward = unit(look);
    const Vec3d side = unit(cross(forward, {0.0, 1.0, 0.0}));
    const Vec3d up = cross(side, forward);
    const Vec3d d = sub(point, eye);
    const double distance = dot(d, forward);

    const double focal = 1.0 / std::tan(30.0 * M_PI / 180.0);
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const double ndcX = focal / aspect * dot(d, side) / distance;
    const double ndcY = focal * dot(d, up) / distance;
    return {(ndcX + 1.0) / 2.0 * width, (ndcY + 1.0) / 2.0 * height, distance};
}
