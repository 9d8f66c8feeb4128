// SPDX-License-Identifier: MIT
// Where the world is seen from.
#ifndef KORVALEND_CAMERA_H
#define KORVALEND_CAMERA_H

#include "math/MyMath.h"

class Object;

enum CameraType { FIRST_PERSON = 0, THIRD_PERSON = 1, STATIC = 2 };

class Camera {
public:
    explicit Camera(CameraType cameraType) : type(cameraType) {}
    virtual ~Camera() {}
    virtual void TimeUpdate(double deltaTime);
    virtual void EstablishView();

    Vector3 eye;
    Vector3 center;
    Vector3 up;
    CameraType type;

protected:
    // Static, so it sees only what it is given, never the members it shares names with.
    static void LookAt(const Vector3& from, const Vector3& at, const Vector3& upward);
};

class FirstPersonCamera : public Camera {
public:
    explicit FirstPersonCamera(Object* viewed);
    void TimeUpdate(double deltaTime) override;

private:
    Object* toView;
};

class ThirdPersonCamera : public Camera {
public:
    explicit ThirdPersonCamera(Object* viewed);
    void TimeUpdate(double deltaTime) override;

private:
    Object* toView;
};

class StaticCamera : public Camera {
public:
    StaticCamera(Vector3 eye, Vector3 center, Vector3 up);
};

// A new camera of the given kind on viewed: the cockpit, the chase view, or
// the fixed view from outside the arena, looking in from -z.
Camera* NewCamera(CameraType type, Object* viewed);

// The part of the world the loaded projection and view can show: six planes
// in world coordinates. Without a current OpenGL context nothing is known
// and everything may be seen.
class ViewVolume {
public:
    ViewVolume();
    bool MayBeSeen(const Vector3& center, double radius) const;

private:
    double planes[6][4];
    bool known;
};

#endif
