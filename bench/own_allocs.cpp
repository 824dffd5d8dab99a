// Makes five heap allocations of its own, directly and through the C and C++
// runtimes, and one inside a library (GLU). The benchmark stops unless it
// counts exactly these five as this program's own: its verdict of no own-code
// allocations in the viewer would mean nothing otherwise.
#include <GL/glu.h>
#include <cstdlib>
#include <cstring>
#include <string>

static void *volatile kept[4]; // volatile, so that no allocation is optimised away

int main()
{
    kept[0] = std::malloc(16);
    kept[1] = new int(1);
    kept[2] = strdup("copied by the C library on the program's behalf");
    kept[3] = new std::string(200, 'x'); // the object, and its text from inside the C++ library
    GLUquadric *quadric = gluNewQuadric();
    gluDeleteQuadric(quadric);
    return 0;
}
