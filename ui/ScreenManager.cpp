// The screen manager.
#include "ui/ScreenManager.h"

#include <algorithm>

#include "engine/input/ZEMDXInput.h"

CScreenManager* g_pScreenManager = nullptr;

CScreenManager::CScreenManager() {
    if (!g_pScreenManager) g_pScreenManager = this;
}

CScreenManager::~CScreenManager() {
    ClearScreens();
    if (g_pScreenManager == this) g_pScreenManager = nullptr;
}

void CScreenManager::PushScreen(CScreen* screen) {
    if (!screen) return;
    if (!m_current) {
        m_current = screen;
    } else if (!m_queue.empty()) {
        // The first node is the current screen's own, or a successor pushed
        // earlier in this frame that is now passed over: that one would never
        // run and nobody else holds it.
        CScreen* dropped = m_queue.front();
        m_queue.pop_front();
        if (dropped != m_current) delete dropped;
    }
    m_queue.push_back(screen);
    if (m_pushListener) m_pushListener->Reset();
    screen->Enter();
}

int CScreenManager::Update() {
    if (!m_current) return SCREEN_NONE;
    const int result = m_current->Update();
    if (result != SCREEN_FINISHED) return result;
    if (!m_queue.empty() && m_queue.front() == m_current) m_queue.pop_front();
    delete m_current;
    m_current = nullptr;
    if (m_queue.empty()) return SCREEN_NO_SUCCESSOR;
    m_current = m_queue.front();
    return m_current->Update() == SCREEN_FATAL ? SCREEN_FATAL : SCREEN_RUNNING;
}

void CScreenManager::ClearScreens() {
    if (m_current) {
        m_queue.remove(m_current);
        delete m_current;
        m_current = nullptr;
    }
    for (CScreen* screen : m_queue) delete screen;
    m_queue.clear();
}

void CScreenManager::PopFront() {
    if (!m_queue.empty()) m_queue.pop_front();
}

template <typename Step>
int CScreenManager::ForEachScreen(Step step, bool stopOnFailure) {
    for (CScreen* screen : m_queue)
        if (!step(screen) && stopOnFailure) return 0;
    const bool currentListed = std::find(m_queue.begin(), m_queue.end(), m_current) != m_queue.end();
    if (m_current && !currentListed) return step(m_current);
    return 1;
}

int CScreenManager::InitDeviceObjects() {
    return ForEachScreen([](CScreen* s) { return s->InitDeviceObjects(); }, true);
}

int CScreenManager::RestoreDeviceObjects() {
    return ForEachScreen([](CScreen* s) { return s->RestoreDeviceObjects(); }, true);
}

int CScreenManager::InvalidateDeviceObjects() {
    return ForEachScreen([](CScreen* s) { return s->InvalidateDeviceObjects(); }, false);
}

void CScreenManager::DeleteDeviceObjects() {
    ForEachScreen(
        [](CScreen* s) {
            s->DeleteDeviceObjects();
            return 1;
        },
        false);
}
