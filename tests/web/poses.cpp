#include "poses.h"

#include "render/projection.h"
#include "render/scene_draw.h"

#include <GL/gl.h>

static void switchLight(GLenum light, bool on)
{
    if (on)
        glEnable(light);
    else
        glDisable(light);
}

void drawPose(int index, int width, int height)
{
    const FramePose &pose = FRAME_POSES[index];
    scene = SCENE_START;
    scene.eye = pose.eye;
    scene.look = pose.look;
    scene.spinA = pose.spinA;
    scene.spinB = pose.spinB;
    switchLight(GL_LIGHT0, pose.light0);
    switchLight(GL_LIGHT1, pose.light1);
    reshapeView(width, height);
    displayScene();
}
