// The base of everything placed and drawn in the 3D scene: placement
// (position, orientation axes, uniform scale, world matrix), a flags word,
// the bounds used for picking, culling, range and footprint tests, the
// fixed-function material and the colour factors the renderer multiplies into
// it. Drawing and animation are added by the game object.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/EngineObject.h"
#include "engine/render/Material.h"
#include "engine/render/ObjectBounds.h"
#include "platform/Math.h"

class CFileStream;
class CModelResource;

// Flag bits of a scene object (the world objects use further bits).
enum SceneObjectFlag : uint32_t {
    SO_PLACED = 0x1,   // re-placed on the terrain after a move
    SO_VISIBLE = 0x2,  // for a child, the parent's bit counts
    SO_FROZEN = 0x20,  // no transform rebuild
    SO_HIDDEN = 0x40,
    SO_POSITION_CHANGED = 0x1000,
    SO_AXES_CHANGED = 0x2000,
    SO_ROTATION_CHANGED = 0x4000,
    SO_TRANSFORM_CHANGED = 0x7000,  // the bits the rebuild tests and clears
    SO_PLACE_MARK = 0x8000,         // set with them by Place, kept by the rebuild
    SO_GAME_OBJECT = 0x80000,
    SO_OCCUPIES_GRID = 0x10000000,
    SO_GRID_MARKED = 0x20000000,
    SO_NO_EFFECT_QUEUE = 0x40000000,
};

class CSceneObject : public CEngineObject {
public:
    CSceneObject() = default;
    ~CSceneObject() override = default;

    // Rebuilds the transform unless frozen; 1 keeps the object. A frozen
    // object stays while someone else holds it.
    virtual int Update(float dt);
    virtual void Render() {}
    virtual void RenderPose() {}
    // Nearest hit of the inner (useInner) or outer box.
    virtual bool IntersectRay(const platform::Vec3& origin, const platform::Vec3& direction, float* distance,
                              void* unused, int useInner);
    virtual bool IsInFrustum(const platform::Plane* planes, int withNearFar);
    virtual bool IsWithinDistance(const platform::Vec3* point, float margin);
    // The footprint overlaps the x/z rectangle (touching edges do not count).
    virtual bool OverlapsRect(const platform::Vec3* rectMin, const platform::Vec3* rectMax);
    virtual int CountPrimitives() { return 0; }
    virtual int CountEffectPrimitives() { return 0; }
    virtual int LoadFromMap(CFileStream& /*stream*/, int /*flag*/) { return 1; }
    virtual void SetHeight(float y) { position.y = y; }
    virtual void SetAlpha(float a);
    virtual void SetColorScale(float r, float g, float b);
    virtual void SetColorScale2(float r, float g, float b) { tintTarget = {r, g, b}; }
    virtual void SetColor(float r, float g, float b, float a) { material.Get().ambient = {r, g, b, a}; }
    virtual CModelResource* GetModel() { return nullptr; }

    // Position, yaw (0 keeps the facing) and uniform scale; marks every transform bit.
    void Place(const platform::Vec3& pos, float yaw, float scale);
    void TurnBy(float angle);
    void SetFacing(const platform::Vec3& f);
    // Radians from +z turning toward +x, in (0, 2 pi]; 0 for facing exactly +z.
    float GetFacingAngle() const;
    bool IsVisible() const;
    // Runs when a transform bit is set: the matrix, the bounds and the dependants.
    void RebuildTransform();
    void GetColor(float* rgba) const;
    // A dependant's dirty word, set to 1 whenever this transform changes (slot 0 or 1).
    void SetAttached(int slot, uint32_t* dirtyWord);

    uint32_t refCount = 0;
    CSceneObject* parent = nullptr;
    std::string name;
    platform::Vec3 position;
    platform::Vec3 upAxis{0, 1, 0};
    platform::Vec3 sideAxis{1, 0, 0};
    platform::Vec3 facing{0, 0, 1};
    platform::Matrix world = platform::Matrix::Identity();
    uint32_t flags = 0;
    CObjectBounds bounds;
    CMaterial material;
    platform::Vec3 tintTarget{0.7f, 0.7f, 0.7f};
    float factorA = 1.0f;
    platform::Vec4 colorScale{1, 1, 1, 1};
    // Kept by the world's object quadtree: the leaves that hold the object
    // (-1 none) and its place in the frame's visible list.
    int32_t treeLeaves[4] = {-1, -1, -1, -1};
    int32_t visibleIndex = -1;

private:
    uint32_t* m_attached[2] = {nullptr, nullptr};
};

// True when point lies nearer than the bounds' scaled half depth plus margin
// to position, measured across the ground (x and z).
bool IsPointNearObject(const platform::Vec3& point, const platform::Vec3& position, const CObjectBounds& bounds,
                       float margin);

// Keeps a moved object on the ground and in its place of the spatial tree
// before its transform is rebuilt; the game world's terrain sets it.
extern void (*g_pGroundPlacer)(CSceneObject& object);
