// Measures a freeglut program from the inside without changing it. Loaded
// with LD_PRELOAD, it wraps glutSwapBuffers (frames), glutTimerFunc (ticks)
// and the allocator, and on exit writes its figures as key=value lines.
//
// Environment:
//   BRELOX_PROBE_OUT        file for the figures; nothing is written without it
//   BRELOX_PROBE_T0         launch time in seconds since the epoch (bash's
//                           $EPOCHREALTIME), for the time to the first frame
//   BRELOX_PROBE_CALLGRIND  "N M": under callgrind --instr-atstart=no, count
//                           instructions from the end of frame N to the end of
//                           frame N+M, then create the file <OUT>.done
//
// Steady-state figures cover the frames after the first WARMUP_FRAMES, which
// take the window's mapping and the renderer's shader compiles.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <malloc.h>
#include <new>
#include <sys/resource.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

#include <GL/freeglut.h>

namespace
{

constexpr std::uint64_t WARMUP_FRAMES = 30;
constexpr std::size_t MAX_FRAMES = 1 << 15;
constexpr int MAX_TIMERS = 64;
constexpr int MAX_RANGES = 32;
constexpr int MAX_WALK = 32;

// ---- Where a call comes from -------------------------------------------

struct Range {
    std::uintptr_t begin;
    std::uintptr_t end;
};

struct RangeSet {
    Range ranges[MAX_RANGES];
    int count;

    void add(std::uintptr_t begin, std::uintptr_t end)
    {
        if (count < MAX_RANGES)
            ranges[count++] = {begin, end};
    }
    bool holds(std::uintptr_t address) const
    {
        for (int i = 0; i < count; ++i)
            if (address >= ranges[i].begin && address < ranges[i].end)
                return true;
        return false;
    }
};

// Executable segments of the main program, and of the language runtime (C and
// C++ libraries, the loader, this probe) through which the program's own code
// may reach the allocator, e.g. strdup or an out-of-line std::string member.
RangeSet mainCode;
RangeSet runtimeCode;

// Set while the probe itself is working on this thread, so that allocations
// made by its own helpers (the unwinder, dlsym) are neither counted nor walked.
[[gnu::tls_model("initial-exec")]] thread_local bool inProbe = false;

bool isRuntimeLibrary(const char *path)
{
    const char *base = std::strrchr(path, '/');
    base = base ? base + 1 : path;
    const char *const prefixes[] = {"libc.so", "libstdc++.so", "libgcc_s.so", "libm.so", "ld-linux"};
    for (const char *prefix : prefixes)
        if (std::strncmp(base, prefix, std::strlen(prefix)) == 0)
            return true;
    return false;
}

bool holdsAddress(const dl_phdr_info *info, std::uintptr_t address)
{
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && address >= begin && address < begin + segment.p_memsz)
            return true;
    }
    return false;
}

void addCodeSegments(const dl_phdr_info *info, RangeSet &set)
{
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0) {
            const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
            set.add(begin, begin + segment.p_memsz);
        }
    }
}

// The main program is the first object the loader reports.
int noteObject(dl_phdr_info *info, std::size_t, void *seen)
{
    int &objects = *static_cast<int *>(seen);
    const auto self = reinterpret_cast<std::uintptr_t>(&noteObject);
    if (objects++ == 0)
        addCodeSegments(info, mainCode);
    else if (isRuntimeLibrary(info->dlpi_name) || holdsAddress(info, self))
        addCodeSegments(info, runtimeCode);
    return 0;
}

// A call from the runtime is followed up the stack to the first caller outside
// it: the program's own code, or a library such as freeglut or Mesa.
bool runtimeCallerIsOwnCode()
{
    void *frames[MAX_WALK];
    const int depth = backtrace(frames, MAX_WALK);
    for (int i = 0; i < depth; ++i) {
        const auto address = reinterpret_cast<std::uintptr_t>(frames[i]);
        if (!runtimeCode.holds(address))
            return mainCode.holds(address);
    }
    return false;
}

bool isOwnCode(const void *returnAddress)
{
    const auto address = reinterpret_cast<std::uintptr_t>(returnAddress);
    if (mainCode.holds(address))
        return true;
    return runtimeCode.holds(address) && runtimeCallerIsOwnCode();
}

// ---- Allocation counts -------------------------------------------------

std::atomic<std::uint64_t> ownAllocations{0};
std::atomic<std::uint64_t> stackAllocations{0};

void noteAllocation(const void *returnAddress)
{
    if (inProbe)
        return;
    inProbe = true;
    std::atomic<std::uint64_t> &counter = isOwnCode(returnAddress) ? ownAllocations : stackAllocations;
    counter.fetch_add(1, std::memory_order_relaxed);
    inProbe = false;
}

// ---- The real allocator ------------------------------------------------

using MallocFn = void *(*)(std::size_t);
using CallocFn = void *(*)(std::size_t, std::size_t);
using ReallocFn = void *(*)(void *, std::size_t);
using FreeFn = void (*)(void *);
using PosixMemalignFn = int (*)(void **, std::size_t, std::size_t);

struct Allocator {
    MallocFn malloc;
    CallocFn calloc;
    ReallocFn realloc;
    FreeFn free;
    PosixMemalignFn posixMemalign; // behind memalign and aligned_alloc too
};
Allocator real;

// dlsym may allocate while the real allocator is being looked up; those few
// blocks come from here and are never freed.
alignas(std::max_align_t) unsigned char bootstrap[8192];
std::size_t bootstrapUsed = 0;

void *bootstrapAllocate(std::size_t size)
{
    const std::size_t rounded = (size + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
    if (rounded > sizeof bootstrap - bootstrapUsed)
        return nullptr;
    void *block = bootstrap + bootstrapUsed;
    bootstrapUsed += rounded;
    return block;
}

bool isBootstrap(const void *block)
{
    const auto *byte = static_cast<const unsigned char *>(block);
    return byte >= bootstrap && byte < bootstrap + sizeof bootstrap;
}

template <typename F> F nextSymbol(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool realAllocatorReady()
{
    static bool resolving = false;
    if (real.free || resolving)
        return real.free != nullptr;
    resolving = true;
    real.malloc = nextSymbol<MallocFn>("malloc");
    real.calloc = nextSymbol<CallocFn>("calloc");
    real.realloc = nextSymbol<ReallocFn>("realloc");
    real.posixMemalign = nextSymbol<PosixMemalignFn>("posix_memalign");
    real.free = nextSymbol<FreeFn>("free"); // last: it marks the set complete
    resolving = false;
    return real.free != nullptr;
}

void *allocate(std::size_t size, const void *caller)
{
    if (!realAllocatorReady())
        return bootstrapAllocate(size);
    noteAllocation(caller);
    return real.malloc(size);
}

void *allocateAligned(std::size_t alignment, std::size_t size, const void *caller)
{
    if (!realAllocatorReady())
        return nullptr;
    noteAllocation(caller);
    void *block = nullptr;
    return real.posixMemalign(&block, std::max(alignment, sizeof(void *)), size) == 0 ? block : nullptr;
}

// ---- Frames and ticks --------------------------------------------------

std::uint64_t clockNs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

struct Snapshot {
    std::uint64_t frames;
    std::uint64_t ns;
    std::uint64_t cpuNs;
    std::uint64_t own;
    std::uint64_t stack;
};

Snapshot takeSnapshot(std::uint64_t frames, std::uint64_t ns)
{
    return {frames, ns, clockNs(CLOCK_PROCESS_CPUTIME_ID), ownAllocations.load(), stackAllocations.load()};
}

struct FrameLog {
    std::uint64_t frames;
    std::uint64_t firstFrameRealNs;
    Snapshot steadyStart;
    Snapshot steadyEnd;
    std::uint64_t shownNs[MAX_FRAMES]; // steady frames only
    std::size_t shown;
};
FrameLog frameLog;

// Frames drawn between consecutive steady ticks: how many such gaps saw
// none, one, or more than one frame.
struct TickLog {
    std::uint64_t ticks;
    std::uint64_t steadyTicks;
    std::uint64_t framesAtLastTick;
    std::uint64_t gapsWithFrames[3];
};
TickLog tickLog;

struct CallgrindWindow {
    std::uint64_t startFrame;
    std::uint64_t frames;
};
CallgrindWindow callgrind;

char outPath[4096];
double launchRealSeconds = -1.0;

void touchDoneMarker()
{
    char marker[sizeof outPath + 8];
    std::snprintf(marker, sizeof marker, "%s.done", outPath);
    const int fd = open(marker, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0)
        close(fd);
}

void steerCallgrind(std::uint64_t frame)
{
    if (callgrind.frames == 0)
        return;
    if (frame == callgrind.startFrame)
        CALLGRIND_START_INSTRUMENTATION;
    if (frame == callgrind.startFrame + callgrind.frames) {
        CALLGRIND_STOP_INSTRUMENTATION;
        touchDoneMarker();
    }
}

void noteFrameShown()
{
    const std::uint64_t now = clockNs(CLOCK_MONOTONIC);
    const std::uint64_t frame = ++frameLog.frames;
    if (frame == 1)
        frameLog.firstFrameRealNs = clockNs(CLOCK_REALTIME);
    if (frame == WARMUP_FRAMES)
        frameLog.steadyStart = takeSnapshot(frame, now);
    if (frame >= WARMUP_FRAMES) {
        frameLog.steadyEnd = takeSnapshot(frame, now);
        if (frameLog.shown < MAX_FRAMES)
            frameLog.shownNs[frameLog.shown++] = now;
    }
    steerCallgrind(frame);
}

void noteTick()
{
    ++tickLog.ticks;
    if (frameLog.frames >= WARMUP_FRAMES) {
        if (tickLog.steadyTicks++ > 0) {
            const std::uint64_t drawn = frameLog.frames - tickLog.framesAtLastTick;
            ++tickLog.gapsWithFrames[std::min<std::uint64_t>(drawn, 2)];
        }
    }
    tickLog.framesAtLastTick = frameLog.frames;
}

// GLUT hands a timer callback only its value, so each pending timer gets a
// slot and the slot's index travels as the value.
struct TimerSlot {
    void (*callback)(int);
    int value;
    bool pending;
};
TimerSlot timers[MAX_TIMERS];

void fireTimer(int slot)
{
    const TimerSlot timer = timers[slot];
    timers[slot].pending = false;
    noteTick();
    timer.callback(timer.value);
}

int freeTimerSlot()
{
    for (int i = 0; i < MAX_TIMERS; ++i)
        if (!timers[i].pending)
            return i;
    return -1;
}

// ---- Report ------------------------------------------------------------

struct Writer {
    char text[4096];
    std::size_t used;

    void add(const char *key, double value)
    {
        const int n = std::snprintf(text + used, sizeof text - used, "%s=%.6f\n", key, value);
        if (n > 0)
            used = std::min(sizeof text - 1, used + static_cast<std::size_t>(n));
    }
};

double toDouble(std::uint64_t value)
{
    return static_cast<double>(value);
}

// Nearest-rank percentile of the sorted intervals, in milliseconds.
double percentileMs(const std::uint64_t *sorted, std::size_t count, double fraction)
{
    if (count == 0)
        return 0.0;
    auto rank = static_cast<std::size_t>(fraction * toDouble(count) + 0.999999);
    rank = std::clamp<std::size_t>(rank, 1, count);
    return toDouble(sorted[rank - 1]) / 1e6;
}

void addIntervals(Writer &out)
{
    static std::uint64_t intervals[MAX_FRAMES];
    const std::size_t count = frameLog.shown > 0 ? frameLog.shown - 1 : 0;
    for (std::size_t i = 0; i < count; ++i)
        intervals[i] = frameLog.shownNs[i + 1] - frameLog.shownNs[i];
    std::sort(intervals, intervals + count);
    out.add("interval_p50_ms", percentileMs(intervals, count, 0.50));
    out.add("interval_p99_ms", percentileMs(intervals, count, 0.99));
    out.add("interval_max_ms", percentileMs(intervals, count, 1.0));
}

void addTicks(Writer &out)
{
    const std::uint64_t *gaps = tickLog.gapsWithFrames;
    const std::uint64_t all = gaps[0] + gaps[1] + gaps[2];
    // A gap with more than one frame counts as two: enough to spoil the ratio.
    const double frames = toDouble(gaps[1] + 2 * gaps[2]);
    out.add("ticks", toDouble(tickLog.ticks));
    out.add("frames_per_tick", all > 0 ? frames / toDouble(all) : 0.0);
    out.add("ticks_without_frame", toDouble(gaps[0]));
    out.add("ticks_with_extra_frames", toDouble(gaps[2]));
}

void addSteadyState(Writer &out)
{
    const Snapshot &a = frameLog.steadyStart;
    const Snapshot &b = frameLog.steadyEnd;
    const double frames = toDouble(b.frames - a.frames);
    const double seconds = toDouble(b.ns - a.ns) / 1e9;
    out.add("steady_frames", frames);
    out.add("fps", seconds > 0.0 ? frames / seconds : 0.0);
    out.add("cpu_ms_per_frame", frames > 0.0 ? toDouble(b.cpuNs - a.cpuNs) / 1e6 / frames : 0.0);
    out.add("own_allocs_steady", toDouble(b.own - a.own));
    out.add("own_allocs_per_frame", frames > 0.0 ? toDouble(b.own - a.own) / frames : 0.0);
    out.add("stack_allocs_per_frame", frames > 0.0 ? toDouble(b.stack - a.stack) / frames : 0.0);
}

void addProcess(Writer &out)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    out.add("frames", toDouble(frameLog.frames));
    out.add("peak_rss_mib", static_cast<double>(usage.ru_maxrss) / 1024.0);
    out.add("own_allocs_total", toDouble(ownAllocations.load()));
    if (launchRealSeconds >= 0.0 && frameLog.frames > 0)
        out.add("first_frame_ms", (toDouble(frameLog.firstFrameRealNs) / 1e9 - launchRealSeconds) * 1e3);
    if (callgrind.frames > 0)
        out.add("callgrind_frames", toDouble(callgrind.frames));
}

void writeReport()
{
    static Writer out;
    addSteadyState(out);
    addIntervals(out);
    addTicks(out);
    addProcess(out);
    const int fd = open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    const ssize_t written = write(fd, out.text, out.used);
    close(fd);
    if (written != static_cast<ssize_t>(out.used))
        std::fprintf(stderr, "brelox probe: short write to %s\n", outPath);
}

// ---- Start and end -----------------------------------------------------

void readEnvironment()
{
    if (const char *path = std::getenv("BRELOX_PROBE_OUT"))
        std::snprintf(outPath, sizeof outPath, "%s", path);
    if (const char *t0 = std::getenv("BRELOX_PROBE_T0"))
        launchRealSeconds = std::strtod(t0, nullptr);
    if (const char *window = std::getenv("BRELOX_PROBE_CALLGRIND")) {
        unsigned long long start = 0, frames = 0;
        if (std::sscanf(window, "%llu %llu", &start, &frames) == 2 && start > 0)
            callgrind = {start, frames};
    }
}

[[gnu::constructor]] void startProbe()
{
    inProbe = true;
    realAllocatorReady();
    int objects = 0;
    dl_iterate_phdr(noteObject, &objects);
    void *warm[1];
    backtrace(warm, 1); // loads the unwinder now rather than inside a count
    readEnvironment();
    inProbe = false;
}

[[gnu::destructor]] void endProbe()
{
    inProbe = true;
    if (outPath[0] != '\0')
        writeReport();
}

} // namespace

// ---- Interposed entry points -------------------------------------------

extern "C" {

void *malloc(std::size_t size) noexcept
{
    return allocate(size, __builtin_return_address(0));
}

void *calloc(std::size_t count, std::size_t size) noexcept
{
    if (!realAllocatorReady())
        return bootstrapAllocate(count * size); // static storage: already zero
    noteAllocation(__builtin_return_address(0));
    return real.calloc(count, size);
}

void *realloc(void *block, std::size_t size) noexcept
{
    if (isBootstrap(block)) {
        void *moved = allocate(size, __builtin_return_address(0));
        const auto available =
            static_cast<std::size_t>(bootstrap + sizeof bootstrap - static_cast<unsigned char *>(block));
        if (moved)
            std::memcpy(moved, block, std::min(size, available));
        return moved;
    }
    if (!realAllocatorReady())
        return nullptr;
    if (size > 0)
        noteAllocation(__builtin_return_address(0));
    return real.realloc(block, size);
}

void free(void *block) noexcept
{
    if (block == nullptr || isBootstrap(block) || !realAllocatorReady())
        return;
    real.free(block);
}

void *memalign(std::size_t alignment, std::size_t size) noexcept
{
    return allocateAligned(alignment, size, __builtin_return_address(0));
}

void *aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    return allocateAligned(alignment, size, __builtin_return_address(0));
}

int posix_memalign(void **block, std::size_t alignment, std::size_t size) noexcept
{
    if (!realAllocatorReady())
        return ENOMEM;
    noteAllocation(__builtin_return_address(0));
    return real.posixMemalign(block, alignment, size);
}

void glutSwapBuffers()
{
    static const auto realSwap = nextSymbol<void (*)()>("glutSwapBuffers");
    realSwap();
    noteFrameShown();
}

void glutTimerFunc(unsigned int ms, void (*callback)(int), int value)
{
    static const auto realTimer = nextSymbol<void (*)(unsigned int, void (*)(int), int)>("glutTimerFunc");
    const int slot = freeTimerSlot();
    if (slot < 0) {
        realTimer(ms, callback, value); // runs uncounted rather than not at all
        return;
    }
    timers[slot] = {callback, value, true};
    realTimer(ms, fireTimer, slot);
}

} // extern "C"

// operator new is interposed too, so that a `new` in the program's code is
// seen from the call site in the program rather than from the C++ runtime.
static void *newBlock(std::size_t size, const void *caller)
{
    void *block = allocate(size == 0 ? 1 : size, caller);
    if (!block)
        throw std::bad_alloc();
    return block;
}

static void *newAlignedBlock(std::size_t size, std::align_val_t alignment, const void *caller)
{
    void *block = allocateAligned(static_cast<std::size_t>(alignment), size == 0 ? 1 : size, caller);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void *operator new(std::size_t size)
{
    return newBlock(size, __builtin_return_address(0));
}

void *operator new[](std::size_t size)
{
    return newBlock(size, __builtin_return_address(0));
}

void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return allocate(size == 0 ? 1 : size, __builtin_return_address(0));
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return allocate(size == 0 ? 1 : size, __builtin_return_address(0));
}

void *operator new(std::size_t size, std::align_val_t alignment)
{
    return newAlignedBlock(size, alignment, __builtin_return_address(0));
}

void *operator new[](std::size_t size, std::align_val_t alignment)
{
    return newAlignedBlock(size, alignment, __builtin_return_address(0));
}
