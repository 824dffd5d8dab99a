#include "render/render_state.h"

#include <GL/gl.h>

// Light 1 is a directional light from the viewer's right, slightly above.
// It is positioned under an identity matrix, so it stays fixed to the camera.
static void configureLight1()
{
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat spotDirection[] = {-1.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat position[] = {12.0f, 1.0f, 0.0f, 0.0f}; // w = 0: directional

    // Directional, yet a spot: GL still scales every term of the light,
    // ambient included, by the cosine between its direction of travel,
    // -(12, 1, 0), and the spot direction, raised to the exponent. That
    // cosine is 12 / sqrt(145), well inside the 90 degree cut-off, so light 1
    // shines at (12 / sqrt(145))^12, about 0.959, of the values below.
    glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, 90.0f);
    glLightf(GL_LIGHT1, GL_SPOT_EXPONENT, 12.0f);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, spotDirection);
    glLightfv(GL_LIGHT1, GL_POSITION, position);
}

void initRendering()
{
    const GLfloat globalAmbient[] = {0.4f, 0.4f, 0.4f, 1.0f};

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glPolygonMode(GL_FRONT, GL_FILL);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    // Smoothing without blending: GL may work out how much of each edge
    // pixel a polygon covers, but only blending, never enabled here, would
    // mix that into the frame. On Mesa's llvmpipe the frames come out the
    // same, pixel for pixel, with or without either; the viewer draws no lines.
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);

    // Light 0 keeps OpenGL's defaults: white, shining along the view direction.
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);

    glPushMatrix();
    glLoadIdentity();
    configureLight1();
    glDisable(GL_LIGHT1);
    glPopMatrix();
}
