// The one record of everything that changes while the viewer runs, apart
// from the OpenGL light switches. Input handlers write it, the tick advances
// it, the display reads it; all on GLUT's thread, one callback at a time.
#pragma once

struct Vec3d {
    double x, y, z;
};

struct SceneState {
    Vec3d eye;      // camera position, scene units
    Vec3d look;     // the camera looks from eye towards eye + look; y is unnormalised
    double heading; // degrees; look.x and look.z are its cosine and sine
    bool moveRight;
    bool moveBack;
    bool moveLeft;
    bool moveForward;
    bool lookDown;
    bool lookUp;
    float spinA; // degrees, +1 per tick
    float spinB; // degrees, +1.6 per tick
    int anchorX; // window pixels of the last left press or drag event
    int anchorY;
};

// clang-format off
constexpr SceneState SCENE_START = {
    {0.0, 2.0, 7.0},                          // eye: above the ground, back from the boxes
    {0.0, 0.0, -1.0},                         // look: level along -z
    270.0,                                    // heading of that look
    false, false, false, false, false, false, // no key held
    0.0f, 0.0f,                               // spins
    0, 0,                                     // anchor
};
// clang-format on

extern SceneState scene;
