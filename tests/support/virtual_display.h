// Processes a test starts beside itself: an X server of its own, and the
// helpers that tie a child's life to the test's.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

// In a child just forked: the child dies with the test process, however that
// ends (and at once if it already has).
void endWithParent(pid_t parent);

// Asks the process to end, then makes sure it has, and reaps it.
void endProcess(pid_t pid);

// An X server of the test's own: Xvfb on a display number it picks itself and
// reports once it accepts connections, so that tests running side by side
// never see, cover or take each other's windows. While it lives, DISPLAY
// names it, so GLUT, the viewer and every xdotool and xwd the test runs go to it. It ends with this
// object on every way out of a test, and with the test process if that dies.
class VirtualDisplay
{
  public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    // True once Xvfb has reported its display; `name()` is then ":N".
    bool ready() const { return !name_.empty(); }
    const std::string &name() const { return name_; }

  private:
    pid_t pid_ = -1;
    std::string name_;
    std::optional<std::string> previous_; // DISPLAY as it was before
};
