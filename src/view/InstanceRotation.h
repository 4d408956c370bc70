#pragma once

#include <array>

// How a placed item is turned when drawn. Placements store the inverse of the item's
// rotation; drawing takes w' = -RotW, the axis from the arc sines of x, y, z divided by
// sqrt(1 - w'²) and the angle 2·acos(w'), which for a turn about one world axis undoes
// the inversion. Returned as the column-major matrix translate(position) · rotate.
std::array<float, 16> instanceMatrix(float posX, float posY, float posZ, float rotX, float rotY, float rotZ,
                                     float rotW);

// A point in the item's own coordinates placed by that matrix.
std::array<float, 3> placePoint(const std::array<float, 16>& matrix, const std::array<float, 3>& point);
