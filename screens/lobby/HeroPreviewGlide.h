// The preview camera's flight to a hero's viewpoint: where a new glide
// starts (taken from where the camera stands, so switching heroes mid-flight
// bends the path), and each frame's step toward the goal.
#pragma once

#include "platform/Math.h"

class CHeroPreviewGlide {
public:
    // Starts a glide to the goal from the current eye and look-at point:
    // both are moved back along their way to the goal.
    void Start(const platform::Vec3& goalEye, const platform::Vec3& goalTarget);
    // One frame; a long frame never carries the camera past its goal.
    void Step(float dt);
    // Places the camera at once (device restore, first set-up).
    void Place(const platform::Vec3& eye, const platform::Vec3& target) {
        m_eye = eye;
        m_target = target;
    }

    const platform::Vec3& Eye() const { return m_eye; }
    const platform::Vec3& Target() const { return m_target; }
    const platform::Vec3& GoalEye() const { return m_goalEye; }
    const platform::Vec3& GoalTarget() const { return m_goalTarget; }
    bool Settled() const { return m_settled; }

    // The unit vector toward to from from; (0, 0, 1) when they meet.
    static platform::Vec3 Direction(const platform::Vec3& from, const platform::Vec3& to);

private:
    platform::Vec3 m_eye{0, 0, 30.0f};
    platform::Vec3 m_target{0, 5.0f, 0};
    platform::Vec3 m_goalEye{0, 0, 30.0f};
    platform::Vec3 m_goalTarget{0, 5.0f, 0};
    bool m_settled = true;
};
