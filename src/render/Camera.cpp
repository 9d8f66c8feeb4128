// SPDX-License-Identifier: MIT
#include "render/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "world/Object.h"

void Camera::TimeUpdate(double) {}

void Camera::EstablishView() { LookAt(eye, center, up); }

void Camera::LookAt(const Vector3& from, const Vector3& at, const Vector3& upward) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(from.x, from.y, from.z, at.x, at.y, at.z, upward.x, upward.y, upward.z);
}

FirstPersonCamera::FirstPersonCamera(Object* viewed) : Camera(FIRST_PERSON), toView(viewed) {}

// Rigidly inside the object: no lag, so deltaTime is not needed.
void FirstPersonCamera::TimeUpdate(double) {
    const Vector3& p = toView->pos;
    eye = p;
    center = p + toView->dir.RotateVector(Vector3(0.0, 0.0, 1.0));
    up = toView->dir.RotateVector(Vector3(0.0, 1.0, 0.0));
}

ThirdPersonCamera::ThirdPersonCamera(Object* viewed) : Camera(THIRD_PERSON), toView(viewed) {}

// Behind and above the object in its own frame, looking a little ahead of it.
void ThirdPersonCamera::TimeUpdate(double) {
    const Vector3& p = toView->pos;
    eye = p + toView->dir.RotateVector(Vector3(0.0, 3.0, -10.0));
    center = p + toView->dir.RotateVector(Vector3(0.0, 0.0, 5.0));
    up = toView->dir.RotateVector(Vector3(0.0, 1.0, 0.0));
}

StaticCamera::StaticCamera(Vector3 eye_, Vector3 center_, Vector3 up_) : Camera(STATIC) {
    eye = eye_;
    center = center_;
    up = up_;
}

Camera* NewCamera(CameraType type, Object* viewed) {
    switch (type) {
    case THIRD_PERSON: return new ThirdPersonCamera(viewed);
    case STATIC: return new StaticCamera(Vector3(0.0, 0.0, -30.0), Vector3(0.0, 0.0, 0.0), Vector3(0.0, 1.0, 0.0));
    default: return new FirstPersonCamera(viewed);
    }
}

ViewVolume::ViewVolume() : planes(), known(false) {
    double projection[16], view[16];
    projection[15] = view[15] = std::nan("");
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, view);
    if (std::isnan(projection[15]) || std::isnan(view[15])) return;
    // Clip space = projection x view x world; a point is inside when
    // -w <= x, y, z <= w, which gives the planes as sums of the rows.
    double m[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * view[c * 4 + k];
            m[c * 4 + r] = sum;
        }
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side < 2; ++side) {
            double* p = planes[axis * 2 + side];
            const double sign = side == 0 ? 1.0 : -1.0;
            for (int c = 0; c < 4; ++c) p[c] = m[c * 4 + 3] + sign * m[c * 4 + axis];
            const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            if (!(length > 0.0)) return;
            for (int c = 0; c < 4; ++c) p[c] /= length;
        }
    known = true;
}

bool ViewVolume::MayBeSeen(const Vector3& center, double radius) const {
    if (!known) return true;
    // A little slack: OpenGL works in single precision.
    const double reach = radius * 1.01 + 0.01;
    for (const double* p : planes)
        if (p[0] * center.x + p[1] * center.y + p[2] * center.z + p[3] < -reach) return false;
    return true;
}
