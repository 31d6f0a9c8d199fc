#include "tools/MeshWriter.h"

#include "tools/FormatWriter.h"

std::vector<uint8_t> WriteMeshFile(const MeshFile& file) {
    CFormatWriter w;
    w.Float(file.version);
    w.U32(static_cast<uint32_t>(file.textures.size()));
    w.U32(static_cast<uint32_t>(file.parts.size()));
    w.Vec3(file.boundsMin);
    w.Vec3(file.boundsMax);
    w.U32(file.twoSided);
    w.U32(file.alwaysBlend);
    for (const std::string& t : file.textures) w.String(t);
    for (const MeshFilePart& p : file.parts) {
        w.U32(p.kind);
        w.String(p.name);
        w.U32(static_cast<uint32_t>(p.alphaKeys.size()));
        for (const AlphaKey& k : p.alphaKeys) {
            w.Float(k.time);
            w.Float(k.alpha);
        }
        w.I32(p.textureIndex);
        w.U32(static_cast<uint32_t>(p.vertices.size()));
        w.U32(p.triangleCount);
        w.U32(p.isStrip);
        w.U32(p.stripIndexCount);
        for (const MeshFileVertex& v : p.vertices) {
            w.Vec3(v.position);
            w.Vec3(v.normal);
            w.Float(v.u);
            w.Float(v.v);
            if (p.kind == 0) continue;
            for (const SkinInfluence& in : v.influences) {
                w.I32(in.boneIndex);
                w.I32(in.paletteIndex);
                w.Float(in.weight);
            }
        }
        if (p.kind != 0) {
            w.U32(static_cast<uint32_t>(p.palette.size()));
            for (uint32_t b : p.palette) w.U32(b);
        }
        for (uint16_t i : p.indices) w.U16(i);
    }
    return w.Data();
}

MeshFilePart MakeGridPart(const std::string& name, uint32_t columns, uint32_t rows) {
    MeshFilePart p;
    p.name = name;
    for (uint32_t r = 0; r <= rows; ++r) {
        for (uint32_t c = 0; c <= columns; ++c) {
            MeshFileVertex v;
            v.position = {static_cast<float>(c), static_cast<float>(r), 0};
            v.normal = {0, 0, -1};
            v.u = static_cast<float>(c) / static_cast<float>(columns ? columns : 1);
            v.v = 1.0f - static_cast<float>(r) / static_cast<float>(rows ? rows : 1);
            p.vertices.push_back(v);
        }
    }
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint32_t c = 0; c < columns; ++c) {
            uint16_t a = static_cast<uint16_t>(r * (columns + 1) + c);
            uint16_t b = static_cast<uint16_t>(a + 1);
            uint16_t d = static_cast<uint16_t>(a + columns + 1);
            uint16_t e = static_cast<uint16_t>(d + 1);
            // Clockwise seen from -z, the side the normals face.
            for (uint16_t i : {a, d, b, b, d, e}) p.indices.push_back(i);
            p.triangleCount += 2;
        }
    }
    return p;
}

MeshFilePart MakeSkinnedGridPart(const std::string& name, uint32_t columns, uint32_t rows, uint32_t influences,
                                 const std::vector<uint32_t>& palette) {
    MeshFilePart p = MakeGridPart(name, columns, rows);
    p.kind = 1;
    p.palette = palette;
    for (MeshFileVertex& v : p.vertices) {
        float top = rows ? v.position.y / static_cast<float>(rows) : 0.0f;
        for (uint32_t k = 0; k < 4; ++k) {
            SkinInfluence& in = v.influences[k];
            if (k >= influences) {
                in = SkinInfluence{};
                continue;
            }
            int32_t slot = static_cast<int32_t>(k % 2);
            in.paletteIndex = slot < static_cast<int32_t>(palette.size()) ? slot : 0;
            in.boneIndex = palette.empty() ? 0 : static_cast<int32_t>(palette[static_cast<size_t>(in.paletteIndex)]);
            float share = (k % 2 == 0 ? 1.0f - top : top);
            uint32_t sameSide = (influences + (k % 2 == 0 ? 1 : 0)) / 2;
            in.weight = influences == 1 ? 1.0f : share / static_cast<float>(sameSide ? sameSide : 1);
        }
    }
    return p;
}
