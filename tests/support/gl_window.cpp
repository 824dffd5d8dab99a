#include "support/gl_window.h"

#include "app/scene_state.h"

#include <GL/freeglut.h>

void openTestWindow()
{
    static bool open = false;
    if (open)
        return;
    int argc = 1;
    char name[] = "brelox-test";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(name);
    open = true;
}

Rgb readPixel(int x, int y)
{
    GLfloat rgb[3] = {};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_FLOAT, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

void resetScene()
{
    scene = SCENE_START;
}
