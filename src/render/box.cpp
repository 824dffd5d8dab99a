#include "render/box.h"

// clang-format off
const GLfloat BOX_VERTICES[BOX_VERTEX_COUNT][3] = {
    //  x     y     z
    {  1.f,  1.f,  1.f },  // 0
    {  1.f,  0.f,  1.f },  // 1
    { -1.f,  1.f,  1.f },  // 2
    { -1.f,  0.f,  1.f },  // 3
    { -1.f,  1.f, -1.f },  // 4
    { -1.f,  0.f, -1.f },  // 5
    {  1.f,  1.f, -1.f },  // 6
    {  1.f,  0.f, -1.f },  // 7
};

// A ring round the four sides, each side sharing its edge with the next,
// then the top and the bottom.
const GLuint BOX_INDICES[BOX_INDEX_COUNT] = {
    1, 0, 3, 2, 5, 4, 7, 6, 1, 0,  // front, left, back, right
    4, 2, 6, 0,                    // top
    3, 5, 1, 7,                    // bottom
};

// Each face is a four-index strip, counter-clockwise from outside.
struct BoxFace {
    GLfloat normal[3];
    int firstIndex;
};

constexpr int BOX_FACE_COUNT = 6;

const BoxFace BOX_FACES[BOX_FACE_COUNT] = {
    //   normal              first index
    { {  0.f,  0.f,  1.f },   0 },  // front
    { { -1.f,  0.f,  0.f },   2 },  // left
    { {  0.f,  0.f, -1.f },   4 },  // back
    { {  1.f,  0.f,  0.f },   6 },  // right
    { {  0.f,  1.f,  0.f },  10 },  // top
    { {  0.f, -1.f,  0.f },  14 },  // bottom
};
// clang-format on

void drawBox(float aR, float aG, float aB, float bR, float bG, float bB)
{
    // Vertices at x = 1 take colour A, those at x = -1 colour B.
    const GLfloat colours[BOX_VERTEX_COUNT][3] = {
        {aR, aG, aB}, {aR, aG, aB}, {bR, bG, bB}, {bR, bG, bB},
        {bR, bG, bB}, {bR, bG, bB}, {aR, aG, aB}, {aR, aG, aB},
    };

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, BOX_VERTICES);
    glColorPointer(3, GL_FLOAT, 0, colours);

    // The faces need no transformation of their own, so the matrix leaves
    // this loop unchanged; the push and pop keep drawBox's promise to leave
    // the stack as it found it, whatever a face may one day add, for the
    // price of one matrix copy.
    glPushMatrix();
    for (const BoxFace &face : BOX_FACES) {
        glNormal3f(face.normal[0], face.normal[1], face.normal[2]);
        glDrawElements(GL_TRIANGLE_STRIP, 4, GL_UNSIGNED_INT, BOX_INDICES + face.firstIndex);
    }
    glPopMatrix();

    // The colour table dies with this call: nothing drawn later may read it.
    glDisableClientState(GL_COLOR_ARRAY);
}
