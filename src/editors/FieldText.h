#pragma once

#include <QString>

class QLineEdit;

#include <cstdint>

// Text of the item editor's boxes: numbers are read and written with "." whatever the
// user's locale, and text that is not a number gives the box's default without a message.

constexpr double Pi = 3.14159265358979;

int intFromBox(const QString& text, int fallback);
float floatFromBox(const QString& text, float fallback);
// A rotation component from an angle in degrees: sin(d·π/180) for x, y and z, cos for w.
// Text that is not a number counts as 0 degrees.
float sinOfDegreesBox(const QString& text);
float cosOfDegreesBox(const QString& text);

// "%1.6g", as the map files write floats.
QString shortFloatBox(float value);
// Up to 15 significant digits (draw distances of timed objects, effect view distances).
QString longFloatBox(float value);
QString intBox(int64_t value);
// "%1.2f" of the angle in degrees whose sine (x, y, z) or cosine (w) the component is.
QString degreesOfSinBox(float component);
QString degreesOfCosBox(float component);

// A name box of a column of the map files refuses commas and line breaks: they would split
// the column when the file is read again and shift every field after it.
void keepToOneColumn(QLineEdit* box);
