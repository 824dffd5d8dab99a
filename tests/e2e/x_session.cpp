#include "e2e/x_session.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds POLL_INTERVAL{10};
// Each look for the window starts a process: a slower pace leaves the CPU to
// the viewer starting, under Wine most of all.
constexpr std::chrono::milliseconds SEARCH_INTERVAL{100};

std::string readAll(FILE *pipe)
{
    std::string data;
    char buffer[1 << 16];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        data.append(buffer, n);
    return data;
}

// Skips whitespace and '#' comments (convert writes one) before a header field.
size_t skipToField(const std::string &data, size_t at)
{
    while (at < data.size()) {
        if (data[at] == '#')
            at = data.find('\n', at);
        else if (std::isspace(static_cast<unsigned char>(data[at])) != 0)
            ++at;
        else
            break;
    }
    return at;
}

int headerNumber(const std::string &data, size_t &at)
{
    at = skipToField(data, at);
    int value = 0;
    while (at < data.size() && std::isdigit(static_cast<unsigned char>(data[at])) != 0)
        value = value * 10 + (data[at++] - '0');
    return value;
}

// A binary PPM with 8-bit samples; an invalid frame for anything else.
Frame parsePpm(const std::string &data)
{
    Frame frame;
    if (data.compare(0, 2, "P6") != 0)
        return frame;
    size_t at = 2;
    const int width = headerNumber(data, at);
    const int height = headerNumber(data, at);
    const int maxValue = headerNumber(data, at);
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    ++at; // the one whitespace byte before the samples
    if (maxValue != 255 || data.size() < at + bytes)
        return frame;
    frame.width = width;
    frame.height = height;
    frame.rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                     data.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    return frame;
}

} // namespace

int clientLeft = WINDOW_LEFT;
int clientTop = WINDOW_TOP;

std::optional<Rgb> Frame::window(int x, int y) const
{
    const int rootX = clientLeft + x;
    const int rootY = clientTop + y;
    if (x < 0 || x >= WINDOW_WIDTH || y < 0 || y >= WINDOW_HEIGHT || rootX >= width || rootY >= height)
        return std::nullopt;
    const size_t at =
        (static_cast<size_t>(rootY) * static_cast<size_t>(width) + static_cast<size_t>(rootX)) * 3;
    if (at + 3 > rgb.size())
        return std::nullopt;
    const auto channel = [&](size_t i) { return static_cast<float>(rgb[at + i]) / 255.0f; };
    return Rgb{channel(0), channel(1), channel(2)};
}

std::optional<Frame> grabScreen()
{
    FILE *pipe = popen("xwd -root -silent | convert xwd:- -depth 8 ppm:-", "r");
    if (pipe == nullptr)
        return std::nullopt;
    const std::string data = readAll(pipe);
    pclose(pipe);
    Frame frame = parsePpm(data);
    if (frame.width < clientLeft + WINDOW_WIDTH || frame.height < clientTop + WINDOW_HEIGHT)
        return std::nullopt;
    return frame;
}

std::optional<Frame> pollScreen(const std::function<bool(const Frame &)> &accept,
                                std::chrono::milliseconds deadline)
{
    const auto end = Clock::now() + deadline;
    do {
        std::optional<Frame> frame = grabScreen();
        if (frame && accept(*frame))
            return frame;
    } while (Clock::now() < end);
    return std::nullopt;
}

bool xdotool(const std::string &args)
{
    // timeout: a hang guard for --sync waits that never end
    return std::system(("timeout 10 xdotool " + args).c_str()) == 0;
}

std::string commandOutput(const std::string &command)
{
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string output = readAll(pipe);
    pclose(pipe);
    return output;
}

Viewer::Viewer()
{
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        endWithParent(parent);
        execl(BRELOX_BINARY, BRELOX_BINARY, static_cast<char *>(nullptr));
        _exit(127);
    }
    if (pid_ < 0)
        return;
    // Searched for again and again rather than with --sync: xdotool ends at
    // the first window that vanishes under its search (BadWindow), and Wine
    // makes and destroys windows of its own while the viewer starts. The
    // bound is a hang guard: under Wine on a busy machine the window takes
    // seconds.
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (running() && Clock::now() < end) {
        const std::string found = commandOutput("xdotool search --onlyvisible --name '^Brelox$' 2>/dev/null");
        window_ = found.substr(0, found.find('\n'));
        if (!window_.empty())
            break;
        std::this_thread::sleep_for(SEARCH_INTERVAL);
    }
    if (window_.empty())
        return;
    const std::string geometry = commandOutput("xdotool getwindowgeometry --shell " + window_);
    if (const size_t at = geometry.find("\nX="); at != std::string::npos)
        std::sscanf(geometry.c_str() + at, " X=%d Y=%d", &clientLeft, &clientTop);
}

Viewer::~Viewer()
{
    if (pid_ > 0 && running())
        endProcess(pid_);
}

bool Viewer::running()
{
    if (pid_ <= 0 || status_)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_)
        return true;
    status_ = status;
    return false;
}

std::optional<int> Viewer::waitForExit(std::chrono::milliseconds deadline)
{
    const auto end = Clock::now() + deadline;
    while (running() && Clock::now() < end)
        std::this_thread::sleep_for(POLL_INTERVAL);
    return status_;
}

bool Viewer::focus()
{
    const std::string centre =
        std::to_string(clientLeft + WINDOW_WIDTH / 2) + " " + std::to_string(clientTop + WINDOW_HEIGHT / 2);
    return xdotool("mousemove " + centre + " windowfocus --sync " + window_);
}

::testing::AssertionResult Viewer::quitsOnEscape()
{
    if (!xdotool("key Escape"))
        return ::testing::AssertionFailure() << "xdotool could not send Escape";
    const std::optional<int> status = waitForExit(std::chrono::seconds(5));
    if (!status)
        return ::testing::AssertionFailure() << "still running after Escape";
    if (!WIFEXITED(*status) || WEXITSTATUS(*status) != 0)
        return ::testing::AssertionFailure() << "ended with wait status " << *status;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ViewerSession::ready()
{
    if (!display.ready())
        return ::testing::AssertionFailure() << "Xvfb reported no display";
    if (!viewer.started())
        return ::testing::AssertionFailure() << "no window titled Brelox appeared on " << display.name()
                                             << "; viewer " << (viewer.running() ? "still running" : "ended");
    if (!viewer.focus())
        return ::testing::AssertionFailure() << "could not focus the viewer's window";
    return ::testing::AssertionSuccess();
}
