// Box quads (six faces with outward normals) and box outlines, shared by the
// ties, point cubes, handle boxes and the light cube.
#pragma once

// Six quads from (x0, y0, z0) to (x1, y1, z1), each face's normal before its
// four vertices, inside the caller's glBegin(GL_QUADS) ... glEnd().
void box_quads(double x0, double y0, double z0, double x1, double y1, double z1);
// Draws the box's twelve edges (its own glBegin/glEnd). Sets the colour to
// black and the line width to 2, and leaves them so.
void box_outline(double x0, double y0, double z0, double x1, double y1, double z1);
