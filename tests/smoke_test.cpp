#include "render/projection.h"
#include "render/render_state.h"
#include "render/scene_draw.h"
#include "support/gl_window.h"

#include <gtest/gtest.h>
#include <cstdio>

TEST(Smoke, ReadBack)
{
    openTestWindow();
    initRendering();
    reshapeView(800, 600);
    displayScene();
    for (int y : {10, 170, 300}) {
        Rgb c = readPixel(400, y);
        std::printf("%d: %f %f %f\n", y, static_cast<double>(c.r), static_cast<double>(c.g), static_cast<double>(c.b));
    }
    displayScene();
    Rgb c = readPixel(450, 170);
    std::printf("again: %f %f %f\n", static_cast<double>(c.r), static_cast<double>(c.g), static_cast<double>(c.b));
}
