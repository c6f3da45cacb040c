// Whether the display can give the 3-D view an OpenGL context, checked before
// any window is shown, so that a display without OpenGL is reported in words
// instead of leaving a grey view.
#pragma once

#include <string>

// Empty when the display offers GLX and a visual the view can draw in (RGB
// colour, double buffering, a depth buffer); otherwise what is missing, as a
// phrase that completes "Looptide needs OpenGL, but ...". Opens the display.
std::string missing_opengl();
