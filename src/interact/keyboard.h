// Keyboard controls. The handlers only set the held-key flags and switch the
// lights; the tick moves the camera from the flags.
//
//   W / Up arrow      move forward       Page Up     tilt the view up
//   S / Down arrow    move back          Page Down   tilt the view down
//   A / Left arrow    move left          K           both lights off
//   D / Right arrow   move right         L           switch light 0 / light 1
//   Escape            quit (status 0)
#pragma once

// The character GLUT reports for the Escape key.
constexpr unsigned char KEY_ESCAPE = 27;

// GLUT keyboard callbacks: key is the character as typed, x and y ignored.
void onKeyDown(unsigned char key, int x, int y);
void onKeyUp(unsigned char key, int x, int y);

// GLUT special-key callbacks: key is a GLUT_KEY_* code, x and y ignored.
void onSpecialDown(int key, int x, int y);
void onSpecialUp(int key, int x, int y);
