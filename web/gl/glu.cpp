// gluLookAt and gluPerspective, with the precision of the GLU that Mesa
// ships (SGI's): the camera frame in single, the projection in double
// precision, each rounded to single when it is multiplied in.
#include "gl/layer.h"

#include <GL/glu.h>
#include <cmath>

static void normalise(GLfloat v[3])
{
    const GLfloat length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f)
        return;
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    GLfloat forward[3] = {static_cast<GLfloat>(centerX - eyeX), static_cast<GLfloat>(centerY - eyeY),
                          static_cast<GLfloat>(centerZ - eyeZ)};
    GLfloat up[3] = {static_cast<GLfloat>(upX), static_cast<GLfloat>(upY), static_cast<GLfloat>(upZ)};
    GLfloat side[3];
    normalise(forward);
    layerCross(forward, up, side);
    normalise(side);
    layerCross(side, forward, up); // the up that is square to both

    // clang-format off
    const GLfloat frame[16] = {
        side[0], up[0], -forward[0], 0.f,
        side[1], up[1], -forward[1], 0.f,
        side[2], up[2], -forward[2], 0.f,
        0.f,     0.f,   0.f,         1.f,
    };
    // clang-format on
    layerMultiply(frame);
    glTranslatef(static_cast<GLfloat>(-eyeX), static_cast<GLfloat>(-eyeY), static_cast<GLfloat>(-eyeZ));
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double radians = fovy / 2.0 * M_PI / 180.0;
    const double depth = zFar - zNear;
    const double sine = std::sin(radians);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0)
        return;
    const double cotangent = std::cos(radians) / sine;

    // clang-format off
    const GLfloat projection[16] = {
        static_cast<GLfloat>(cotangent / aspect), 0.f, 0.f, 0.f,
        0.f, static_cast<GLfloat>(cotangent), 0.f, 0.f,
        0.f, 0.f, static_cast<GLfloat>(-(zFar + zNear) / depth), -1.f,
        0.f, 0.f, static_cast<GLfloat>(-2.0 * zNear * zFar / depth), 0.f,
    };
    // clang-format on
    layerMultiply(projection);
}
