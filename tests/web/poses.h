// Scene states drawn both by the native viewer code and by the web build,
// so that the two frames of each can be compared pixel for pixel.
#pragma once

#include "app/scene_state.h"

struct FramePose {
    const char *name; // file-name stem of its frame
    Vec3d eye;
    Vec3d look; // need not be unit: only its direction matters to the camera
    float spinA, spinB;
    bool light0, light1;
};

// clang-format off
constexpr FramePose FRAME_POSES[] = {
    // name                eye                   look                    spinA   spinB   light0 light1
    {"start",             { 0.0, 2.0,  7.0},   { 0.0,   0.0,  -1.0},      0.0f,   0.0f, true,  false},
    {"start-light1",      { 0.0, 2.0,  7.0},   { 0.0,   0.0,  -1.0},      0.0f,   0.0f, false, true },
    {"start-dark",        { 0.0, 2.0,  7.0},   { 0.0,   0.0,  -1.0},      0.0f,   0.0f, false, false},
    {"spun-left-high",    {-3.0, 4.5,  6.0},   { 0.4,  -0.5,  -1.0},     37.0f,  59.2f, true,  false},
    {"spun-side-light1",  { 6.5, 2.5,  4.0},   {-0.8,  -0.2,  -0.6},    123.0f, 196.8f, false, true },
    {"near-wrap-dark",    {-5.0, 1.0, -4.0},   { 0.75,  0.1,   0.66},   359.0f, 358.4f, false, false},
    {"from-above",        { 0.5, 9.0,  2.0},   { 0.0,  -2.02, -0.3},    250.0f,  40.0f, true,  false},
    {"inside-box1",       { 0.0, 0.5,  0.2},   { 0.0,   0.3,  -1.0},      0.0f,   0.0f, true,  false},
    {"sphere-facets",     { 9.2, 1.9,  2.4},   { 1.0,  -0.3,  -0.85},    10.0f,  16.0f, true,  false},
    {"sphere-facets-l1",  {12.0, 1.4,  3.6},   { 0.0,  -0.1,  -1.0},      0.0f,   0.0f, false, true },
};
// clang-format on

constexpr int FRAME_POSE_COUNT = static_cast<int>(sizeof FRAME_POSES / sizeof FRAME_POSES[0]);
constexpr int FRAME_WIDTH = 800;
constexpr int FRAME_HEIGHT = 600;

// Puts the scene record and the light switches into pose `index` and draws
// it into the current context's back buffer for a window of width x height.
void drawPose(int index, int width, int height);
