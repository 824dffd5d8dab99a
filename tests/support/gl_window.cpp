#include "support/gl_window.h"

#include "app/scene_state.h"
#include "support/virtual_display.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

void openTestWindow(int width, int height)
{
    static bool open = false;
    if (open)
        return;
    // A display of the process's own: tests running side by side would
    // otherwise cover each other's windows, and GLUT draws no frame for a
    // window that is covered.
    static VirtualDisplay display;
    if (!display.ready()) {
        std::fputs("openTestWindow: the virtual display did not start\n", stderr);
        std::exit(1);
    }
    int argc = 1;
    char name[] = "brelox-test";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(name);
    open = true;
}

GlFrame readFrame(int width, int height)
{
    std::vector<GLfloat> rgb(static_cast<size_t>(width * height * 3));
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_FLOAT, rgb.data());
    GlFrame frame{width, height, {}};
    frame.pixels.reserve(rgb.size() / 3);
    for (size_t i = 0; i < rgb.size(); i += 3)
        frame.pixels.push_back({rgb[i], rgb[i + 1], rgb[i + 2]});
    return frame;
}

void resetScene()
{
    scene = SCENE_START;
}
