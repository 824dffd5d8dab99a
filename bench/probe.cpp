// Times a freeglut program from the inside without changing it, the one thing
// no stock tool does. Preloaded (LD_PRELOAD), it notes when each frame is shown
// (glutSwapBuffers) and each tick runs (every glutTimerFunc callback) as a line
// "f NS" or "t NS", NS in CLOCK_REALTIME nanoseconds, in the file named by
// BRELOX_PROBE_OUT. With BRELOX_PROBE_MARK set, it also allocates after each
// frame, to mark the frame's end in a heap profiler's record, and flushes the
// file, so that a slow run's progress can be followed.
#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace
{

constexpr int MAX_TIMERS = 16; // pending at once; the programs measured keep one

// Opened at the first event, so that the program measured writes it and no
// other process that inherits the environment does.
std::FILE *eventFile()
{
    static const char *const path = std::getenv("BRELOX_PROBE_OUT");
    static std::FILE *const file = path ? std::fopen(path, "w") : nullptr;
    return file;
}

const bool markFrames = std::getenv("BRELOX_PROBE_MARK") != nullptr;
void *volatile frameMark; // volatile, so that the allocation is not optimised away

// A timer callback receives only its value, so each timer takes a slot and
// the slot's index travels as the value.
struct Timer {
    void (*callback)(int);
    int value;
};
Timer timers[MAX_TIMERS];
int nextTimer = 0;

void note(char kind)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::FILE *file = eventFile();
    if (file)
        std::fprintf(file, "%c %lld%09ld\n", kind, static_cast<long long>(now.tv_sec), now.tv_nsec);
    if (file && markFrames)
        std::fflush(file);
}

void fireTimer(int slot)
{
    const Timer timer = timers[slot];
    note('t');
    timer.callback(timer.value);
}

} // namespace

extern "C" void glutSwapBuffers()
{
    static const auto realSwap = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    realSwap();
    note('f');
    if (markFrames) {
        frameMark = std::malloc(1);
        std::free(frameMark);
    }
}

extern "C" void glutTimerFunc(unsigned int ms, void (*callback)(int), int value)
{
    using TimerFunc = void (*)(unsigned int, void (*)(int), int);
    static const auto realTimer = reinterpret_cast<TimerFunc>(dlsym(RTLD_NEXT, "glutTimerFunc"));
    timers[nextTimer] = {callback, value};
    realTimer(ms, fireTimer, nextTimer);
    nextTimer = (nextTimer + 1) % MAX_TIMERS;
}
