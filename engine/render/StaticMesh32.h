// A triangle list with its own fixed-function vertices (position, normal,
// one texture set), as the map's terrain objects are made of.
#pragma once

#include "engine/render/ListMesh.h"

class CStaticMesh32 : public CListMesh<MeshVertex32, kFvfMesh32> {
public:
    using CListMesh::CListMesh;
};
