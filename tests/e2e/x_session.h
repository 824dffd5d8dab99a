// The real viewer as a user meets it: a process on a virtual X display of
// the test's own, driven with xdotool and seen through grabs of the screen.
// Whatever goes wrong out there (an X error, a failed grab, a window that is
// gone) comes back as a value the test checks, never as a crash.
#pragma once

#include "support/rgb.h"
#include "support/virtual_display.h"

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Where the viewer asks for its window: under Xvfb with no window manager,
// where its client area lands; under Wine, where its frame does, the client
// area up to FRAME_MARGIN pixels inside (the caption differs between Wines).
constexpr int WINDOW_LEFT = 100;
constexpr int WINDOW_TOP = 100;
constexpr int FRAME_MARGIN = BRELOX_FRAME_MARGIN;
constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 600;

constexpr std::chrono::milliseconds HANG_GUARD{10000};

// The client area's top left on the screen, once the window has appeared.
extern int clientLeft;
extern int clientTop;

// One grab of the root window, rows from the top.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // 3 bytes a pixel

    // Window pixel, origin at the window's top left; nothing outside the window.
    std::optional<Rgb> window(int x, int y) const;
};

// The screen as it is now (xwd of the root window turned into PPM by
// convert), or nothing when the grab failed or does not hold the window.
std::optional<Frame> grabScreen();

// Grabs the screen until `accept` holds for a grab; nothing once the deadline
// has passed, which only guards against a hang.
std::optional<Frame> pollScreen(const std::function<bool(const Frame &)> &accept,
                                std::chrono::milliseconds deadline = HANG_GUARD);

// Runs xdotool with these arguments (shell syntax); true when it succeeded.
bool xdotool(const std::string &args);

// What a shell command printed on its standard output.
std::string commandOutput(const std::string &command);

// The viewer binary under test, started on construction on the current
// DISPLAY and killed on destruction if it is still running.
class Viewer
{
  public:
    Viewer();
    ~Viewer();
    Viewer(const Viewer &) = delete;
    Viewer &operator=(const Viewer &) = delete;

    // True once its window exists; `window()` is then its X id.
    bool started() const { return !window_.empty(); }
    const std::string &window() const { return window_; }

    // Polls, so an exit is noticed (and reaped) whenever it happened.
    bool running();

    // The wait status once the process has ended within the deadline.
    std::optional<int> waitForExit(std::chrono::milliseconds deadline);

    // Puts the pointer inside the window and gives it the keyboard focus.
    bool focus();

    // Sends Escape; success when the process then ends with status 0 within
    // a few seconds (a hang guard, not a timing check).
    ::testing::AssertionResult quitsOnEscape();

  private:
    pid_t pid_ = -1;
    std::string window_;
    std::optional<int> status_;
};

// A display of the test's own with the viewer started on it.
struct ViewerSession {
    VirtualDisplay display; // first: the viewer starts on it and ends before it
    Viewer viewer;

    // The display up, the viewer's window found and given the focus.
    ::testing::AssertionResult ready();
};
