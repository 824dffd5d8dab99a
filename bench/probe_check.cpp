// Allocates through every entry point the probe watches, from this program's
// own code, and once inside a library (GLU). Prints how many of its
// allocations are its own, for check-probe.sh to compare with what the probe
// counted: the benchmark's zero-allocation verdict means nothing unless the
// probe sees such allocations and keeps the library's apart.
#include <GL/glu.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>
#include <string>
#include <unistd.h>

namespace
{

struct alignas(64) Wide {
    char bytes[64];
};

// Volatile, so that no allocation is optimised away.
void *volatile kept[16];

// Allocations whose call sits in this program; returns their number.
int allocateDirectly()
{
    kept[0] = std::malloc(16);
    kept[1] = std::calloc(4, 4);
    kept[2] = std::realloc(nullptr, 32);
    kept[2] = std::realloc(kept[2], 4096);
    kept[3] = aligned_alloc(64, 64);
    void *block = nullptr;
    if (posix_memalign(&block, 64, 64) == 0)
        kept[4] = block;
    kept[5] = memalign(64, 64);
    kept[6] = new int(1);
    kept[7] = new int[4]();
    kept[8] = new Wide();
    kept[9] = new (std::nothrow) int(2);
    return 11;
}

// Allocations that the C and C++ runtimes make on this program's behalf.
int allocateThroughRuntime()
{
    kept[10] = strdup("made by strdup on the program's behalf");
    static std::string text(200, 'x');
    kept[11] = &text;
    return 2;
}

} // namespace

int main()
{
    const int own = allocateDirectly() + allocateThroughRuntime();
    GLUquadric *quadric = gluNewQuadric(); // allocated inside GLU: not the program's own
    // printf and dprintf would allocate a stream buffer on the program's behalf.
    char line[16];
    const int length = std::snprintf(line, sizeof line, "%d\n", own);
    const bool written = write(1, line, static_cast<std::size_t>(length)) == length;
    gluDeleteQuadric(quadric);
    return written ? 0 : 1;
}
