#include "interact/keyboard.h"

#include "app/scene_state.h"

#include <GL/freeglut.h>
#include <cstdlib>

// The flag a movement letter holds, in either case; null for any other key.
static bool *letterFlag(unsigned char key)
{
    switch (key) {
    case 'W':
    case 'w': return &scene.moveForward;
    case 'S':
    case 's': return &scene.moveBack;
    case 'A':
    case 'a': return &scene.moveLeft;
    case 'D':
    case 'd': return &scene.moveRight;
    default: return nullptr;
    }
}

// The flag a special key holds; null for keys without one.
static bool *specialFlag(int key)
{
    switch (key) {
    case GLUT_KEY_LEFT: return &scene.moveLeft;
    case GLUT_KEY_UP: return &scene.moveForward;
    case GLUT_KEY_RIGHT: return &scene.moveRight;
    case GLUT_KEY_DOWN: return &scene.moveBack;
    case GLUT_KEY_PAGE_UP: return &scene.lookUp;
    case GLUT_KEY_PAGE_DOWN: return &scene.lookDown;
    default: return nullptr;
    }
}

static void lightsOff()
{
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHT0);
}

// Light 1 on means light 1 only; anything else (start or dark) goes to it.
static void switchLights()
{
    if (glIsEnabled(GL_LIGHT1) == GL_TRUE) {
        glEnable(GL_LIGHT0);
        glDisable(GL_LIGHT1);
    } else {
        glEnable(GL_LIGHT1);
        glDisable(GL_LIGHT0);
    }
}

void onKeyDown(unsigned char key, int, int)
{
    if (bool *flag = letterFlag(key)) {
        *flag = true;
        return;
    }
    switch (key) {
    case KEY_ESCAPE: std::exit(0);
    case 'K':
    case 'k': lightsOff(); break;
    case 'L':
    case 'l': switchLights(); break;
    default: break;
    }
}

void onKeyUp(unsigned char key, int, int)
{
    if (bool *flag = letterFlag(key))
        *flag = false;
}

void onSpecialDown(int key, int, int)
{
    if (bool *flag = specialFlag(key))
        *flag = true;
}

void onSpecialUp(int key, int, int)
{
    if (bool *flag = specialFlag(key))
        *flag = false;
}
