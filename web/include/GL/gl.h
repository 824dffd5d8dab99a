// The OpenGL 1.x calls the viewer makes, as the web build provides them on
// WebGL 2 (web/gl/). Nothing else is declared: a call outside this subset
// does not compile, and one declared by hand does not link.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned int GLenum;
typedef unsigned int GLbitfield;
typedef unsigned int GLuint;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLboolean;
typedef float GLfloat;
typedef double GLdouble;
typedef void GLvoid;

// clang-format off
#define GL_FALSE                0
#define GL_TRUE                 1

#define GL_TRIANGLE_STRIP       0x0005
#define GL_UNSIGNED_INT         0x1405
#define GL_FLOAT                0x1406

#define GL_DEPTH_BUFFER_BIT     0x00000100
#define GL_COLOR_BUFFER_BIT     0x00004000

#define GL_FRONT                0x0404
#define GL_BACK                 0x0405
#define GL_FRONT_AND_BACK       0x0408
#define GL_FILL                 0x1B02
#define GL_FLAT                 0x1D00
#define GL_SMOOTH               0x1D01
#define GL_MODELVIEW            0x1700
#define GL_PROJECTION           0x1701

// Capabilities (glEnable, glDisable, glIsEnabled)
#define GL_LINE_SMOOTH          0x0B20
#define GL_POLYGON_SMOOTH       0x0B41
#define GL_CULL_FACE            0x0B44
#define GL_LIGHTING             0x0B50
#define GL_COLOR_MATERIAL       0x0B57
#define GL_DEPTH_TEST           0x0B71
#define GL_NORMALIZE            0x0BA1
#define GL_LIGHT0               0x4000
#define GL_LIGHT1               0x4001

// Client arrays (glEnableClientState, glDisableClientState, glIsEnabled)
#define GL_VERTEX_ARRAY         0x8074
#define GL_COLOR_ARRAY          0x8076

// Light and light-model parameters
#define GL_LIGHT_MODEL_AMBIENT  0x0B53
#define GL_AMBIENT              0x1200
#define GL_DIFFUSE              0x1201
#define GL_SPECULAR             0x1202
#define GL_POSITION             0x1203
#define GL_SPOT_DIRECTION       0x1204
#define GL_SPOT_EXPONENT        0x1205
#define GL_SPOT_CUTOFF          0x1206
// clang-format on

void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void glClear(GLbitfield mask);
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);

void glEnable(GLenum cap);
void glDisable(GLenum cap);
GLboolean glIsEnabled(GLenum cap);
void glEnableClientState(GLenum array);
void glDisableClientState(GLenum array);

void glCullFace(GLenum mode);
void glPolygonMode(GLenum face, GLenum mode);
void glShadeModel(GLenum mode);

void glMatrixMode(GLenum mode);
void glLoadIdentity(void);
void glPushMatrix(void);
void glPopMatrix(void);
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void glTranslatef(GLfloat x, GLfloat y, GLfloat z);

void glLightf(GLenum light, GLenum pname, GLfloat param);
void glLightfv(GLenum light, GLenum pname, const GLfloat *params);
void glLightModelfv(GLenum pname, const GLfloat *params);
void glColor3f(GLfloat red, GLfloat green, GLfloat blue);
void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz);

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer);
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer);
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid *indices);

#ifdef __cplusplus
}
#endif
