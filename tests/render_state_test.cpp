// The fixed-function state initRendering leaves, read back from GL.
#include "render/projection.h"
#include "render/render_state.h"
#include "render/scene_draw.h"
#include "support/gl_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace
{

constexpr double EXACT = 1e-6;

// Starts from state that differs from what the viewer wants wherever GL's
// defaults would hide a missing call, and from a modelview that is not the
// identity, so that light 1 would come out moved if it were placed under it.
class RenderStateTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        openTestWindow();
        glPolygonMode(GL_FRONT, GL_LINE);
        glShadeModel(GL_FLAT);
        glCullFace(GL_FRONT);
        glEnable(GL_LIGHT1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(3.0f, -2.0f, 5.0f);
        glRotatef(40.0f, 0.3f, 1.0f, 0.2f);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);
        initRendering();
    }

    GLfloat modelviewBefore[16] = {};
};

struct LightParameter {
    const char *name;
    GLenum parameter;
    std::vector<GLfloat> expected;
};

void expectLightParameters(GLenum light, const std::vector<LightParameter> &table)
{
    for (const LightParameter &row : table) {
        GLfloat actual[4] = {};
        glGetLightfv(light, row.parameter, actual);
        for (size_t i = 0; i < row.expected.size(); ++i)
            EXPECT_NEAR(actual[i], row.expected[i], EXACT) << row.name << "[" << i << "]";
    }
}

TEST_F(RenderStateTest, EnablesDepthCullingSmoothingNormalizeAndLighting)
{
    const struct {
        const char *name;
        GLenum capability;
        bool enabled;
    } table[] = {
        {"GL_DEPTH_TEST", GL_DEPTH_TEST, true},
        {"GL_COLOR_MATERIAL", GL_COLOR_MATERIAL, true},
        {"GL_CULL_FACE", GL_CULL_FACE, true},
        {"GL_LINE_SMOOTH", GL_LINE_SMOOTH, true},
        {"GL_POLYGON_SMOOTH", GL_POLYGON_SMOOTH, true},
        {"GL_NORMALIZE", GL_NORMALIZE, true},
        {"GL_LIGHTING", GL_LIGHTING, true},
        {"GL_LIGHT0", GL_LIGHT0, true},
        {"GL_LIGHT1", GL_LIGHT1, false},
        {"GL_BLEND", GL_BLEND, false},
    };
    for (const auto &row : table)
        EXPECT_EQ(glIsEnabled(row.capability) == GL_TRUE, row.enabled) << row.name;
}

TEST_F(RenderStateTest, CullsBackFacesFillsFrontFacesAndShadesSmoothly)
{
    GLint cullFace = 0;
    GLint polygonMode[2] = {};
    GLint shadeModel = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(cullFace, GL_BACK);
    EXPECT_EQ(polygonMode[0], GL_FILL);
    EXPECT_EQ(shadeModel, GL_SMOOTH);
}

// Smoothing goes without blending, and the colour material mode and hints
// keep their defaults: the current colour is the ambient and diffuse material.
TEST_F(RenderStateTest, LeavesBlendingColourMaterialModeAndHintsAlone)
{
    const struct {
        const char *name;
        GLenum query;
        GLint expected;
    } table[] = {
        {"GL_COLOR_MATERIAL_FACE", GL_COLOR_MATERIAL_FACE, GL_FRONT_AND_BACK},
        {"GL_COLOR_MATERIAL_PARAMETER", GL_COLOR_MATERIAL_PARAMETER, GL_AMBIENT_AND_DIFFUSE},
        {"GL_LINE_SMOOTH_HINT", GL_LINE_SMOOTH_HINT, GL_DONT_CARE},
        {"GL_POLYGON_SMOOTH_HINT", GL_POLYGON_SMOOTH_HINT, GL_DONT_CARE},
        {"GL_BLEND_SRC", GL_BLEND_SRC, GL_ONE},
        {"GL_BLEND_DST", GL_BLEND_DST, GL_ZERO},
    };
    for (const auto &row : table) {
        GLint actual = 0;
        glGetIntegerv(row.query, &actual);
        EXPECT_EQ(actual, row.expected) << row.name;
    }

    reshapeView(800, 600);
    displayScene();
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "after a frame";
}

TEST_F(RenderStateTest, GlobalAmbientIsFourTenths)
{
    GLfloat ambient[4] = {};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_NEAR(ambient[0], 0.4f, EXACT);
    EXPECT_NEAR(ambient[1], 0.4f, EXACT);
    EXPECT_NEAR(ambient[2], 0.4f, EXACT);
    EXPECT_NEAR(ambient[3], 1.0f, EXACT);
}

// GL keeps a light's position and spot direction in eye coordinates. Given
// under the identity they come back as passed, whatever modelview was current.
TEST_F(RenderStateTest, LightOneIsAConfiguredDirectionalSpotFixedToTheCamera)
{
    expectLightParameters(GL_LIGHT1, {
                                         {"GL_SPOT_CUTOFF", GL_SPOT_CUTOFF, {90.0f}},
                                         {"GL_SPOT_EXPONENT", GL_SPOT_EXPONENT, {12.0f}},
                                         {"GL_AMBIENT", GL_AMBIENT, {0.2f, 0.2f, 0.2f, 1.0f}},
                                         {"GL_DIFFUSE", GL_DIFFUSE, {1.0f, 1.0f, 1.0f, 1.0f}},
                                         {"GL_SPECULAR", GL_SPECULAR, {1.0f, 1.0f, 1.0f, 1.0f}},
                                         {"GL_SPOT_DIRECTION", GL_SPOT_DIRECTION, {-1.0f, 0.0f, 0.0f}},
                                         {"GL_POSITION", GL_POSITION, {12.0f, 1.0f, 0.0f, 0.0f}},
                                     });
}

TEST_F(RenderStateTest, LightZeroKeepsGlDefaults)
{
    expectLightParameters(GL_LIGHT0, {
                                         {"GL_SPOT_CUTOFF", GL_SPOT_CUTOFF, {180.0f}},
                                         {"GL_SPOT_EXPONENT", GL_SPOT_EXPONENT, {0.0f}},
                                         {"GL_AMBIENT", GL_AMBIENT, {0.0f, 0.0f, 0.0f, 1.0f}},
                                         {"GL_DIFFUSE", GL_DIFFUSE, {1.0f, 1.0f, 1.0f, 1.0f}},
                                         {"GL_SPECULAR", GL_SPECULAR, {1.0f, 1.0f, 1.0f, 1.0f}},
                                         {"GL_SPOT_DIRECTION", GL_SPOT_DIRECTION, {0.0f, 0.0f, -1.0f}},
                                         {"GL_POSITION", GL_POSITION, {0.0f, 0.0f, 1.0f, 0.0f}},
                                         {"GL_CONSTANT_ATTENUATION", GL_CONSTANT_ATTENUATION, {1.0f}},
                                         {"GL_LINEAR_ATTENUATION", GL_LINEAR_ATTENUATION, {0.0f}},
                                         {"GL_QUADRATIC_ATTENUATION", GL_QUADRATIC_ATTENUATION, {0.0f}},
                                     });
}

TEST_F(RenderStateTest, RestoresTheModelviewMatrixAndStack)
{
    GLint depth = 0;
    GLint mode = 0;
    GLfloat modelview[16] = {};
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(mode, GL_MODELVIEW);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(modelview[i], modelviewBefore[i]) << "entry " << i;
}

} // namespace
