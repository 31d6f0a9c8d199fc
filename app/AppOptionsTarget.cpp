#include "app/AppOptionsTarget.h"

#include "app/GameApp.h"
#include "world/WorldObjectManager.h"

void CAppOptionsTarget::SetSightGrade(int grade) {
    sightGrade = grade;
    if (g_pWorldObjectManager) g_pWorldObjectManager->SetSightGrade(grade);
}

void CAppOptionsTarget::SetStreamVolume(float volume) { m_app.Sound().SetStreamVolume(volume); }
void CAppOptionsTarget::SetEffectVolume(float volume) { m_app.Sound().SetEffectVolume(volume); }
void CAppOptionsTarget::ApplyGammaRamp(float gamma) { m_app.ApplyGammaRamp(gamma); }
