// The model-view and projection matrix stacks, in single precision and
// column-major order as OpenGL keeps them.
#include "gl/layer.h"

#include <cmath>

constexpr int STACK_DEPTH = 32; // OpenGL's minimum model-view depth

struct Matrix {
    GLfloat m[16];
};

// clang-format off
constexpr Matrix IDENTITY = {{
    1.f, 0.f, 0.f, 0.f,
    0.f, 1.f, 0.f, 0.f,
    0.f, 0.f, 1.f, 0.f,
    0.f, 0.f, 0.f, 1.f,
}};
// clang-format on

struct MatrixStack {
    Matrix levels[STACK_DEPTH];
    int top;
};

struct Matrices {
    MatrixStack modelView;
    MatrixStack projection;
    MatrixStack *current;
};

static Matrices matrices = {{{IDENTITY}, 0}, {{IDENTITY}, 0}, &matrices.modelView};

static Matrix &currentMatrix()
{
    return matrices.current->levels[matrices.current->top];
}

const GLfloat *layerModelView()
{
    return matrices.modelView.levels[matrices.modelView.top].m;
}

const GLfloat *layerProjection()
{
    return matrices.projection.levels[matrices.projection.top].m;
}

void glMatrixMode(GLenum mode)
{
    if (mode == GL_MODELVIEW)
        matrices.current = &matrices.modelView;
    else if (mode == GL_PROJECTION)
        matrices.current = &matrices.projection;
    else
        layerFail("glMatrixMode: only GL_MODELVIEW and GL_PROJECTION");
}

void glLoadIdentity()
{
    currentMatrix() = IDENTITY;
}

void glPushMatrix()
{
    MatrixStack &stack = *matrices.current;
    if (stack.top + 1 == STACK_DEPTH)
        layerFail("glPushMatrix: stack overflow");
    stack.levels[stack.top + 1] = stack.levels[stack.top];
    ++stack.top;
}

void glPopMatrix()
{
    if (matrices.current->top == 0)
        layerFail("glPopMatrix: stack underflow");
    --matrices.current->top;
}

// Each element summed in the order Mesa sums it, so that the two agree to
// the last bit.
void layerMultiply(const GLfloat (&m)[16])
{
    const GLfloat *c = currentMatrix().m;
    Matrix product;
    for (int i = 0; i < 16; ++i) {
        const int row = i % 4;
        const GLfloat *column = &m[i - row]; // of m, the one element i is in
        product.m[i] =
            c[row] * column[0] + c[4 + row] * column[1] + c[8 + row] * column[2] + c[12 + row] * column[3];
    }
    currentMatrix() = product;
}

// The rotation matrix of the glRotate manual page, about the normalised axis.
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const GLfloat length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f)
        return;
    x /= length;
    y /= length;
    z /= length;
    const double radians = static_cast<double>(angle) * M_PI / 180.0;
    const auto s = static_cast<GLfloat>(std::sin(radians));
    const auto c = static_cast<GLfloat>(std::cos(radians));
    const GLfloat t = 1.0f - c;
    // clang-format off
    const GLfloat rotation[16] = {
        x * x * t + c,     y * x * t + z * s, x * z * t - y * s, 0.f,
        x * y * t - z * s, y * y * t + c,     y * z * t + x * s, 0.f,
        x * z * t + y * s, y * z * t - x * s, z * z * t + c,     0.f,
        0.f,               0.f,               0.f,               1.f,
    };
    // clang-format on
    layerMultiply(rotation);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    // clang-format off
    const GLfloat translation[16] = {
        1.f, 0.f, 0.f, 0.f,
        0.f, 1.f, 0.f, 0.f,
        0.f, 0.f, 1.f, 0.f,
        x,   y,   z,   1.f,
    };
    // clang-format on
    layerMultiply(translation);
}
