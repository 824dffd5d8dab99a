// Vector arithmetic on the viewer's Vec3d, for tests that work out from the
// scene's geometry where things are and which way they face.
#pragma once

#include "app/scene_state.h"

#include <cmath>

inline Vec3d operator+(Vec3d a, Vec3d b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

inline Vec3d operator-(Vec3d a, Vec3d b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

inline Vec3d operator*(double k, Vec3d a)
{
    return {k * a.x, k * a.y, k * a.z};
}

inline double dot(Vec3d a, Vec3d b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec3d cross(Vec3d a, Vec3d b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline Vec3d unit(Vec3d a)
{
    return (1.0 / std::sqrt(dot(a, a))) * a;
}
