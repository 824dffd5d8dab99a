// The viewport and perspective projection that reshapeView keeps in step
// with the window, read back from GL.
#include "render/projection.h"
#include "support/gl_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace
{

constexpr double NEAR_PLANE = 0.1;
constexpr double FAR_PLANE = 60.0;
constexpr double RELATIVE_ERROR = 1e-5; // GL stores its matrices in single precision

class ProjectionTest : public testing::Test
{
  protected:
    // A projection and modelview left over from elsewhere, which a reshape
    // must replace rather than multiply.
    void SetUp() override
    {
        openTestWindow();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-3.0, 5.0, -2.0, 2.0, 1.0, 9.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1.0f, 2.0f, 3.0f);
        glMatrixMode(GL_TEXTURE);
    }
};

void expectRelativelyNear(double actual, double expected, const char *what)
{
    EXPECT_NEAR(actual, expected, RELATIVE_ERROR * std::fabs(expected)) << what;
}

// gluPerspective's matrix, column-major: cot(fovy/2)/aspect, cot(fovy/2), the
// depth terms that map near and far to -1 and 1, -1 for the perspective divide
// and zero everywhere else. (The planes themselves are not recovered from the
// stored floats: far comes out of m[10] + 1, which loses most of its digits.)
TEST_F(ProjectionTest, KeepsVerticalFieldAndDepthRangeAtAnyWidth)
{
    const struct {
        int width, height;
    } sizes[] = {{800, 600}, {1600, 600}, {600, 800}, {300, 1}};
    const double cotangent = 1.0 / std::tan(30.0 * M_PI / 180.0);

    for (const auto &size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        reshapeView(size.width, size.height);

        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], size.width);
        EXPECT_EQ(viewport[3], size.height);

        GLdouble m[16] = {};
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        const double aspect = static_cast<double>(size.width) / static_cast<double>(size.height);
        expectRelativelyNear(m[5], cotangent, "m[5]");
        expectRelativelyNear(m[0], cotangent / aspect, "m[0]");
        expectRelativelyNear(m[10], -(FAR_PLANE + NEAR_PLANE) / (FAR_PLANE - NEAR_PLANE), "m[10]");
        expectRelativelyNear(m[14], -2.0 * FAR_PLANE * NEAR_PLANE / (FAR_PLANE - NEAR_PLANE), "m[14]");
        EXPECT_EQ(m[11], -1.0);
        for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15})
            EXPECT_EQ(m[i], 0.0) << "m[" << i << "]";
    }
}

// A window shrunk to nothing must still leave a usable projection: finite,
// and not collapsing x or y (width / 0 would make m[0] zero, 0 / 0 NaN).
TEST_F(ProjectionTest, StaysFiniteAndUsableWhenShrunkToNothing)
{
    const struct {
        int width, height;
    } sizes[] = {{800, 1}, {800, 0}, {0, 0}};
    for (const auto &size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        reshapeView(size.width, size.height);
        GLdouble m[16] = {};
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        for (int i = 0; i < 16; ++i)
            EXPECT_TRUE(std::isfinite(m[i])) << "m[" << i << "] = " << m[i];
        EXPECT_NE(m[0], 0.0);
        EXPECT_NE(m[5], 0.0);
    }
}

TEST_F(ProjectionTest, LeavesAnIdentityModelviewSelected)
{
    reshapeView(1600, 600);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    GLdouble m[16] = {};
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0 : 0.0) << "m[" << i << "]";
}

} // namespace
