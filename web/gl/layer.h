// What the files of the GL layer share: the state its one shader program
// reads, the matrix stacks' tops, and the WebGL 2 side (backend.js).
#pragma once

#include <GL/gl.h>

constexpr GLenum LIGHT_COUNT = 2; // GL_LIGHT0 and GL_LIGHT1

// The shader's uniform block, std140 (backend.js declares it again): every
// member is a vec4 or made of them, so that C++ lays it out the same way.
struct LightBlock {
    GLfloat position[4]; // eye coordinates; w = 0 for a directional light
    GLfloat ambient[4];
    GLfloat diffuse[4];
    GLfloat spotDirection[4]; // eye coordinates
    GLfloat spot[4];          // cos(cutoff), exponent, 1 if cutoff != 180, 1 if enabled
};

struct ShaderBlock {
    GLfloat modelView[16];
    GLfloat projection[16];
    GLfloat normalMatrix[3][4]; // mat3: three columns, each padded to a vec4
    GLfloat sceneAmbient[4];
    GLfloat colour[4];   // the current colour
    GLfloat normal[4];   // the current normal
    GLfloat switches[4]; // lighting, normalize, colour material, flat shading
    GLfloat arrays[4];   // colour array, normal array: 1 if this draw reads one
    LightBlock lights[LIGHT_COUNT];
};

// Light and colour state is kept in the form the shader reads; glDrawElements
// fills in the rest before each draw.
extern ShaderBlock shaderBlock;

// a x b into result, which may not be a or b.
inline void layerCross(const GLfloat *a, const GLfloat *b, GLfloat *result)
{
    result[0] = a[1] * b[2] - a[2] * b[1];
    result[1] = a[2] * b[0] - a[0] * b[2];
    result[2] = a[0] * b[1] - a[1] * b[0];
}

// Whether a capability or client array is on (glIsEnabled without the enum).
bool layerEnabled(GLenum cap);
bool layerFlatShading();

// The current matrix (as glMatrixMode selects it) times m, as glMultMatrixf.
void layerMultiply(const GLfloat (&m)[16]);
const GLfloat *layerModelView();
const GLfloat *layerProjection();

// The normals glutSolidSphere draws with; null turns the array off.
void layerNormalArray(const GLfloat *normals);

// backend.js
extern "C" {
// A call or argument outside what the layer provides: stops the program with
// a message rather than draw something else.
[[noreturn]] void layerFail(const char *what);
void webglCapability(GLenum cap, int on);
void webglDraw(const ShaderBlock *block, int blockBytes, const GLfloat *positions, const GLfloat *colours,
               const GLfloat *normals, GLuint first, GLuint last, const GLuint *indices, GLsizei count);
}
