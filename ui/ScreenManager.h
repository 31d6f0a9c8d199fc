// The current screen and the screens that follow it. Each frame the current
// screen updates; a finished one is deleted and its successor entered in the
// same frame. Device events reach every screen, queued ones included.
#pragma once

#include <list>

#include "ui/Screen.h"

class CZEMDXInput;

class CScreenManager {
public:
    CScreenManager();
    ~CScreenManager();
    CScreenManager(const CScreenManager&) = delete;
    CScreenManager& operator=(const CScreenManager&) = delete;

    // The input whose state every push resets.
    void SetPushListener(CZEMDXInput* input) { m_pushListener = input; }

    // Takes ownership. Only the last screen pushed before the current one
    // finishes follows it; an earlier one pushed in between is deleted.
    void PushScreen(CScreen* screen);
    int Update();
    void ClearScreens();
    void PopFront();

    int InitDeviceObjects();
    int RestoreDeviceObjects();
    int InvalidateDeviceObjects();
    void DeleteDeviceObjects();

    CScreen* Current() const { return m_current; }
    size_t QueuedCount() const { return m_queue.size(); }

private:
    template <typename Step>
    int ForEachScreen(Step step, bool stopOnFailure);

    CScreen* m_current = nullptr;
    std::list<CScreen*> m_queue;
    CZEMDXInput* m_pushListener = nullptr;
};

extern CScreenManager* g_pScreenManager;
