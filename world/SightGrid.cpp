#include "world/SightGrid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine/core/ErrorReport.h"

using platform::CGfxTexture;
using platform::Vec3;

namespace {

constexpr int16_t kMaxCount = 32767;
constexpr uint8_t kVisible = 0, kExplored = 180, kUnexplored = 255;

}  // namespace

CSightGrid::~CSightGrid() { Free(); }

int CSightGrid::Setup(int32_t zTiles, int32_t xTiles, float tileSize, int32_t cellsPerTileDivisor,
                      uint32_t smoothFade, int32_t current) {
    Free();
    if (cellsPerTileDivisor < 1 || cellsPerTileDivisor > 16 || !(tileSize > 0) || !std::isfinite(tileSize)) {
        ErrorReport().SetError(ERR_DATA, "sight grid cell divisor %d, tile size %f", cellsPerTileDivisor,
                               static_cast<double>(tileSize));
        return 0;
    }
    if (current < 0 || current >= kLayerCount) {
        ErrorReport().SetError(ERR_DATA, "sight grid layer %d", current);
        return 0;
    }
    const int32_t sizeZ = (zTiles / 8) * 16, sizeX = (xTiles / 8) * 16;
    if (zTiles < 0 || xTiles < 0 || sizeZ > kMaxSide || sizeX > kMaxSide) {
        ErrorReport().SetError(ERR_DATA, "sight grid of %d x %d tiles", xTiles, zTiles);
        return 0;
    }
    m_sizeZ = sizeZ;
    m_sizeX = sizeX;
    m_cellSize = tileSize / static_cast<float>(16 / cellsPerTileDivisor);
    m_smoothFade = smoothFade;
    m_current = current;
    const size_t cells = static_cast<size_t>(sizeZ) * static_cast<size_t>(sizeX);
    m_fogTarget.assign(cells, kUnexplored);
    m_fogShown.assign(cells, kUnexplored);
    m_blockHeight.assign(cells, 0.0f);
    m_blocksX = (sizeX + kBlock - 1) / kBlock;
    m_blockMax.assign(static_cast<size_t>(m_blocksX) * static_cast<size_t>((sizeZ + kBlock - 1) / kBlock), 0.0f);
    OpenLayer(current, 1);
    // The slopes of the near and far corners of every cell an octant can visit.
    m_slopeLow.assign((kMaxRadius + 1) * (kMaxRadius + 1), 0);
    m_slopeHigh.assign((kMaxRadius + 1) * (kMaxRadius + 1), 0);
    for (int32_t j = 1; j <= kMaxRadius; ++j) {
        for (int32_t col = 0; col <= j; ++col) {
            m_slopeLow[static_cast<size_t>(j * (kMaxRadius + 1) + col)] =
                (static_cast<float>(col) - 0.5f) / (static_cast<float>(j) + 0.5f);
            m_slopeHigh[static_cast<size_t>(j * (kMaxRadius + 1) + col)] =
                (static_cast<float>(col) + 0.5f) / (static_cast<float>(j) - 0.5f);
        }
    }
    m_stencils.resize(kMaxRadius + 1);
    for (int32_t k = 0; k <= kMaxRadius; ++k) {
        const int32_t side = 2 * k + 1;
        std::vector<uint8_t>& stencil = m_stencils[static_cast<size_t>(k)];
        stencil.assign(static_cast<size_t>(side * side), 0);
        for (int32_t i = 0; i < side; ++i) {
            for (int32_t j = 0; j < side; ++j) {
                double di = i - k, dj = j - k;
                if (static_cast<int32_t>(std::sqrt(di * di + dj * dj) + 0.4) <= k)
                    stencil[static_cast<size_t>(i * side + j)] = 1;
            }
        }
    }
    return 1;
}

void CSightGrid::OpenLayer(int32_t layer, uint32_t shared) {
    if (layer < 0 || layer >= kLayerCount || m_layers[layer].active) return;
    Layer& l = m_layers[layer];
    l.active = 1;
    l.shared = shared;
    l.values.assign(static_cast<size_t>(m_sizeZ) * static_cast<size_t>(m_sizeX), -1);
}

void CSightGrid::Free() {
    for (Layer& layer : m_layers) layer = Layer();
    m_fogTarget = std::vector<uint8_t>();
    m_fogShown = std::vector<uint8_t>();
    m_blockHeight = std::vector<float>();
    m_blockMax = std::vector<float>();
    m_stencils = std::vector<std::vector<uint8_t>>();
    m_sizeZ = m_sizeX = 0;
    platform::GfxRelease(m_texture);
    m_textureSide = m_marginZ = m_marginX = m_texelsZ = m_texelsX = 0;
}

int32_t CSightGrid::GetCell(const Vec3& position, int32_t layer) const {
    layer = ResolveLayer(layer);
    if (!IsLayerActive(layer) || m_cellSize <= 0) return -2;
    const int32_t z = static_cast<int32_t>(position.z / m_cellSize), x = static_cast<int32_t>(position.x / m_cellSize);
    if (z < 0 || x < 0 || z >= m_sizeZ || x >= m_sizeX) return -2;
    return m_layers[layer].values[Index(z, x)];
}

int32_t CSightGrid::AnySeen(int32_t layer, const Vec3& position, float radius, uint32_t anyShared) const {
    if (m_cellSize <= 0) return -2;
    const int32_t half = std::clamp(static_cast<int32_t>(radius / m_cellSize), 0, kMaxSide);
    const int32_t cz = static_cast<int32_t>(position.z / m_cellSize), cx = static_cast<int32_t>(position.x / m_cellSize);
    const int32_t z0 = std::max(cz - half, 0), z1 = std::min(cz + half, m_sizeZ - 1);
    const int32_t x0 = std::max(cx - half, 0), x1 = std::min(cx + half, m_sizeX - 1);
    int32_t best = -2;
    for (int32_t l = 0; l < kLayerCount; ++l) {
        if (!m_layers[l].active) continue;
        if (anyShared ? !m_layers[l].shared : l != ResolveLayer(layer)) continue;
        const int16_t* values = m_layers[l].values.data();
        for (int32_t z = z0; z <= z1; ++z) {
            for (int32_t x = x0; x <= x1; ++x) {
                int32_t v = values[Index(z, x)];
                if (v >= 1) return 1;
                best = std::max(best, v);
            }
        }
    }
    return best;
}

CSightGrid::Footprint CSightGrid::MakeFootprint(const Vec3& position, float range) const {
    Footprint fp;
    fp.cz = static_cast<int32_t>(position.z / m_cellSize);
    fp.cx = static_cast<int32_t>(position.x / m_cellSize);
    // Stencils end at radius 40; a larger range would index past them.
    const float cells = range / m_cellSize;
    fp.r = cells >= static_cast<float>(kMaxRadius) ? kMaxRadius : (cells > 0 ? static_cast<int32_t>(cells) : 0);
    fp.z0 = std::max(fp.cz - fp.r, 0);
    fp.z1 = std::min(fp.cz + fp.r, m_sizeZ - 1);
    fp.x0 = std::max(fp.cx - fp.r, 0);
    fp.x1 = std::min(fp.cx + fp.r, m_sizeX - 1);
    return fp;
}

void CSightGrid::Light(Cast& cast, int32_t z, int32_t x) {
    const Footprint& fp = *cast.fp;
    const size_t side = static_cast<size_t>(2 * fp.r + 1);
    const size_t s = static_cast<size_t>(z - fp.cz + fp.r) * side + static_cast<size_t>(x - fp.cx + fp.r);
    if (cast.lit[s] || !cast.stencil[s]) return;
    cast.lit[s] = 1;
    int16_t& v = cast.values[Index(z, x)];
    v = v == -1 ? 1 : (v < kMaxCount ? static_cast<int16_t>(v + 1) : v);
}

template <bool kClipped>
void CSightGrid::CastOctant(Cast& cast, int32_t row, float start, float end, int32_t px, int32_t pz, int32_t qx,
                            int32_t qz) {
    if (start < end) return;
    const Footprint& fp = *cast.fp;
    const int32_t side = 2 * fp.r + 1;
    // Along a row the cell moves by q: one step in the grid and in the source's square.
    const ptrdiff_t cellStep = static_cast<ptrdiff_t>(qz) * m_sizeX + qx;
    const ptrdiff_t squareStep = static_cast<ptrdiff_t>(qz) * side + qx;
    const float* heights = m_blockHeight.data();
    float nextStart = start;
    for (int32_t j = row; j <= fp.r; ++j) {
        bool blocked = false;
        const int32_t rowZ = fp.cz + j * pz, rowX = fp.cx + j * px;
        const ptrdiff_t rowCell = static_cast<ptrdiff_t>(rowZ) * m_sizeX + rowX;
        const ptrdiff_t rowSquare = static_cast<ptrdiff_t>(rowZ - fp.cz + fp.r) * side + (rowX - fp.cx + fp.r);
        const float* low = m_slopeLow.data() + j * (kMaxRadius + 1);
        const float* high = m_slopeHigh.data() + j * (kMaxRadius + 1);
        // From the diagonal (slope 1) towards the axis (slope 0).
        for (int32_t col = j; col >= 0; --col) {
            if (low[col] > start) continue;
            if (high[col] < end) break;
            const int32_t z = rowZ + col * qz, x = rowX + col * qx;
            if (kClipped && (z < fp.z0 || z > fp.z1 || x < fp.x0 || x > fp.x1)) continue;
            const ptrdiff_t cell = rowCell + col * cellStep;
            const bool wall = heights[cell] > cast.blockAbove;
            // Cells on the bounding rays are the rays' own.
            if (col != 0 && col != j && !wall) {
                const ptrdiff_t s = rowSquare + col * squareStep;
                if (!cast.lit[s] && cast.stencil[s]) {
                    cast.lit[s] = 1;
                    int16_t& v = cast.values[cell];
                    v = v == -1 ? 1 : (v < kMaxCount ? static_cast<int16_t>(v + 1) : v);
                }
            }
            if (blocked) {
                if (wall) {
                    nextStart = low[col];
                    continue;
                }
                blocked = false;
                start = nextStart;
            } else if (wall && j < fp.r) {
                blocked = true;
                CastOctant<kClipped>(cast, j + 1, start, high[col], px, pz, qx, qz);
                nextStart = low[col];
            }
        }
        if (blocked) break;
    }
}

void CSightGrid::CastLineOfSight(Cast& cast) {
    const Footprint& fp = *cast.fp;
    Light(cast, fp.cz, fp.cx);
    // The eight rays, indexed by (dz + 1) * 3 + (dx + 1): stopped at their first cell?
    bool stoppedFirst[9] = {};
    for (int32_t dz = -1; dz <= 1; ++dz) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
            if (dx == 0 && dz == 0) continue;
            int32_t step = 1;
            for (; step <= fp.r; ++step) {
                const int32_t z = fp.cz + dz * step, x = fp.cx + dx * step;
                if (z < fp.z0 || z > fp.z1 || x < fp.x0 || x > fp.x1 || Blocks(cast, z, x)) break;
                Light(cast, z, x);
            }
            stoppedFirst[(dz + 1) * 3 + (dx + 1)] = step == 1 && fp.r >= 1;
        }
    }
    // Octants: a primary axis p and a side q; bounded by the ray p and the diagonal p + q.
    const bool clipped =
        fp.z0 != fp.cz - fp.r || fp.z1 != fp.cz + fp.r || fp.x0 != fp.cx - fp.r || fp.x1 != fp.cx + fp.r;
    static constexpr int32_t kOctants[8][4] = {{1, 0, 0, 1},  {1, 0, 0, -1},  {-1, 0, 0, 1}, {-1, 0, 0, -1},
                                               {0, 1, 1, 0},  {0, 1, -1, 0},  {0, -1, 1, 0}, {0, -1, -1, 0}};
    for (const auto& o : kOctants) {
        const int32_t px = o[0], pz = o[1], qx = o[2], qz = o[3];
        if (stoppedFirst[(pz + 1) * 3 + (px + 1)] && stoppedFirst[(pz + qz + 1) * 3 + (px + qx + 1)]) continue;
        // Most squares lie wholly on the grid: no cell then needs its bounds checked.
        if (clipped)
            CastOctant<true>(cast, 1, 1.0f, 0.0f, px, pz, qx, qz);
        else
            CastOctant<false>(cast, 1, 1.0f, 0.0f, px, pz, qx, qz);
    }
}

void CSightGrid::AddSight(SightSource* source, const Vec3& position, float range, int32_t layer, int32_t mode) {
    if (!source || layer < 0 || layer >= kLayerCount || !m_layers[layer].active) return;
    const Footprint fp = MakeFootprint(position, range);
    const int32_t side = 2 * fp.r + 1;
    int16_t* values = m_layers[layer].values.data();
    const uint8_t* stencil = Stencil(fp.r);
    source->position = position;
    source->range = range;
    source->layer = layer;
    source->mode = mode;
    source->added = true;
    if (mode == MODE_DISC) {
        AddToCells(values, stencil, fp);
        return;
    }
    source->lit.assign(static_cast<size_t>(side * side), 0);
    // Line of sight starts at the centre cell: an eye off the grid sees nothing.
    if (fp.cz < 0 || fp.cz >= m_sizeZ || fp.cx < 0 || fp.cx >= m_sizeX) return;
    Cast cast{values, source->lit.data(), stencil, &fp, position.y + kEyeClearance};
    // A blocking cell only ever shades cells farther out than itself, so
    // without one in the square the cast would light the whole disc.
    bool open = true;
    for (int32_t bz = fp.z0 / kBlock; bz <= fp.z1 / kBlock && open; ++bz)
        for (int32_t bx = fp.x0 / kBlock; bx <= fp.x1 / kBlock; ++bx)
            open &= !(m_blockMax[static_cast<size_t>(bz * m_blocksX + bx)] > cast.blockAbove);
    if (!open) {
        CastLineOfSight(cast);
        return;
    }
    // Cells of the square off the grid are never read back: the removal clips alike.
    std::memcpy(cast.lit, stencil, static_cast<size_t>(side * side));
    AddToCells(values, stencil, fp);
}

void CSightGrid::RemoveSight(SightSource* source, const Vec3& /*position*/, float /*range*/, int32_t /*layer*/,
                             int32_t /*mode*/) {
    if (!source || !source->added) return;
    source->added = false;
    const int32_t layer = source->layer;
    if (layer < 0 || layer >= kLayerCount || !m_layers[layer].active) return;
    const Footprint fp = MakeFootprint(source->position, source->range);
    const int32_t side = 2 * fp.r + 1;
    const bool disc = source->mode == MODE_DISC;
    if (!disc && source->lit.size() != static_cast<size_t>(side * side)) return;
    const uint8_t* marks = disc ? Stencil(fp.r) : source->lit.data();
    int16_t* values = m_layers[layer].values.data();
    for (int32_t z = fp.z0; z <= fp.z1; ++z) {
        const uint8_t* mark = marks + (z - fp.cz + fp.r) * side + (fp.x0 - fp.cx + fp.r);
        int16_t* v = values + Index(z, fp.x0);
        // -1 and 0 were never lit by this source: nothing to take. (Branch-free, so it vectorises.)
        for (int32_t i = 0; i <= fp.x1 - fp.x0; ++i) v[i] = static_cast<int16_t>(v[i] - (mark[i] & (v[i] > 0)));
    }
}

void CSightGrid::AddToCells(int16_t* values, const uint8_t* marks, const Footprint& fp) {
    const int32_t side = 2 * fp.r + 1;
    for (int32_t z = fp.z0; z <= fp.z1; ++z) {
        const uint8_t* mark = marks + (z - fp.cz + fp.r) * side + (fp.x0 - fp.cx + fp.r);
        int16_t* v = values + Index(z, fp.x0);
        // -1 (never seen) becomes 1; a full count stays full.
        for (int32_t i = 0; i <= fp.x1 - fp.x0; ++i) {
            const int32_t m = mark[i], old = v[i];
            const int32_t next = old + m + (m & (old == -1));
            v[i] = static_cast<int16_t>(next > kMaxCount ? kMaxCount : next);
        }
    }
}

void CSightGrid::SetSmoothFade(uint32_t flag) {
    if (flag && !m_smoothFade) m_fogShown = m_fogTarget;
    m_smoothFade = flag;
}

void CSightGrid::SetHeights(int32_t cellZ, int32_t cellX, float ground, const float quarters[4]) {
    if (cellZ < 0 || cellX < 0 || cellZ >= m_sizeZ || cellX >= m_sizeX) return;
    float highest = ground;
    for (int i = 0; i < 4 && quarters; ++i) highest = std::max(highest, quarters[i]);
    m_blockHeight[Index(cellZ, cellX)] = highest;
    float& blockMax = m_blockMax[static_cast<size_t>((cellZ / kBlock) * m_blocksX + cellX / kBlock)];
    if (highest >= blockMax) {
        blockMax = highest;
        return;
    }
    // Lowered: the block's highest cell may be another one now.
    blockMax = -INFINITY;
    const int32_t z0 = cellZ / kBlock * kBlock, x0 = cellX / kBlock * kBlock;
    for (int32_t z = z0; z < std::min(z0 + kBlock, m_sizeZ); ++z)
        for (int32_t x = x0; x < std::min(x0 + kBlock, m_sizeX); ++x)
            blockMax = std::max(blockMax, m_blockHeight[Index(z, x)]);
}

uint8_t CSightGrid::TargetAlpha(size_t index) const {
    uint8_t alpha = kUnexplored;
    for (const Layer& layer : m_layers) {
        if (!layer.active || !layer.shared) continue;
        int16_t v = layer.values[index];
        if (v >= 1) return kVisible;
        if (v == 0) alpha = kExplored;
    }
    return alpha;
}

uint8_t CSightGrid::CurrentAlpha(size_t index) const {
    if (m_allLayers) return TargetAlpha(index);
    return m_smoothFade ? m_fogShown[index] : m_fogTarget[index];
}

uint8_t CSightGrid::FogAlpha(int32_t cellZ, int32_t cellX) const {
    if (cellZ < 0 || cellX < 0 || cellZ >= m_sizeZ || cellX >= m_sizeX) return kUnexplored;
    return CurrentAlpha(Index(cellZ, cellX));
}

void CSightGrid::UpdateFog(float frameTime) {
    if (m_allLayers) return;
    // Layer by layer, so each pass is a plain loop: a lit cell anywhere wins, then an explored one.
    std::fill(m_fogTarget.begin(), m_fogTarget.end(), kUnexplored);
    for (const Layer& layer : m_layers) {
        if (!layer.active || !layer.shared) continue;
        const int16_t* values = layer.values.data();
        uint8_t* target = m_fogTarget.data();
        for (size_t i = 0; i < m_fogTarget.size(); ++i) {
            const uint8_t alpha = values[i] >= 1 ? kVisible : (values[i] == 0 ? kExplored : kUnexplored);
            target[i] = std::min(target[i], alpha);
        }
    }
    if (!m_smoothFade) return;
    const float amount = frameTime * kFadePerSecond;
    const int32_t step = amount >= 255.0f ? 255 : std::max(1, static_cast<int32_t>(amount > 0 ? amount : 0));
    for (size_t i = 0; i < m_fogShown.size(); ++i) {
        const int32_t target = m_fogTarget[i];
        int32_t shown = m_fogShown[i];
        if (target == kVisible) {
            shown = std::max(0, shown - step);
        } else if (target == kExplored) {
            shown = shown > kExplored ? std::max<int32_t>(kExplored, shown - step)
                                      : std::min<int32_t>(kExplored, shown + step);
        }
        m_fogShown[i] = static_cast<uint8_t>(shown);
    }
}

int CSightGrid::CreateTexture(platform::CGfxDevice* device, int32_t xTiles, int32_t zTiles) {
    platform::GfxRelease(m_texture);
    m_texelsX = std::clamp(xTiles / 8 * 8, 0, kMaxSide);
    m_texelsZ = std::clamp(zTiles / 8 * 8, 0, kMaxSide);
    m_textureSide = std::max(m_texelsX, m_texelsZ);
    m_marginX = (m_textureSide - m_texelsX) / 2;
    m_marginZ = (m_textureSide - m_texelsZ) / 2;
    if (!device || m_textureSide == 0) {
        ErrorReport().SetError(ERR_DEVICE_CALL, "sight texture of %d x %d tiles", xTiles, zTiles);
        return 0;
    }
    const uint32_t side = static_cast<uint32_t>(m_textureSide);
    platform::GfxResult hr =
        device->CreateTexture(side, side, 1, 0, platform::FMT_A8R8G8B8, platform::POOL_MANAGED, &m_texture);
    if (platform::GfxFailed(hr)) {
        m_texture = nullptr;
        ErrorReport().SetDxError(ERR_DEVICE_CALL, "SightGrid", __LINE__, hr);
        return 0;
    }
    return WriteTexels(m_texture, 0, 0, 2, m_marginZ, m_marginX, m_texelsZ, m_texelsX);
}

int CSightGrid::UpdateTexture(float frameTime) {
    UpdateFog(frameTime);
    return RefreshTexture();
}

int CSightGrid::RefreshTexture() const {
    if (!m_texture) return 0;
    return WriteTexels(m_texture, 0, 0, 2, m_marginZ, m_marginX, m_texelsZ, m_texelsX);
}

bool CSightGrid::TextureArea(float* u0, float* v0, float* u1, float* v1) const {
    if (!m_texture || m_textureSide <= 0) return false;
    const float side = static_cast<float>(m_textureSide);
    *u0 = static_cast<float>(m_marginX) / side;
    *v0 = static_cast<float>(m_marginZ) / side;
    *u1 = static_cast<float>(m_marginX + m_texelsX) / side;
    *v1 = static_cast<float>(m_marginZ + m_texelsZ) / side;
    return true;
}

int CSightGrid::WriteRegion(CGfxTexture* texture, int32_t cellZ, int32_t cellX) const {
    if (!texture) return 0;
    return WriteTexels(texture, cellZ, cellX, 1, 0, 0, static_cast<int32_t>(texture->GetHeight()),
                       static_cast<int32_t>(texture->GetWidth()));
}

// Texel (row, col) of the area starting at (marginZ, marginX) shows the cells
// from (originZ + row x n, originX + col x n) on, n x n of them, the most
// visible one; everything else in the texture is unexplored.
int CSightGrid::WriteTexels(CGfxTexture* texture, int32_t originZ, int32_t originX, int32_t cellsPerTexel,
                            int32_t marginZ, int32_t marginX, int32_t texelsZ, int32_t texelsX) const {
    platform::GfxLockedRect locked;
    if (platform::GfxFailed(texture->LockRect(0, &locked, nullptr, 0)) || !locked.bits) return 0;
    const int32_t width = static_cast<int32_t>(texture->GetWidth()), height = static_cast<int32_t>(texture->GetHeight());
    for (int32_t row = 0; row < height; ++row) {
        uint32_t* texel = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) +
                                                      static_cast<size_t>(row) * static_cast<size_t>(locked.pitch));
        const int32_t areaRow = row - marginZ;
        for (int32_t col = 0; col < width; ++col) {
            const int32_t areaCol = col - marginX;
            uint32_t alpha = kUnexplored;
            if (areaRow >= 0 && areaRow < texelsZ && areaCol >= 0 && areaCol < texelsX) {
                const int32_t z0 = originZ + areaRow * cellsPerTexel, x0 = originX + areaCol * cellsPerTexel;
                for (int32_t z = z0; z < z0 + cellsPerTexel; ++z)
                    for (int32_t x = x0; x < x0 + cellsPerTexel; ++x) alpha = std::min<uint32_t>(alpha, FogAlpha(z, x));
            }
            texel[col] = alpha << 24;  // black, the fog's alpha
        }
    }
    texture->UnlockRect(0);
    return 1;
}
