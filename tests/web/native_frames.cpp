// Draws every pose of poses.h with the desktop GL and writes each frame as a
// binary PPM, NN-name.ppm, into the folder given as the only argument: the
// reference that the browser's frames are compared with.
#include "poses.h"
#include "render/render_state.h"
#include "support/gl_window.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <vector>

static bool writeFrame(const std::string &path)
{
    constexpr int ROW_BYTES = FRAME_WIDTH * 3;
    std::vector<unsigned char> pixels(static_cast<size_t>(ROW_BYTES * FRAME_HEIGHT));
    glFinish();
    glReadBuffer(GL_BACK); // a swap leaves it as drawn here
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, FRAME_WIDTH, FRAME_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", FRAME_WIDTH, FRAME_HEIGHT);
    // GL's rows run bottom up, the file's top down.
    for (int row = FRAME_HEIGHT - 1; row >= 0; --row)
        std::fwrite(pixels.data() + static_cast<size_t>(row * ROW_BYTES), 1, ROW_BYTES, file);
    return std::fclose(file) == 0;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    openTestWindow();
    initRendering();
    for (int i = 0; i < FRAME_POSE_COUNT; ++i) {
        drawPose(i);
        char stem[8];
        std::snprintf(stem, sizeof stem, "%02d-", i);
        const std::string path = std::string(argv[1]) + "/" + stem + FRAME_POSES[i].name + ".ppm";
        if (!writeFrame(path)) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
