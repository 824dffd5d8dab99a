#include "support/scene_compare.h"

#include <gtest/gtest.h>

void expectScene(const SceneState &expected)
{
    expectSceneExceptAnchor(expected);
    EXPECT_EQ(scene.anchorX, expected.anchorX);
    EXPECT_EQ(scene.anchorY, expected.anchorY);
}

void expectSceneExceptAnchor(const SceneState &expected)
{
    EXPECT_EQ(scene.eye.x, expected.eye.x);
    EXPECT_EQ(scene.eye.y, expected.eye.y);
    EXPECT_EQ(scene.eye.z, expected.eye.z);
    EXPECT_EQ(scene.look.x, expected.look.x);
    EXPECT_EQ(scene.look.y, expected.look.y);
    EXPECT_EQ(scene.look.z, expected.look.z);
    EXPECT_EQ(scene.heading, expected.heading);
    EXPECT_EQ(scene.moveRight, expected.moveRight);
    EXPECT_EQ(scene.moveBack, expected.moveBack);
    EXPECT_EQ(scene.moveLeft, expected.moveLeft);
    EXPECT_EQ(scene.moveForward, expected.moveForward);
    EXPECT_EQ(scene.lookDown, expected.lookDown);
    EXPECT_EQ(scene.lookUp, expected.lookUp);
    EXPECT_EQ(scene.spinA, expected.spinA);
    EXPECT_EQ(scene.spinB, expected.spinB);
}
