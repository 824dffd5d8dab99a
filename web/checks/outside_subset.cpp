// Calls that the layer does not provide, declared by hand as a stray call
// would be: emscripten's own GL libraries would supply every one of them
// (glBegin as a stub that throws when called). With the layer this program
// must not link.
#include <GL/freeglut.h>

extern "C" {
void glBegin(GLenum mode);
void glEnd(void);
void glDrawArrays(GLenum mode, GLint first, GLsizei count);
void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top);
void glutSolidCube(GLdouble size);
}

int main()
{
    glBegin(GL_TRIANGLE_STRIP);
    glEnd();
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 3);
    gluOrtho2D(0.0, 1.0, 0.0, 1.0);
    glutSolidCube(1.0);
    return 0;
}
