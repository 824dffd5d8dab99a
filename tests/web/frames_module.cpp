// Test-only web module: draws any pose of poses.h when asked, synchronously,
// so that a test can read the frame back with gl.readPixels in the same task
// (the canvas keeps no drawing buffer past it).
#include "poses.h"
#include "render/render_state.h"

#include <GL/freeglut.h>

// `used` keeps them and exports them to the page, as emscripten's
// EMSCRIPTEN_KEEPALIVE does.
extern "C" {

__attribute__((used)) int framesPoseCount()
{
    return FRAME_POSE_COUNT;
}

// Returns 0 for an index outside the table, 1 once drawn.
__attribute__((used)) int framesDraw(int index)
{
    if (index < 0 || index >= FRAME_POSE_COUNT)
        return 0;
    drawPose(index, FRAME_WIDTH, FRAME_HEIGHT); // window units: the layer maps them to the buffer
    return 1;
}
}

// The same window set-up as the viewer's, without its callbacks: nothing
// draws but framesDraw.
int main(int argc, char **argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(FRAME_WIDTH, FRAME_HEIGHT);
    glutCreateWindow("Brelox frames");
    initRendering();
    return 0;
}
