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

// Start pose: eye above the ground, looking level along -z.
constexpr SceneState SCENE_START = {
    {0.0, 2.0, 7.0}, {0.0, 0.0, -1.0}, 270.0, false, false, false, false,
    false,           false,            0.0f,  0.0f,  0,     0,
};

extern SceneState scene;
