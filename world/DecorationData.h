// A DECORATION record (category 2): scenery with a model and a mesh.
#pragma once

#include "world/GameDataRecord.h"

class CDecorationData : public CGameDataRecord {
public:
    CDecorationData() : CGameDataRecord(CAT_DECORATION, 4) {}

    int Serialize(CFileStream& stream) override;

    std::string model2;
    CResource* model2Resource = nullptr;
    uint32_t decoWord1 = 0, decoWord2 = 0, decoWord3 = 0;
    std::array<uint32_t, 3> vecA{}, vecB{};
    std::string mesh;  // mesh resource (type 4)
    CResource* meshResource = nullptr;

protected:
    int LinkBody() override;
    void ReleaseBody() override;
};
