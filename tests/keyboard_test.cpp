// Keyboard handlers called directly: the held-key flags they set and clear,
// the keys they must ignore, the light switches (read back from OpenGL) and
// Escape.
#include "app/scene_state.h"
#include "interact/keyboard.h"
#include "render/render_state.h"
#include "support/gl_window.h"
#include "support/scene_compare.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace
{

using Flag = bool SceneState::*;

struct LetterKey {
    unsigned char upper;
    unsigned char lower;
    Flag flag;
};

const LetterKey LETTER_KEYS[] = {
    {'W', 'w', &SceneState::moveForward},
    {'S', 's', &SceneState::moveBack},
    {'A', 'a', &SceneState::moveLeft},
    {'D', 'd', &SceneState::moveRight},
};

struct SpecialKey {
    int code;
    Flag flag;
};

const SpecialKey SPECIAL_KEYS[] = {
    {GLUT_KEY_LEFT, &SceneState::moveLeft},   {GLUT_KEY_UP, &SceneState::moveForward},
    {GLUT_KEY_RIGHT, &SceneState::moveRight}, {GLUT_KEY_DOWN, &SceneState::moveBack},
    {GLUT_KEY_PAGE_UP, &SceneState::lookUp},  {GLUT_KEY_PAGE_DOWN, &SceneState::lookDown},
};

// Letters and arrows that name the same movement flag.
struct SharedFlag {
    unsigned char letter;
    int special;
};

const SharedFlag SHARED_FLAGS[] = {
    {'W', GLUT_KEY_UP},
    {'S', GLUT_KEY_DOWN},
    {'A', GLUT_KEY_LEFT},
    {'D', GLUT_KEY_RIGHT},
};

SceneState withFlag(Flag flag, bool value)
{
    SceneState state = SCENE_START;
    state.*flag = value;
    return state;
}

// Every flag set: a release that wrongly clears one shows against it.
SceneState allHeld()
{
    SceneState state = SCENE_START;
    state.moveRight = state.moveBack = state.moveLeft = true;
    state.moveForward = state.lookDown = state.lookUp = true;
    return state;
}

SceneState withoutFlag(Flag flag)
{
    SceneState state = allHeld();
    state.*flag = false;
    return state;
}

bool isLetterKey(int code)
{
    for (const LetterKey &key : LETTER_KEYS)
        if (code == key.upper || code == key.lower)
            return true;
    return false;
}

bool isSpecialKey(int code)
{
    for (const SpecialKey &key : SPECIAL_KEYS)
        if (code == key.code)
            return true;
    return false;
}

// Function keys, Home/End/Insert, freeglut's extra keys and codes GLUT never sends.
std::vector<int> unmappedSpecialCodes()
{
    std::vector<int> codes = {INT_MIN, INT_MIN + 1, -1, 0, 255, 256, 1000, INT_MAX};
    for (int code = GLUT_KEY_F1; code <= GLUT_KEY_F12; ++code)
        codes.push_back(code);
    for (int code = GLUT_KEY_HOME; code <= 200; ++code)
        codes.push_back(code);
    for (int code = 13; code < GLUT_KEY_LEFT; ++code)
        codes.push_back(code);
    return codes;
}

class KeyboardTest : public ::testing::Test
{
  protected:
    void SetUp() override { resetScene(); }
};

TEST_F(KeyboardTest, LettersSetAndClearTheirFlagInEitherCase)
{
    for (const LetterKey &key : LETTER_KEYS) {
        for (unsigned char code : {key.upper, key.lower}) {
            SCOPED_TRACE(code);
            resetScene();
            onKeyDown(code, 0, 0);
            expectScene(withFlag(key.flag, true));
            onKeyUp(code, 0, 0);
            expectScene(SCENE_START);
            // A release clears its own flag and no other.
            scene = allHeld();
            onKeyUp(code, 0, 0);
            expectScene(withoutFlag(key.flag));
        }
    }
}

TEST_F(KeyboardTest, SpecialKeysSetAndClearTheirFlag)
{
    for (const SpecialKey &key : SPECIAL_KEYS) {
        SCOPED_TRACE(key.code);
        resetScene();
        onSpecialDown(key.code, 0, 0);
        expectScene(withFlag(key.flag, true));
        onSpecialUp(key.code, 0, 0);
        expectScene(SCENE_START);
        scene = allHeld();
        onSpecialUp(key.code, 0, 0);
        expectScene(withoutFlag(key.flag));
    }
}

TEST_F(KeyboardTest, OtherCharactersChangeNothing)
{
    // K and L switch lights: they need a context, and must still leave the record alone.
    openTestWindow();
    initRendering();
    for (int code = 0; code <= 255; ++code) {
        if (code == KEY_ESCAPE || isLetterKey(code))
            continue;
        SCOPED_TRACE(code);
        resetScene();
        onKeyDown(static_cast<unsigned char>(code), 0, 0);
        expectScene(SCENE_START);
    }
}

TEST_F(KeyboardTest, OtherCharacterReleasesChangeNothing)
{
    // Escape, K and L included: a release of any of them is ignored.
    for (int code = 0; code <= 255; ++code) {
        if (isLetterKey(code))
            continue;
        SCOPED_TRACE(code);
        scene = allHeld();
        onKeyUp(static_cast<unsigned char>(code), 0, 0);
        expectScene(allHeld());
    }
}

TEST_F(KeyboardTest, OtherSpecialKeysChangeNothing)
{
    for (int code : unmappedSpecialCodes()) {
        ASSERT_FALSE(isSpecialKey(code));
        SCOPED_TRACE(code);
        resetScene();
        onSpecialDown(code, 0, 0);
        expectScene(SCENE_START);
        scene = allHeld();
        onSpecialUp(code, 0, 0);
        expectScene(allHeld());
    }
}

TEST_F(KeyboardTest, ReleasingEitherOfTwoKeysSharingAFlagClearsIt)
{
    for (const SharedFlag &pair : SHARED_FLAGS) {
        for (bool letterFirst : {true, false}) {
            SCOPED_TRACE(pair.letter);
            SCOPED_TRACE(letterFirst);
            resetScene();
            onKeyDown(pair.letter, 0, 0);
            onSpecialDown(pair.special, 0, 0);
            if (letterFirst)
                onKeyUp(pair.letter, 0, 0);
            else
                onSpecialUp(pair.special, 0, 0);
            expectScene(SCENE_START);
        }
    }
}

TEST_F(KeyboardTest, ShiftChangingBetweenPressAndReleaseStillClears)
{
    for (const LetterKey &key : LETTER_KEYS) {
        SCOPED_TRACE(key.upper);
        resetScene();
        onKeyDown(key.upper, 0, 0);
        onKeyUp(key.lower, 0, 0);
        expectScene(SCENE_START);
        onKeyDown(key.lower, 0, 0);
        onKeyUp(key.upper, 0, 0);
        expectScene(SCENE_START);
    }
}

TEST_F(KeyboardTest, OppositeKeysHeldTogetherSetBothFlags)
{
    // W/S and A/D, each pair pressed in both orders.
    const int pairs[][2] = {{0, 1}, {1, 0}, {2, 3}, {3, 2}};
    for (const auto &pair : pairs) {
        const LetterKey &first = LETTER_KEYS[pair[0]];
        const LetterKey &second = LETTER_KEYS[pair[1]];
        SCOPED_TRACE(first.lower);
        resetScene();
        onKeyDown(first.lower, 0, 0);
        onKeyDown(second.lower, 0, 0);
        SceneState expected = withFlag(first.flag, true);
        expected.*second.flag = true;
        expectScene(expected);
    }
}

// Light states reached from the start state by key presses, plus both on,
// which no key sequence gives but K must still handle.
enum class LightSetup { Start, AfterL, AfterLL, AfterK, BothOn };

class LightKeyTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        openTestWindow();
        initRendering();
        resetScene();
    }

    static void expectLights(bool light0, bool light1)
    {
        EXPECT_EQ(glIsEnabled(GL_LIGHT0) == GL_TRUE, light0);
        EXPECT_EQ(glIsEnabled(GL_LIGHT1) == GL_TRUE, light1);
    }

    static void setUpLights(LightSetup setup)
    {
        initRendering();
        switch (setup) {
        case LightSetup::Start: break;
        case LightSetup::AfterL: onKeyDown('l', 0, 0); break;
        case LightSetup::AfterLL:
            onKeyDown('l', 0, 0);
            onKeyDown('l', 0, 0);
            break;
        case LightSetup::AfterK: onKeyDown('k', 0, 0); break;
        case LightSetup::BothOn: glEnable(GL_LIGHT1); break;
        }
    }
};

const LightSetup ALL_LIGHT_SETUPS[] = {LightSetup::Start, LightSetup::AfterL, LightSetup::AfterLL,
                                       LightSetup::AfterK, LightSetup::BothOn};

TEST_F(LightKeyTest, KTurnsBothLightsOffFromAnyState)
{
    for (unsigned char key : {'K', 'k'}) {
        for (LightSetup setup : ALL_LIGHT_SETUPS) {
            SCOPED_TRACE(static_cast<int>(setup));
            setUpLights(setup);
            onKeyDown(key, 0, 0);
            expectLights(false, false);
        }
    }
}

TEST_F(LightKeyTest, LSwitchesToLightOneThenBackToLightZero)
{
    for (unsigned char key : {'L', 'l'}) {
        SCOPED_TRACE(key);
        initRendering();
        expectLights(true, false);
        onKeyDown(key, 0, 0);
        expectLights(false, true);
        onKeyDown(key, 0, 0);
        expectLights(true, false);
    }
}

TEST_F(LightKeyTest, LAfterKTurnsLightOneOn)
{
    onKeyDown('K', 0, 0);
    onKeyDown('L', 0, 0);
    expectLights(false, true);
}

TEST_F(LightKeyTest, ReleasesOfLightKeysAndEscapeLeaveTheLights)
{
    for (LightSetup setup : ALL_LIGHT_SETUPS) {
        SCOPED_TRACE(static_cast<int>(setup));
        setUpLights(setup);
        const bool light0 = glIsEnabled(GL_LIGHT0) == GL_TRUE;
        const bool light1 = glIsEnabled(GL_LIGHT1) == GL_TRUE;
        const unsigned char ignored[] = {'K', 'k', 'L', 'l', KEY_ESCAPE};
        for (unsigned char key : ignored)
            onKeyUp(key, 0, 0);
        expectLights(light0, light1);
    }
}

// Forks: must run in a process that has no X connection or GL context yet.
TEST(KeyboardDeathTest, EscapeEndsTheProcessWithStatusZero)
{
    EXPECT_EXIT(onKeyDown(KEY_ESCAPE, 0, 0), ::testing::ExitedWithCode(0), "");
}

} // namespace
