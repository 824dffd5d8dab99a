// The scene record's address, exported (web/CMakeLists.txt) so that a page,
// the browser tests' for one, can read the viewer's state in the module's
// memory.
#include "app/scene_state.h"

extern "C" SceneState *breloxScene()
{
    return &scene;
}
