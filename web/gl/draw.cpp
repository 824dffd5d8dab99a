// Client arrays and glDrawElements: each draw hands WebGL 2 the shader block
// and the part of the arrays that its indices reach.
#include "gl/layer.h"

struct ClientArrays {
    const GLfloat *vertices;
    const GLfloat *colours;
    const GLfloat *normals;
};

static ClientArrays clientArrays;

// Three tightly packed floats per vertex is the one layout the layer reads.
static const GLfloat *packedFloats(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer,
                                   const char *call)
{
    if (size != 3 || type != GL_FLOAT || stride != 0)
        layerFail(call);
    return static_cast<const GLfloat *>(pointer);
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer)
{
    clientArrays.vertices =
        packedFloats(size, type, stride, pointer, "glVertexPointer: only 3 packed floats");
}

void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer)
{
    clientArrays.colours = packedFloats(size, type, stride, pointer, "glColorPointer: only 3 packed floats");
}

void layerNormalArray(const GLfloat *normals)
{
    clientArrays.normals = normals;
}

// Normals go into eye coordinates by the inverse transpose of the
// model-view's upper 3 x 3 part: its cofactor matrix over its determinant.
static void setNormalMatrix(const GLfloat *m, GLfloat (&normalMatrix)[3][4])
{
    const GLfloat *columns[3] = {m, m + 4, m + 8};
    for (int c = 0; c < 3; ++c)
        layerCross(columns[(c + 1) % 3], columns[(c + 2) % 3], normalMatrix[c]);
    const GLfloat determinant =
        m[0] * normalMatrix[0][0] + m[1] * normalMatrix[0][1] + m[2] * normalMatrix[0][2];
    if (determinant == 0.0f)
        return;
    for (auto &column : normalMatrix)
        for (int row = 0; row < 3; ++row)
            column[row] /= determinant;
}

static GLfloat flag(bool on)
{
    return on ? 1.0f : 0.0f;
}

static void completeShaderBlock(bool colourArray)
{
    ShaderBlock &block = shaderBlock;
    const GLfloat *modelView = layerModelView();
    const GLfloat *projection = layerProjection();
    for (int i = 0; i < 16; ++i) {
        block.modelView[i] = modelView[i];
        block.projection[i] = projection[i];
    }
    setNormalMatrix(modelView, block.normalMatrix);
    block.switches[0] = flag(layerEnabled(GL_LIGHTING));
    block.switches[1] = flag(layerEnabled(GL_NORMALIZE));
    block.switches[2] = flag(layerEnabled(GL_COLOR_MATERIAL));
    block.switches[3] = flag(layerFlatShading());
    block.arrays[0] = flag(colourArray);
    block.arrays[1] = flag(clientArrays.normals != nullptr);
    for (GLenum i = 0; i < LIGHT_COUNT; ++i)
        block.lights[i].spot[3] = flag(layerEnabled(GL_LIGHT0 + i));
}

void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid *indices)
{
    if (mode != GL_TRIANGLE_STRIP || type != GL_UNSIGNED_INT)
        layerFail("glDrawElements: only GL_TRIANGLE_STRIP with GL_UNSIGNED_INT");
    if (count < 3 || !layerEnabled(GL_VERTEX_ARRAY))
        return; // no triangle, or no vertices: OpenGL draws nothing either
    if (clientArrays.vertices == nullptr)
        layerFail("glDrawElements: no glVertexPointer");

    const auto *index = static_cast<const GLuint *>(indices);
    GLuint first = index[0];
    GLuint last = index[0];
    for (GLsizei i = 1; i < count; ++i) {
        first = index[i] < first ? index[i] : first;
        last = index[i] > last ? index[i] : last;
    }

    const bool colourArray = layerEnabled(GL_COLOR_ARRAY);
    completeShaderBlock(colourArray);
    webglDraw(&shaderBlock, static_cast<int>(sizeof shaderBlock), clientArrays.vertices,
              colourArray ? clientArrays.colours : nullptr, clientArrays.normals, first, last, index, count);
}
