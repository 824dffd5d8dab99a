// About ten seconds of random keys, drags with any button and window resizes,
// sent to the real viewer through X: it must live through all of it and then
// still quit cleanly on Escape.
#include "e2e/x_session.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

// Fixed, so that a failing storm can be replayed.
constexpr std::mt19937::result_type STORM_SEED = 20240611;
constexpr std::chrono::seconds STORM_LENGTH{10};

// Every key the viewer acts on, a few it ignores, and Shift; never Escape.
const char *const KEYS[] = {"w", "a", "s",     "d",    "W",     "A",  "S",      "D",     "k",
                            "l", "K", "L",     "Left", "Right", "Up", "Down",   "Prior", "Next",
                            "q", "x", "space", "Home", "End",   "F1", "Shift_L"};

class Storm
{
  public:
    Storm(const std::string &window) : window_(window), random_(STORM_SEED) {}

    // One burst of input: the arguments of a single xdotool chain.
    std::string burst()
    {
        switch (pick(0, 3)) {
        case 0: return resize();
        case 1: return drag();
        default: return keys();
        }
    }

  private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string pause(int lowMs, int highMs)
    {
        return " sleep " + std::to_string(pick(lowMs, highMs) / 1000.0);
    }

    // Mostly over the window, sometimes off its edges.
    std::string somewhere()
    {
        return " mousemove " + std::to_string(pick(clientLeft - 60, clientLeft + WINDOW_WIDTH + 60)) + " " +
               std::to_string(pick(clientTop - 60, clientTop + WINDOW_HEIGHT + 60));
    }

    std::string resize()
    {
        return "windowsize " + window_ + " " + std::to_string(pick(1, 1100)) + " " +
               std::to_string(pick(1, 900));
    }

    // Buttons 4 and 5 are the wheel.
    std::string drag()
    {
        const std::string button = std::to_string(pick(1, 5));
        std::string chain = somewhere() + " mousedown " + button;
        for (int moves = pick(1, 6); moves > 0; --moves)
            chain += somewhere() + pause(0, 30);
        return chain + " mouseup " + button;
    }

    // Up to three keys held together (long enough, at times, to repeat), let
    // go in reverse order; every press has its release in the same chain.
    std::string keys()
    {
        std::vector<std::string> held;
        for (int n = pick(1, 3); n > 0; --n)
            held.push_back(KEYS[pick(0, static_cast<int>(std::size(KEYS)) - 1)]);
        std::string chain;
        for (const std::string &key : held)
            chain += " keydown " + key;
        chain += pick(0, 9) == 0 ? pause(700, 900) : pause(0, 250);
        for (auto key = held.rbegin(); key != held.rend(); ++key)
            chain += " keyup " + *key;
        return chain;
    }

    std::string window_;
    std::mt19937 random_;
};

TEST(InputStorm, ViewerSurvivesRandomInputAndStillQuitsOnEscape)
{
    ViewerSession session;
    ASSERT_TRUE(session.ready());
    Viewer &viewer = session.viewer;

    Storm storm(viewer.window());
    int bursts = 0;
    const auto end = std::chrono::steady_clock::now() + STORM_LENGTH;
    while (std::chrono::steady_clock::now() < end) {
        const std::string burst = storm.burst();
        ASSERT_TRUE(xdotool(burst)) << "xdotool failed at burst " << bursts << ": " << burst;
        ++bursts;
        ASSERT_TRUE(viewer.running()) << "died after burst " << bursts << " (seed " << STORM_SEED << ")";
    }
    RecordProperty("bursts", bursts);

    ASSERT_TRUE(viewer.focus());
    EXPECT_TRUE(viewer.quitsOnEscape());
}

} // namespace
