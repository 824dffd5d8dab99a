// Switches, lights, the current colour and normal: the fixed-function state
// that the shader evaluates, with OpenGL's initial values.
#include "gl/layer.h"

#include <cmath>

// clang-format off
ShaderBlock shaderBlock = {
    {}, {}, {},                               // matrices: each draw sets them
    {0.2f, 0.2f, 0.2f, 1.0f},                 // scene ambient
    {1.0f, 1.0f, 1.0f, 1.0f},                 // colour
    {0.0f, 0.0f, 1.0f, 0.0f},                 // normal
    {}, {},                                   // switches and arrays: each draw sets them
    {   // position             ambient                  diffuse                  spot direction          spot
        {{0.f, 0.f, 1.f, 0.f}, {0.f, 0.f, 0.f, 1.f}, {1.f, 1.f, 1.f, 1.f}, {0.f, 0.f, -1.f, 0.f}, {-1.f, 0.f, 0.f, 0.f}},
        {{0.f, 0.f, 1.f, 0.f}, {0.f, 0.f, 0.f, 1.f}, {0.f, 0.f, 0.f, 1.f}, {0.f, 0.f, -1.f, 0.f}, {-1.f, 0.f, 0.f, 0.f}},
    },
};

// Every switch the layer knows, all off at start. WebGL 2 does the depth test
// and culling itself. Without blending, which the layer does not have, line
// and polygon smoothing change no pixel, and nothing draws lines.
struct Capability {
    GLenum name;
    bool client; // a client array, switched with gl{En,Dis}ableClientState
    bool webgl;  // passed on to WebGL 2
};

constexpr Capability CAPABILITIES[] = {
    {GL_DEPTH_TEST,     false, true},
    {GL_CULL_FACE,      false, true},
    {GL_LIGHTING,       false, false},
    {GL_LIGHT0,         false, false},
    {GL_LIGHT1,         false, false},
    {GL_COLOR_MATERIAL, false, false},
    {GL_NORMALIZE,      false, false},
    {GL_LINE_SMOOTH,    false, false},
    {GL_POLYGON_SMOOTH, false, false},
    {GL_VERTEX_ARRAY,   true,  false},
    {GL_COLOR_ARRAY,    true,  false},
};
// clang-format on

constexpr int CAPABILITY_COUNT = sizeof CAPABILITIES / sizeof CAPABILITIES[0];

struct Switches {
    bool on[CAPABILITY_COUNT];
    bool flat;
};

static Switches switches;

static int capabilityIndex(GLenum cap, bool client, const char *call)
{
    for (int i = 0; i < CAPABILITY_COUNT; ++i)
        if (CAPABILITIES[i].name == cap && CAPABILITIES[i].client == client)
            return i;
    layerFail(call);
}

static void setCapability(GLenum cap, bool client, bool on, const char *call)
{
    const int i = capabilityIndex(cap, client, call);
    switches.on[i] = on;
    if (CAPABILITIES[i].webgl)
        webglCapability(cap, on ? 1 : 0);
}

void glEnable(GLenum cap)
{
    setCapability(cap, false, true, "glEnable: capability not provided");
}

void glDisable(GLenum cap)
{
    setCapability(cap, false, false, "glDisable: capability not provided");
}

void glEnableClientState(GLenum array)
{
    setCapability(array, true, true, "glEnableClientState: array not provided");
}

void glDisableClientState(GLenum array)
{
    setCapability(array, true, false, "glDisableClientState: array not provided");
}

bool layerEnabled(GLenum cap)
{
    for (int i = 0; i < CAPABILITY_COUNT; ++i)
        if (CAPABILITIES[i].name == cap)
            return switches.on[i];
    layerFail("glIsEnabled: capability not provided");
}

GLboolean glIsEnabled(GLenum cap)
{
    return layerEnabled(cap) ? GL_TRUE : GL_FALSE;
}

bool layerFlatShading()
{
    return switches.flat;
}

void glShadeModel(GLenum mode)
{
    if (mode != GL_FLAT && mode != GL_SMOOTH)
        layerFail("glShadeModel: only GL_FLAT and GL_SMOOTH");
    switches.flat = mode == GL_FLAT;
}

// Filled polygons are all WebGL 2 draws, and OpenGL's initial mode.
void glPolygonMode(GLenum face, GLenum mode)
{
    if ((face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) || mode != GL_FILL)
        layerFail("glPolygonMode: only GL_FILL");
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    GLfloat *colour = shaderBlock.colour;
    colour[0] = red;
    colour[1] = green;
    colour[2] = blue;
    colour[3] = 1.0f;
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz)
{
    GLfloat *normal = shaderBlock.normal;
    normal[0] = nx;
    normal[1] = ny;
    normal[2] = nz;
}

void glLightModelfv(GLenum pname, const GLfloat *params)
{
    if (pname != GL_LIGHT_MODEL_AMBIENT)
        layerFail("glLightModelfv: only GL_LIGHT_MODEL_AMBIENT");
    for (int i = 0; i < 4; ++i)
        shaderBlock.sceneAmbient[i] = params[i];
}

static LightBlock &lightBlock(GLenum light, const char *call)
{
    const GLenum index = light - GL_LIGHT0;
    if (index >= LIGHT_COUNT)
        layerFail(call);
    return shaderBlock.lights[index];
}

void glLightf(GLenum light, GLenum pname, GLfloat param)
{
    LightBlock &block = lightBlock(light, "glLightf: only GL_LIGHT0 and GL_LIGHT1");
    if (pname == GL_SPOT_CUTOFF && ((param >= 0.0f && param <= 90.0f) || param == 180.0f)) {
        block.spot[0] = static_cast<GLfloat>(std::cos(static_cast<double>(param) * M_PI / 180.0));
        block.spot[2] = param == 180.0f ? 0.0f : 1.0f;
    } else if (pname == GL_SPOT_EXPONENT && param >= 0.0f && param <= 128.0f) {
        block.spot[1] = param;
    } else {
        layerFail("glLightf: only GL_SPOT_CUTOFF and GL_SPOT_EXPONENT, in range");
    }
}

static void copy4(GLfloat to[4], const GLfloat from[4])
{
    for (int i = 0; i < 4; ++i)
        to[i] = from[i];
}

// Position and spot direction are taken into eye coordinates by the
// model-view matrix of the moment, as OpenGL does: the direction by its
// upper 3 x 3 part alone.
static void transform(GLfloat to[4], const GLfloat v[4], int components)
{
    const GLfloat *m = layerModelView();
    for (int row = 0; row < components; ++row) {
        to[row] = 0.0f;
        for (int k = 0; k < components; ++k)
            to[row] += m[k * 4 + row] * v[k];
    }
}

// The specular colour is accepted and left unused: the material's specular
// colour is black (the layer has no glMaterial), so the specular term is 0.
void glLightfv(GLenum light, GLenum pname, const GLfloat *params)
{
    LightBlock &block = lightBlock(light, "glLightfv: only GL_LIGHT0 and GL_LIGHT1");
    switch (pname) {
    case GL_AMBIENT: copy4(block.ambient, params); break;
    case GL_DIFFUSE: copy4(block.diffuse, params); break;
    case GL_SPECULAR: break;
    case GL_POSITION: transform(block.position, params, 4); break;
    case GL_SPOT_DIRECTION: transform(block.spotDirection, params, 3); break;
    case GL_SPOT_CUTOFF:
    case GL_SPOT_EXPONENT: glLightf(light, pname, params[0]); break;
    default: layerFail("glLightfv: parameter not provided");
    }
}
