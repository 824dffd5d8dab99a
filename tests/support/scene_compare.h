// Whole-record comparison of the scene state, field by field, so a handler
// that touches a field it should not is caught.
#pragma once

#include "app/scene_state.h"

void expectScene(const SceneState &expected);

// The same, but the mouse anchor may be anywhere.
void expectSceneExceptAnchor(const SceneState &expected);
