#pragma once

#include <cmath>

#include "platform/math_types.h"

namespace corsavel {

// Row-vector transforms, as the device uses them: a point p becomes p * M,
// so A * B applies A first. Angles in degrees.

inline Matrix4 rotationX(float degrees) {
    const float a = degrees * kPi / 180.0f, c = std::cos(a), s = std::sin(a);
    Matrix4 m;
    m.m[1][1] = c;
    m.m[1][2] = s;
    m.m[2][1] = -s;
    m.m[2][2] = c;
    return m;
}

inline Matrix4 rotationY(float degrees) {
    const float a = degrees * kPi / 180.0f, c = std::cos(a), s = std::sin(a);
    Matrix4 m;
    m.m[0][0] = c;
    m.m[0][2] = -s;
    m.m[2][0] = s;
    m.m[2][2] = c;
    return m;
}

inline Matrix4 rotationZ(float degrees) {
    const float a = degrees * kPi / 180.0f, c = std::cos(a), s = std::sin(a);
    Matrix4 m;
    m.m[0][0] = c;
    m.m[0][1] = s;
    m.m[1][0] = -s;
    m.m[1][1] = c;
    return m;
}

inline Matrix4 translation(Vec3 t) {
    Matrix4 m;
    m.m[3][0] = t.x;
    m.m[3][1] = t.y;
    m.m[3][2] = t.z;
    return m;
}

inline Matrix4 uniformScale(float s) {
    Matrix4 m;
    m.m[0][0] = m.m[1][1] = m.m[2][2] = s;
    return m;
}

}  // namespace corsavel
