#include "app/scene_state.h"

SceneState scene = SCENE_START;
