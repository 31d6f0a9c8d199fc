#include "world/PathFinder.h"

CPathFinder* g_pPathFinder = nullptr;

CPathFinder::CPathFinder() : m_graph(&m_grid) { g_pPathFinder = this; }

CPathFinder::~CPathFinder() {
    Free();
    if (g_pPathFinder == this) g_pPathFinder = nullptr;
}

int CPathFinder::Setup(int32_t width, int32_t height, float cellSize) {
    m_graph.Clear();
    int ok = m_grid.Setup(width, height, cellSize);
    m_search.Init(ok ? &m_grid : nullptr);
    return ok;
}

void CPathFinder::Free() {
    m_graph.Clear();
    m_search.Init(nullptr);
    m_grid.Free();
}
