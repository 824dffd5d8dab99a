// Draws one frame: the camera from the scene state, three boxes, the sphere.
#pragma once

// GLUT display callback.
void displayScene();
