// The fixed-function state every frame is drawn under, set once at start.
#pragma once

// Needs the window's context current and the model-view matrix selected.
void initRendering();
