#include "render/scene_draw.h"

#include "app/scene_state.h"
#include "render/box.h"

#include <GL/freeglut.h>

static void placeCamera()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(scene.eye.x, scene.eye.y, scene.eye.z,                                              //
              scene.eye.x + scene.look.x, scene.eye.y + scene.look.y, scene.eye.z + scene.look.z, //
              0.0, 1.0, 0.0);
}

// Spins in place on the ground plane.
static void drawBox1()
{
    glPushMatrix();
    glRotatef(scene.spinA, 0.0f, 1.0f, 0.0f);
    drawBox(0.55f, 1.0f, 0.333f, 1.0f, 0.09f, 0.09f);
    glPopMatrix();
}

// Circles the vertical axis at radius 1, just above box 1, at the difference
// of the two spins: 0.6 degrees per tick.
static void drawBox2()
{
    const double angle = static_cast<double>(scene.spinB) - static_cast<double>(scene.spinA) + 120.0;
    glPushMatrix();
    glRotatef(static_cast<GLfloat>(angle), 0.0f, 1.0f, 0.0f);
    glTranslatef(1.0f, 1.2f, 0.0f);
    drawBox(0.2f, 0.106f, 0.78f, 0.615f, 0.051f, 0.557f);
    glPopMatrix();
}

// Hangs higher up and spins about an axis tilted towards x (left unnormalised:
// glRotatef normalises it).
static void drawBox3()
{
    glPushMatrix();
    glTranslatef(0.3f, 3.1f, 0.0f);
    glRotatef(scene.spinB, 0.35f, 1.0f, 0.0f);
    drawBox(0.93f, 0.91f, 0.12f, 0.247f, 0.486f, 0.485f);
    glPopMatrix();
}

// Flat shading shows the facets; colour material makes the current colour
// its ambient and diffuse material.
static void drawSphere()
{
    glPushMatrix();
    glShadeModel(GL_FLAT);
    glColor3f(0.999f, 0.96f, 0.0f);
    glTranslatef(12.0f, 1.0f, 0.0f);
    glutSolidSphere(1.0, 20, 16);
    glShadeModel(GL_SMOOTH);
    glPopMatrix();
}

void displayScene()
{
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    placeCamera();
    drawBox1();
    drawBox2();
    drawBox3();
    drawSphere();

    glutSwapBuffers();
}
