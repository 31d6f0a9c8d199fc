// One viewpoint of the 3D scene: eye, target and the orientation axes, the
// perspective projection, the last picking ray, cached billboard matrices and
// a scripted travel between two points (the mission scripts fly the camera).
// The view matrix belongs to the camera's user, who builds it from eye and
// target; the camera only keeps it for picking and billboards.
#pragma once

#include <cstdint>

#include "platform/Math.h"

// Billboard kinds: which axes of the view a billboard turns with.
enum BillboardKind : uint32_t {
    BILLBOARD_X = 1,      // about x only
    BILLBOARD_Y = 2,      // about y only
    BILLBOARD_XZ = 8,     // the view's rotation without its x-y coupling
    BILLBOARD_FULL = 64,  // the whole view rotation
};

class CCamera {
public:
    CCamera() = default;
    virtual ~CCamera() = default;
    CCamera(const CCamera&) = delete;
    CCamera& operator=(const CCamera&) = delete;

    // Moves eye and target together: dy along up, dx against side.
    virtual void Pan(float dx, float dy);
    // Yaw about up (exactly 0: none), then pitch about side; the eye circles the target.
    virtual void Rotate(float yaw, float pitch);
    // The target moves to point, the eye follows at the same distance.
    virtual void SetTarget(const platform::Vec3& point, int immediate);

    void SetLookAt(const platform::Vec3& eye, const platform::Vec3& target, float fov);
    void SetTargetPoint(const platform::Vec3& point);
    void SetEyePoint(const platform::Vec3& point);
    // side = up(0,1,0) x viewDir (not normalised), up = viewDir x side.
    void RebuildAxes();
    // A side of 0 counts as 1 so that the projection stays finite.
    void SetProjection(uint32_t width, uint32_t height);
    // The ray through screen pixel (x, y) into rayOrigin and rayDirection.
    void MakePickRay(float x, float y, const platform::Matrix& projection, const platform::Matrix& view);
    // Planes 0 near and 1 far (only with withNearFar), 2 left, 3 right,
    // 4 top, 5 bottom; normals point inwards.
    static void ExtractFrustumPlanes(const platform::Matrix& view, const platform::Matrix& projection,
                                     platform::Plane planes[6], bool withNearFar);
    // Cached until the kind's bit is cleared from billboardMask; an unknown kind gives the view.
    const platform::Matrix& GetBillboardMatrix(uint32_t kind);
    // Runs the scripted travel one step while travelDone is 0.
    void UpdateScriptedMove(float dt);

    platform::Vec3 eye;
    platform::Vec3 target;
    platform::Vec3 up{0, 1, 0};
    platform::Vec3 viewDir{0, 0, 1};
    platform::Vec3 side{1, 0, 0};
    float nearPlane = 1.0f;
    float farPlane = 5000.0f;
    float distance = 1.0f;
    float fov = 0;
    float aspect = 1.0f;
    uint32_t viewportWidth = 0, viewportHeight = 0;
    platform::Matrix view = platform::Matrix::Identity();
    platform::Matrix projection = platform::Matrix::Identity();
    platform::Vec3 rayOrigin, rayDirection;
    int32_t index = -1;
    uint32_t billboardMask = 0;
    platform::Matrix billboardX, billboardY, billboardXZ, billboardFull;
    platform::Vec3 travelA, travelB;
    float holdTime = 0;
    float travelSpeed = 1.0f;
    float holdElapsed = 0;
    uint32_t travelStage = 0;  // 0: to A and stop; 1: to A, hold, back to B
    uint32_t returning = 0;
    uint32_t travelDone = 1;
    bool enabled = true;  // the play screen stops its scrolling with it

protected:
    void FollowTarget() { eye = target - viewDir * distance; }
};

// The camera of a match: pans across the ground, pitches only inside its
// limits and glides to a new target.
class CPlayCamera : public CCamera {
public:
    CPlayCamera() = default;

    // Along side and along the view direction flattened onto the ground.
    void Pan(float dx, float dy) override;
    // Yaw about the world's up; pitch only while -pitchLimitHigh < viewDir.y < -pitchLimitLow.
    void Rotate(float yaw, float pitch) override;
    // Immediate: jump; else glide there (UpdateMove) keeping the target's height.
    void SetTarget(const platform::Vec3& point, int immediate) override;
    void UpdateMove(float dt);

    uint32_t moving = 0;
    platform::Vec3 moveDestination, moveDirection;
    float pitchLimitHigh = 0.95f;
    float pitchLimitLow = 0.05f;
};
