#include "Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "../world/Object.h"

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
