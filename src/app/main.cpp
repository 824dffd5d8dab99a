// Brelox: three colour-graded boxes in motion and a yellow sphere, seen
// through a first-person camera. Controls are listed in interact/keyboard.h
// and interact/mouse.h.
#include "interact/keyboard.h"
#include "interact/mouse.h"
#include "interact/tick.h"
#include "render/projection.h"
#include "render/render_state.h"
#include "render/scene_draw.h"

#include <GL/freeglut.h>

constexpr unsigned int FIRST_TICK_MS = 50;

int main(int argc, char **argv)
{
    glutInit(&argc, argv); // GLUT takes its own options; the viewer has none
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("Brelox");

    initRendering();

    glutDisplayFunc(displayScene);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutMotionFunc(onMouseDrag);
    glutMouseFunc(onMouseButton);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
    glutReshapeFunc(reshapeView);
    glutTimerFunc(FIRST_TICK_MS, onTick, 0);

    glutMainLoop();
    return 0;
}
