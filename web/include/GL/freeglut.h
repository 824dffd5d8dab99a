// The GLUT calls the viewer makes, as the web build provides them in a page
// (web/glut/). Like freeglut's header it brings in GL and GLU.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#ifdef __cplusplus
extern "C" {
#endif

// clang-format off
#define GLUT_RGB                0x0000
#define GLUT_DOUBLE             0x0002
#define GLUT_DEPTH              0x0010

#define GLUT_LEFT_BUTTON        0
#define GLUT_MIDDLE_BUTTON      1
#define GLUT_RIGHT_BUTTON       2
#define GLUT_DOWN               0
#define GLUT_UP                 1

// Special keys, with freeglut's codes
#define GLUT_KEY_F1             0x0001 // to F12, 0x000C
#define GLUT_KEY_LEFT           0x0064
#define GLUT_KEY_UP             0x0065
#define GLUT_KEY_RIGHT          0x0066
#define GLUT_KEY_DOWN           0x0067
#define GLUT_KEY_PAGE_UP        0x0068
#define GLUT_KEY_PAGE_DOWN      0x0069
#define GLUT_KEY_HOME           0x006A
#define GLUT_KEY_END            0x006B
#define GLUT_KEY_INSERT         0x006C
#define GLUT_KEY_SHIFT_L        0x0070
#define GLUT_KEY_SHIFT_R        0x0071
#define GLUT_KEY_CTRL_L         0x0072
#define GLUT_KEY_CTRL_R         0x0073
#define GLUT_KEY_ALT_L          0x0074
#define GLUT_KEY_ALT_R          0x0075
// clang-format on

void glutInit(int *argcp, char **argv);
void glutInitDisplayMode(unsigned int mode);
void glutInitWindowSize(int width, int height);
void glutInitWindowPosition(int x, int y);
int glutCreateWindow(const char *title);

void glutDisplayFunc(void (*callback)(void));
void glutReshapeFunc(void (*callback)(int width, int height));
void glutKeyboardFunc(void (*callback)(unsigned char key, int x, int y));
void glutKeyboardUpFunc(void (*callback)(unsigned char key, int x, int y));
void glutSpecialFunc(void (*callback)(int key, int x, int y));
void glutSpecialUpFunc(void (*callback)(int key, int x, int y));
void glutMouseFunc(void (*callback)(int button, int state, int x, int y));
void glutMotionFunc(void (*callback)(int x, int y));
void glutTimerFunc(unsigned int msecs, void (*callback)(int value), int value);

void glutPostRedisplay(void);
void glutSwapBuffers(void);
void glutMainLoop(void);

void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks);

#ifdef __cplusplus
}
#endif
