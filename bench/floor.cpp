// The cheapest program this stack can run with the viewer's window and clock:
// the same display mode, size, position and tick scheme, but a frame that only
// clears and swaps. The benchmark measures the viewer against it.
#include "interact/keyboard.h"

#include <GL/freeglut.h>
#include <cstdlib>

constexpr unsigned int FIRST_TICK_MS = 50;
constexpr unsigned int TICK_MS = 10;

static void display()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

static void tick(int value)
{
    glutPostRedisplay();
    glutTimerFunc(TICK_MS, tick, value);
}

// Escape ends the process through exit, as in the viewer, so exit handlers run.
static void keyDown(unsigned char key, int, int)
{
    if (key == KEY_ESCAPE)
        std::exit(0);
}

int main(int argc, char **argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("Brelox floor");

    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glutDisplayFunc(display);
    glutKeyboardFunc(keyDown);
    glutTimerFunc(FIRST_TICK_MS, tick, 0);

    glutMainLoop();
    return 0;
}
