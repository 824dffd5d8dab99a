// The one mesh of the scene: a 2 x 1 x 2 box standing on y = 0 of its own
// frame, drawn with a colour gradient from colour A (x = 1) to B (x = -1).
#pragma once

#include <GL/gl.h>

constexpr int BOX_VERTEX_COUNT = 8;
constexpr int BOX_INDEX_COUNT = 18;

extern const GLfloat BOX_VERTICES[BOX_VERTEX_COUNT][3];
extern const GLuint BOX_INDICES[BOX_INDEX_COUNT];

// Draws one box in the current model-view frame and leaves the matrix stack
// as it found it. Leaves the vertex array enabled and the colour array
// disabled, so that later drawing takes the current colour.
void drawBox(float aR, float aG, float aB, float bR, float bG, float bB);
