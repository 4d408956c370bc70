#include "FieldText.h"

#include "NumberText.h"
#include "TextParser.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <cmath>

int intFromBox(const QString& text, int fallback)
{
    return lenientInt(text.toStdString(), fallback);
}

float floatFromBox(const QString& text, float fallback)
{
    return lenientFloat(text.toStdString(), fallback);
}

float sinOfDegreesBox(const QString& text)
{
    return static_cast<float>(std::sin(floatFromBox(text, 0) * Pi / 180));
}

float cosOfDegreesBox(const QString& text)
{
    return static_cast<float>(std::cos(floatFromBox(text, 0) * Pi / 180));
}

QString shortFloatBox(float value)
{
    return QString::fromStdString(shortFloatText(value));
}

QString longFloatBox(float value)
{
    return QString::fromStdString(longFloatText(value));
}

QString intBox(int64_t value)
{
    return QString::number(value);
}

// QString::number ignores the locale, so the box shows "." under any language.
QString degreesOfSinBox(float component)
{
    return QString::number(ArcSin(component) * 180 / Pi, 'f', 2);
}

QString degreesOfCosBox(float component)
{
    return QString::number(ArcCos(component) * 180 / Pi, 'f', 2);
}

void keepToOneColumn(QLineEdit* box)
{
    box->setValidator(new QRegularExpressionValidator(QRegularExpression("[^,\\r\\n]*"), box));
}
