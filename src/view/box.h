// The one box shape of the scene: ties, point cubes, handle boxes and the light
// cube all come through here, so they share face order, normals and winding.
#pragma once

class DrawList;

// Six quads from (x0, y0, z0) to (x1, y1, z1), each face's outward normal
// before its four vertices, as one GL_QUADS block.
void box_quads(DrawList& d, double x0, double y0, double z0, double x1, double y1, double z1);
// The box's twelve edges. Sets the colour to black and the line width to 2,
// and leaves them so.
void box_outline(DrawList& d, double x0, double y0, double z0, double x1, double y1, double z1);
