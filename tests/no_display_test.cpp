// The real viewer started with no X display to open: GLUT reports it and
// ends the process with a failure status instead of hanging or crashing.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

// Generous: this guards against a hang, it does not time the exit.
constexpr auto HANG_GUARD = std::chrono::seconds(10);

struct Outcome {
    bool exited;        // on its own, before the guard ran out
    int status;         // as waitpid reports it
    std::string errors; // everything written to stderr
};

[[noreturn]] void runViewerWithoutDisplay(int errorPipe)
{
    dup2(errorPipe, STDERR_FILENO);
    close(errorPipe);
    unsetenv("DISPLAY");
    execl(BRELOX_BINARY, BRELOX_BINARY, static_cast<char *>(nullptr));
    _exit(127);
}

bool waitWithGuard(pid_t pid, int &status)
{
    const auto deadline = std::chrono::steady_clock::now() + HANG_GUARD;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return false;
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

Outcome startViewerWithoutDisplay()
{
    int fds[2] = {-1, -1};
    if (pipe(fds) != 0)
        ADD_FAILURE() << "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        runViewerWithoutDisplay(fds[1]);
    }
    close(fds[1]);
    Outcome outcome{false, 0, {}};
    outcome.exited = waitWithGuard(pid, outcome.status);
    outcome.errors = readAll(fds[0]);
    close(fds[0]);
    return outcome;
}

TEST(NoDisplay, ViewerExitsWithGlutsMessageAndFailureStatus)
{
    const Outcome outcome = startViewerWithoutDisplay();

    ASSERT_TRUE(outcome.exited) << "still running after the guard; stderr: " << outcome.errors;
    ASSERT_TRUE(WIFEXITED(outcome.status)) << "ended by a signal; stderr: " << outcome.errors;
    EXPECT_NE(WEXITSTATUS(outcome.status), 0);
    EXPECT_NE(outcome.errors.find(BRELOX_NO_DISPLAY_MESSAGE), std::string::npos) << outcome.errors;
}

} // namespace
