#include "engine/render/MeshPart.h"

#include "engine/render/ShaderSet.h"

using namespace platform;

int CMeshPart::CreateBuffers() {
    if (m_primitiveCount == 0 || m_vertexCount == 0 || m_indexCount == 0) return 1;
    return CZEMMesh::CreateBuffers();
}

bool CMeshPart::GetTriangle(uint32_t triangle, Vec3* positions) const {
    if (!positions || m_primitiveType != PT_TRIANGLELIST) return false;
    uint64_t first = uint64_t{triangle} * 3;
    if (first + 3 > m_indices.size()) return false;
    for (int k = 0; k < 3; ++k) {
        uint16_t index = m_indices[first + static_cast<uint64_t>(k)];
        if (index >= m_vertexCount) return false;
        positions[k] = PositionOf(index);
    }
    return true;
}

int32_t CMeshPart::AlphaAt(const float* time) const {
    if (!time || alphaKeys.size() < 2) return 255;
    float t = *time;
    float alpha = alphaKeys.front().alpha;
    if (t >= alphaKeys.back().time) alpha = alphaKeys.back().alpha;
    for (size_t i = 0; i + 1 < alphaKeys.size(); ++i) {
        const AlphaKey& a = alphaKeys[i];
        const AlphaKey& b = alphaKeys[i + 1];
        if (a.time <= t && t < b.time) {
            alpha = a.alpha + (b.alpha - a.alpha) * ((t - a.time) / (b.time - a.time));
            break;
        }
    }
    if (!(alpha > 0)) return 0;
    if (alpha >= 255) return 255;
    return static_cast<int32_t>(alpha);
}

void CSoftSkinMeshPart::PrepareVertices() {
    output.resize(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        output[i].position = source[i].position;
        output[i].normal = source[i].normal;
        output[i].u = source[i].u;
        output[i].v = source[i].v;
    }
}

void CSoftSkinMeshPart::ApplyBones(const Matrix* bones, uint32_t boneCount) {
    if (!bones) return;
    size_t count = std::min(source.size(), output.size());
    for (size_t i = 0; i < count; ++i) {
        const SkinVertex64& s = source[i];
        if (!(s.indices[0] >= 0)) continue;  // no influence: the last output stays
        // The weighted sum of the bones' matrices moves the vertex as the sum
        // of the weighted moves would (rows 0-2 turn, row 3 moves).
        float m[4][3] = {};
        for (int k = 0; k < 4; ++k) {
            if (!(s.indices[k] >= 0)) break;
            uint32_t bone = static_cast<uint32_t>(s.indices[k]);
            if (bone >= boneCount) continue;
            const Matrix& b = bones[bone];
            float w = s.weights[k];
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 3; ++c) m[r][c] += w * b.m[r][c];
        }
        const Vec3& p = s.position;
        const Vec3& n = s.normal;
        MeshVertex32& o = output[i];
        o.position.x = p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0];
        o.position.y = p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1];
        o.position.z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
        o.normal.x = n.x * m[0][0] + n.y * m[1][0] + n.z * m[2][0];
        o.normal.y = n.x * m[0][1] + n.y * m[1][1] + n.z * m[2][1];
        o.normal.z = n.x * m[0][2] + n.y * m[1][2] + n.z * m[2][2];
    }
    if (m_vertexBuffer) FillVertexBuffer(output.data());
}

void CShaderSkinMeshPart::ApplyBones(const Matrix* bones, uint32_t boneCount) {
    if (!bones || !m_shaders || !m_shaders->SkinEffect()) return;
    Matrix uploaded[kMaxPaletteBones];
    uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(palette.size()), kMaxPaletteBones);
    for (uint32_t i = 0; i < count; ++i) uploaded[i] = palette[i] < boneCount ? bones[palette[i]] : Matrix::Identity();
    m_shaders->SkinEffect()->SetMatrixArray("mWorldMatrixArray", uploaded, count);
}

void CShaderSkinMeshPart::Draw() {
    CShaderEffect* effect = m_shaders ? m_shaders->SkinEffect() : nullptr;
    if (!m_device || !effect || m_primitiveCount == 0 || !m_vertexBuffer || !m_indexBuffer) return;
    CGfxVertexDeclaration* saved = m_device->GetVertexDeclaration();
    if (saved) saved->AddRef();
    m_device->SetVertexDeclaration(m_shaders->SkinDeclaration());
    m_device->SetStreamSource(0, m_vertexBuffer, 0, m_stride);
    m_device->SetIndices(m_indexBuffer);
    effect->SetTechnique("SkinShader");
    uint32_t passes = effect->Begin();
    for (uint32_t p = 0; p < passes; ++p) {
        effect->BeginPass(p);
        m_device->DrawIndexedPrimitive(m_primitiveType, 0, 0, m_vertexCount, 0, m_primitiveCount);
        effect->EndPass();
    }
    effect->End();
    m_device->SetVertexDeclaration(saved);
    if (saved) saved->Release();
}
