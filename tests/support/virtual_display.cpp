#include "support/virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds POLL_INTERVAL{10};

// Only guards against a hang: Xvfb reports its display within a second.
constexpr std::chrono::seconds START_GUARD{10};

// Large enough for the window at twice the viewer's size (the browser's
// frames at device pixel ratio 2 are compared with 1600 x 1200 native ones)
// and the pointer moves of the tests round it.
const char *const SCREEN = "1920x1440x24";

// What Xvfb writes to the -displayfd pipe: its display number and a newline,
// once it accepts connections. Empty when it ends or the guard runs out first.
std::string readDisplayNumber(int fd)
{
    std::string number;
    const auto deadline = Clock::now() + START_GUARD;
    while (Clock::now() < deadline) {
        pollfd ready = {fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (poll(&ready, 1, static_cast<int>(left.count()) + 1) <= 0)
            break;
        char c = 0;
        if (read(fd, &c, 1) != 1)
            break;
        if (c == '\n')
            return number;
        number += c;
    }
    return {};
}

} // namespace

void endWithParent(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(127);
}

void endProcess(pid_t pid)
{
    kill(pid, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (waitpid(pid, nullptr, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
}

VirtualDisplay::VirtualDisplay()
{
    if (const char *display = std::getenv("DISPLAY"))
        previous_ = display;
    // Nothing the test starts may stray onto another display meanwhile.
    unsetenv("DISPLAY");

    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        endWithParent(parent);
        fcntl(fds[1], F_SETFD, 0); // the write end goes to Xvfb
        const std::string fd = std::to_string(fds[1]);
        // -noreset: the viewer, xdotool and xwd come and go, and a server that
        // resets when its last client leaves refuses whoever connects meanwhile.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", SCREEN, "-nolisten", "tcp",
               "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    const std::string number = pid_ > 0 ? readDisplayNumber(fds[0]) : std::string();
    close(fds[0]);
    if (!number.empty()) {
        name_ = ":" + number;
        setenv("DISPLAY", name_.c_str(), 1);
    }
}

VirtualDisplay::~VirtualDisplay()
{
    if (pid_ > 0)
        endProcess(pid_);
    if (previous_)
        setenv("DISPLAY", previous_->c_str(), 1);
    else
        unsetenv("DISPLAY");
}
