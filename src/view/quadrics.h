// Cylinders, disks and spheres for the wheels, the generators and the balls,
// drawn into a DrawList with exactly the primitives, vertices and normals that
// GLU's quadrics give with their defaults (filled, smooth normals pointing
// outward): the same floats in the same order, so they look and pick as
// before, but from client arrays. Like GLU they set the current normal as
// they go and leave the last one set.
#pragma once

class DrawList;

// Along +z from z = 0, radius `base` there and `top` at z = height; one quad
// strip per stack. Nothing for slices < 2, stacks < 1 or a negative size.
void cylinder(DrawList& d, double base, double top, double height, int slices, int stacks);
// In the plane z = 0, facing +z, from radius `inner` to `outer` in `loops`
// rings. Nothing for slices < 2, loops < 1 or radii out of order.
void disk(DrawList& d, double inner, double outer, int slices, int loops);
// Centred on the origin, poles on the z axis. Nothing for slices < 2,
// stacks < 1, stacks > slices or a negative radius.
void sphere(DrawList& d, double radius, int slices, int stacks);
