// glutSolidSphere with freeglut 3's mesh: the same vertices and normals,
// computed with the same single-precision steps, and the same triangle strips
// in the same order, so that flat shading (which takes each triangle's last
// vertex) gives the same facets. Kept from call to call, unlike freeglut's,
// so that drawing it allocates nothing.
#include "gl/layer.h"

#include <GL/freeglut.h>
#include <cmath>

constexpr int SPHERE_MAX_DIVISIONS = 128; // slices and stacks alike
constexpr int SPHERE_MAX_VERTICES = SPHERE_MAX_DIVISIONS * (SPHERE_MAX_DIVISIONS - 1) + 2;
constexpr int SPHERE_MAX_INDICES = (SPHERE_MAX_DIVISIONS + 1) * 2 * SPHERE_MAX_DIVISIONS;

struct Sphere {
    GLfloat radius; // of the mesh below; slices 0 before the first
    GLint slices;
    GLint stacks;
    GLfloat vertices[SPHERE_MAX_VERTICES][3];
    GLfloat normals[SPHERE_MAX_VERTICES][3];
    GLuint indices[SPHERE_MAX_INDICES]; // one strip of 2 (slices + 1) per stack
};

static Sphere sphere;

// Sines and cosines of n + 1 steps round the circle (half of it, if asked),
// the last the same as the first; a negative n goes round the other way.
static void circleTable(GLfloat sines[], GLfloat cosines[], int n, bool half)
{
    const int size = std::abs(n);
    const GLfloat angle = (half ? 1.0f : 2.0f) * static_cast<GLfloat>(M_PI) / static_cast<GLfloat>(n);
    sines[0] = 0.0f;
    cosines[0] = 1.0f;
    for (int i = 1; i < size; ++i) {
        const double step = static_cast<double>(angle * static_cast<GLfloat>(i));
        sines[i] = static_cast<GLfloat>(std::sin(step));
        cosines[i] = static_cast<GLfloat>(std::cos(step));
    }
    sines[size] = half ? 0.0f : sines[0];
    cosines[size] = half ? -1.0f : cosines[0];
}

static void setVertex(int index, GLfloat x, GLfloat y, GLfloat z)
{
    const GLfloat r = sphere.radius;
    GLfloat *vertex = sphere.vertices[index];
    GLfloat *normal = sphere.normals[index];
    vertex[0] = x * r;
    vertex[1] = y * r;
    vertex[2] = z * r;
    normal[0] = x;
    normal[1] = y;
    normal[2] = z;
}

// The top pole, the rings of stacks 1 to stacks - 1, the bottom pole.
static void generateVertices()
{
    const int slices = sphere.slices;
    const int stacks = sphere.stacks;
    GLfloat sliceSines[SPHERE_MAX_DIVISIONS + 1] = {};
    GLfloat sliceCosines[SPHERE_MAX_DIVISIONS + 1] = {};
    GLfloat stackSines[SPHERE_MAX_DIVISIONS + 1] = {};
    GLfloat stackCosines[SPHERE_MAX_DIVISIONS + 1] = {};
    circleTable(sliceSines, sliceCosines, -slices, false);
    circleTable(stackSines, stackCosines, stacks, true);

    setVertex(0, 0.0f, 0.0f, 1.0f);
    int index = 1;
    for (int i = 1; i < stacks; ++i)
        for (int j = 0; j < slices; ++j)
            setVertex(index++, sliceCosines[j] * stackSines[i], sliceSines[j] * stackSines[i],
                      stackCosines[i]);
    setVertex(index, 0.0f, 0.0f, -1.0f);
}

static GLuint *addPair(GLuint *to, int a, int b)
{
    to[0] = static_cast<GLuint>(a);
    to[1] = static_cast<GLuint>(b);
    return to + 2;
}

// Each strip zigzags between two rings (or a ring and a pole) and closes by
// repeating its first pair.
static void generateStrips()
{
    const int slices = sphere.slices;
    const int stacks = sphere.stacks;
    const int bottom = slices * (stacks - 1) + 1;
    GLuint *index = sphere.indices;
    for (int j = 0; j < slices; ++j)
        index = addPair(index, j + 1, 0);
    index = addPair(index, 1, 0);
    for (int i = 0; i < stacks - 2; ++i) {
        const int ring = 1 + i * slices;
        for (int j = 0; j < slices; ++j)
            index = addPair(index, ring + j + slices, ring + j);
        index = addPair(index, ring + slices, ring);
    }
    const int ring = 1 + (stacks - 2) * slices;
    for (int j = 0; j < slices; ++j)
        index = addPair(index, bottom, ring + j);
    addPair(index, bottom, ring);
}

void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    if (slices == 0 || stacks < 2)
        return; // freeglut draws nothing either
    if (slices < 0 || slices > SPHERE_MAX_DIVISIONS || stacks > SPHERE_MAX_DIVISIONS)
        layerFail("glutSolidSphere: at most 128 slices and stacks");

    const auto r = static_cast<GLfloat>(radius);
    if (r != sphere.radius || slices != sphere.slices || stacks != sphere.stacks) {
        sphere.radius = r;
        sphere.slices = slices;
        sphere.stacks = stacks;
        generateVertices();
        generateStrips();
    }

    // As freeglut: vertex and normal arrays on for the draw, off after it.
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, sphere.vertices);
    layerNormalArray(&sphere.normals[0][0]);
    const int stripLength = (slices + 1) * 2;
    const GLuint *strip = sphere.indices;
    for (int i = 0; i < stacks; ++i, strip += stripLength)
        glDrawElements(GL_TRIANGLE_STRIP, stripLength, GL_UNSIGNED_INT, strip);
    glDisableClientState(GL_VERTEX_ARRAY);
    layerNormalArray(nullptr);
}
