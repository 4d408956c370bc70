#include "ViewMatrices.h"

#include "ViewCamera.h"

#include <cmath>
#include <numbers>

Matrix4 identityMatrix()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4 multiplyMatrix(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = sum;
        }
    return r;
}

Matrix4 perspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar)
{
    const double f = 1.0 / std::tan(fovyDegrees * std::numbers::pi / 360.0);
    Matrix4 m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / (zNear - zFar);
    return m;
}

Matrix4 rotationMatrix(double angleDegrees, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0)
        return identityMatrix();
    x /= length, y /= length, z /= length;
    const double a = angleDegrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a), t = 1.0 - c;
    return {x * x * t + c,     y * x * t + z * s, x * z * t - y * s, 0,
            x * y * t - z * s, y * y * t + c,     y * z * t + x * s, 0,
            x * z * t + y * s, y * z * t - x * s, z * z * t + c,     0,
            0,                 0,                 0,                 1};
}

Matrix4 translationMatrix(double x, double y, double z)
{
    Matrix4 m = identityMatrix();
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}

std::optional<Matrix4> invertMatrix(const Matrix4& m)
{
    // Gauss-Jordan elimination with partial pivoting on [m | I].
    double a[4][8];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            a[row][col] = m[col * 4 + row];
            a[row][col + 4] = row == col ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        if (a[pivot][col] == 0.0)
            return std::nullopt;
        if (pivot != col)
            for (int k = 0; k < 8; ++k)
                std::swap(a[pivot][k], a[col][k]);
        const double scale = 1.0 / a[col][col];
        for (int k = 0; k < 8; ++k)
            a[col][k] *= scale;
        for (int row = 0; row < 4; ++row) {
            if (row == col || a[row][col] == 0.0)
                continue;
            const double factor = a[row][col];
            for (int k = 0; k < 8; ++k)
                a[row][k] -= factor * a[col][k];
        }
    }
    Matrix4 r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r[col * 4 + row] = a[row][col + 4];
    return r;
}

ViewMatrices cameraMatrices(const ViewCamera& camera, int width, int height)
{
    const double aspect = static_cast<double>(width) / static_cast<double>(height > 0 ? height : 1);
    Matrix4 projection = perspectiveMatrix(45.0, aspect, 1.0, 8000.0);
    if (camera.FirstPerson) {
        projection = multiplyMatrix(projection, rotationMatrix(camera.Pitch, 1, 0, 0));
        projection = multiplyMatrix(projection, rotationMatrix(camera.FirstPersonY, 0, 1, 0));
        projection = multiplyMatrix(projection, rotationMatrix(camera.Heading, 0, 0, 1));
    } else {
        projection = multiplyMatrix(projection, translationMatrix(0, 0, camera.Zoom));
        projection = multiplyMatrix(projection, rotationMatrix(camera.AngleX, 1, 0, 0));
        projection = multiplyMatrix(projection, rotationMatrix(camera.AngleY, 0, 1, 0));
        projection = multiplyMatrix(projection, rotationMatrix(camera.AngleZ, 0, 0, 1));
    }
    const Matrix4 modelview = translationMatrix(-camera.TargetX, -camera.TargetY, -camera.TargetZ);
    return {projection, modelview};
}

std::optional<std::array<double, 3>> unprojectPoint(double winX, double winY, double winZ,
                                                    const ViewMatrices& matrices, const Viewport& viewport)
{
    if (viewport[2] <= 0 || viewport[3] <= 0)
        return std::nullopt;
    const auto inverse = invertMatrix(multiplyMatrix(matrices.projection, matrices.modelview));
    if (!inverse)
        return std::nullopt;
    const double in[4] = {(winX - viewport[0]) / viewport[2] * 2.0 - 1.0,
                          (winY - viewport[1]) / viewport[3] * 2.0 - 1.0, winZ * 2.0 - 1.0, 1.0};
    double out[4];
    for (int row = 0; row < 4; ++row) {
        out[row] = 0.0;
        for (int k = 0; k < 4; ++k)
            out[row] += (*inverse)[k * 4 + row] * in[k];
    }
    if (out[3] == 0.0)
        return std::nullopt;
    return std::array<double, 3>{out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

std::optional<std::array<double, 3>> eyePosition(const Matrix4& projection, const Matrix4& modelview)
{
    // The eye maps to clip (0, 0, c, 0): it is the inverse's third column, made whole.
    const std::optional<Matrix4> inverse = invertMatrix(multiplyMatrix(projection, modelview));
    if (!inverse)
        return std::nullopt;
    const Matrix4& m = *inverse;
    const double w = m[2 * 4 + 3];
    if (!(std::abs(w) > 1e-12))
        return std::nullopt; // an orthographic projection sees from infinitely far
    return std::array<double, 3>{m[2 * 4 + 0] / w, m[2 * 4 + 1] / w, m[2 * 4 + 2] / w};
}
