#pragma once

// Position record shared by characters, the player and the player's avatar.
// The layout is fixed (21 doubles in this order): AI packages and the property
// router hand out addresses of single fields by offset.
struct Dimensions {
    // Absolute box.
    double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0, zmin = 0.0, zmax = 0.0;
    // Box bounds relative to the centre.
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0, z1 = 0.0, z2 = 0.0;
    // Centre.
    double X = 0.0, Y = 0.0, Z = 0.0;
    // Sizes (used by the draw-order key).
    double XSize = 0.0, YSize = 0.0, ZSize = 0.0;
    // Fractional move carry of the grid mover, each kept in (-1, 1).
    double carryX = 0.0, carryY = 0.0, carryZ = 0.0;

    // Recomputes the absolute box from the centre and the relative bounds.
    void UpdateBox() {
        xmin = X + x1;
        xmax = X + x2;
        ymin = Y + y1;
        ymax = Y + y2;
        zmin = Z + z1;
        zmax = Z + z2;
    }
};

static_assert(sizeof(Dimensions) == 21 * sizeof(double), "Dimensions must stay 21 packed doubles");
