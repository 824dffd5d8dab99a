// Draws every pose of poses.h with the desktop GL and writes each frame as a
// binary PPM, NN-name.ppm, into the folder given as the first argument: the
// reference that the browser's frames are compared with. WIDTH HEIGHT, if
// given, size the window (800 x 600 otherwise): twice the size is the
// browser's buffer at device pixel ratio 2.
#include "poses.h"
#include "render/render_state.h"
#include "support/gl_window.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

static bool writeFrame(const std::string &path, int width, int height)
{
    const int rowBytes = width * 3;
    std::vector<unsigned char> pixels(static_cast<size_t>(rowBytes * height));
    glFinish();
    glReadBuffer(GL_BACK); // a swap leaves it as drawn here
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    // GL's rows run bottom up, the file's top down.
    for (int row = height - 1; row >= 0; --row)
        std::fwrite(pixels.data() + static_cast<size_t>(row * rowBytes), 1, static_cast<size_t>(rowBytes),
                    file);
    return std::fclose(file) == 0;
}

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    const int width = argc == 4 ? std::atoi(argv[2]) : FRAME_WIDTH;
    const int height = argc == 4 ? std::atoi(argv[3]) : FRAME_HEIGHT;
    openTestWindow(width, height);
    initRendering();
    for (int i = 0; i < FRAME_POSE_COUNT; ++i) {
        drawPose(i, width, height);
        char stem[8];
        std::snprintf(stem, sizeof stem, "%02d-", i);
        const std::string path = std::string(argv[1]) + "/" + stem + FRAME_POSES[i].name + ".ppm";
        if (!writeFrame(path, width, height)) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
