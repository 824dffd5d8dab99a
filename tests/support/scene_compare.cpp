#include "support/scene_compare.h"

#include <gtest/gtest.h>

#include <array>

namespace
{

struct Field {
    template <typename T>
    Field(const char *fieldName, T fieldValue) : name(fieldName), value(static_cast<double>(fieldValue))
    {
    }

    const char *name;
    double value; // exact for every field's type
};

constexpr size_t FIELD_COUNT = 17;

// Every field of the record by name. The structured bindings name them all,
// so a field added to the record stops this compiling until it is named here.
std::array<Field, FIELD_COUNT> fieldsOf(const SceneState &s)
{
    const auto &[eye, look, heading, moveRight, moveBack, moveLeft, moveForward, lookDown, lookUp, spinA,
                 spinB, anchorX, anchorY] = s;
    const auto &[eyeX, eyeY, eyeZ] = eye;
    const auto &[lookX, lookY, lookZ] = look;
    // clang-format off
    return {{
        {"eye.x",       eyeX},        {"eye.y",    eyeY},     {"eye.z",    eyeZ},
        {"look.x",      lookX},       {"look.y",   lookY},    {"look.z",   lookZ},
        {"heading",     heading},
        {"moveRight",   moveRight},   {"moveBack", moveBack}, {"moveLeft", moveLeft},
        {"moveForward", moveForward}, {"lookDown", lookDown}, {"lookUp",   lookUp},
        {"spinA",       spinA},       {"spinB",    spinB},
        {"anchorX",     anchorX},     {"anchorY",  anchorY},
    }};
    // clang-format on
}

} // namespace

void expectScene(const SceneState &expected)
{
    const std::array<Field, FIELD_COUNT> actualFields = fieldsOf(scene);
    const std::array<Field, FIELD_COUNT> expectedFields = fieldsOf(expected);
    for (size_t i = 0; i < actualFields.size(); ++i)
        EXPECT_EQ(actualFields[i].value, expectedFields[i].value) << actualFields[i].name;
}

void expectSceneExceptAnchor(const SceneState &expected)
{
    SceneState withAnchor = expected;
    withAnchor.anchorX = scene.anchorX;
    withAnchor.anchorY = scene.anchorY;
    expectScene(withAnchor);
}
