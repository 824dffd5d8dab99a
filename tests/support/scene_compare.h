// Whole-record comparison of the scene state, field by field, so a handler
// that touches a field it should not is caught. A field added to the record
// cannot go unchecked: the comparison stops compiling until it names it.
#pragma once

#include "app/scene_state.h"

void expectScene(const SceneState &expected);

// The same, but the mouse anchor may be anywhere.
void expectSceneExceptAnchor(const SceneState &expected);
