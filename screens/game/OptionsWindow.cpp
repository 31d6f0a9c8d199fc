#include "screens/game/OptionsWindow.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Options.h"
#include "engine/effects/EffectManager.h"
#include "ui/ScreenHost.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiManager.h"
#include "ui/UiSlider.h"

namespace {

struct SliderSpec {
    const char* name;
    int32_t minimum, maximum;
    int group;
};

constexpr SliderSpec kSliderSpecs[COptionsWindow::kSliders] = {
    {"ID_SLIDER_CONFIG_GAME", 50, 259, COptionsWindow::GROUP_GAME},
    {"ID_SLIDER_CONFIG_SOUND1", 0, 100, COptionsWindow::GROUP_SOUND},
    {"ID_SLIDER_CONFIG_SOUND2", 0, 100, COptionsWindow::GROUP_SOUND},
    {"ID_SLIDER_CONFIG_VIDEO1", 50, 300, COptionsWindow::GROUP_VIDEO},
    {"ID_SLIDER_CONFIG_VIDEO2", 0, 30, COptionsWindow::GROUP_VIDEO},
    {"ID_SLIDER_CONFIG_VIDEO3", 0, 20, COptionsWindow::GROUP_VIDEO},
    {"ID_SLIDER_CONFIG_VIDEO4", 0, 20, COptionsWindow::GROUP_VIDEO},
};

constexpr const char* kCheckNames[COptionsWindow::kChecks] = {
    "ID_CHECKBUTTON_LIFE_ON",  "ID_CHECKBUTTON_LIFE_OFF", "ID_CHECKBUTTON_SOUND_ON",
    "ID_CHECKBUTTON_SOUND_OFF", "ID_CHECKBUTTON_16BIT",   "ID_CHECKBUTTON_32BIT",
};

// Each pair: the button whose checked state is the option, its partner, the group.
struct Pair {
    int first, second, group;
};
constexpr Pair kPairs[] = {
    {COptionsWindow::CHECK_LIFE_ON, COptionsWindow::CHECK_LIFE_OFF, COptionsWindow::GROUP_GAME},
    {COptionsWindow::CHECK_SOUND_ON, COptionsWindow::CHECK_SOUND_OFF, COptionsWindow::GROUP_SOUND},
    {COptionsWindow::CHECK_32BIT, COptionsWindow::CHECK_16BIT, COptionsWindow::GROUP_VIDEO},
};

// Slider values are hundredths of the stored fractions.
int32_t Hundredths(float value) { return static_cast<int32_t>(std::lround(value * 100.0f)); }

}  // namespace

void COptionsWindow::SetTargets(COptions* options, IOptionsTarget* target) {
    m_options = options;
    m_target = target;
}

COptions* COptionsWindow::Options() const {
    if (m_options) return m_options;
    IScreenHost* host = ScreenHost();
    return host ? &host->Options() : nullptr;
}

IOptionsTarget* COptionsWindow::Target() const {
    if (m_target) return m_target;
    IScreenHost* host = ScreenHost();
    return host ? host->OptionsTarget() : nullptr;
}

int COptionsWindow::OnLayoutLoaded() {
    for (int i = 0; i < kSliders; ++i) {
        m_sliders[static_cast<size_t>(i)] = static_cast<CUiSlider*>(Bind(kSliderSpecs[i].name, UI_TYPE_SLIDER));
        if (!m_sliders[static_cast<size_t>(i)]) return 0;
    }
    for (int i = 0; i < kChecks; ++i) {
        m_checks[static_cast<size_t>(i)] = static_cast<CUiCheckButton*>(Bind(kCheckNames[i], UI_TYPE_CHECKBUTTON));
        if (!m_checks[static_cast<size_t>(i)]) return 0;
    }
    m_close = static_cast<CUiButton*>(Bind("ID_BUTTON_CLOSE", UI_TYPE_BUTTON));
    m_default = static_cast<CUiButton*>(Bind("ID_BUTTON_DEFAULT", UI_TYPE_BUTTON));
    if (!m_close || !m_default) return 0;
    RefreshFromOptions();
    AddFlags(UI_HIDDEN);
    return 1;
}

void COptionsWindow::RefreshFromOptions() {
    const COptions* o = Options();
    if (!o || !m_checks[0]) return;
    for (CUiCheckButton* check : m_checks) {
        check->SetChecked(false);
        check->AddFlags(kOfferedBit);
    }
    const bool chosen[] = {o->showUnitHP != 0, o->voiceEnable != 0, o->color32Bit != 0};
    for (size_t p = 0; p < std::size(kPairs); ++p) {
        CUiCheckButton* on = Check(chosen[p] ? kPairs[p].first : kPairs[p].second);
        CUiCheckButton* off = Check(chosen[p] ? kPairs[p].second : kPairs[p].first);
        on->SetChecked(true);
        off->ClearFlags(kOfferedBit);
    }
    const int32_t shown[kSliders] = {
        Hundredths(o->screenScroll), Hundredths(o->sfxVolume),     Hundredths(o->streamVolume),
        Hundredths(o->gammaValue),   o->shadowType * 10,           (2 - o->effectGrade) * 10,
        o->sightGrade * 10,
    };
    for (int i = 0; i < kSliders; ++i) {
        CUiSlider* slider = Slider(i);
        slider->SetRange(kSliderSpecs[i].minimum, kSliderSpecs[i].maximum);
        slider->SetPosition(shown[i]);
        m_applied[static_cast<size_t>(i)] = slider->Value();
    }
}

void COptionsWindow::ApplyGroup(int group) {
    COptions* o = Options();
    if (!o || !m_sliders[0]) return;
    IOptionsTarget* target = Target();
    // A value from a damaged layout or a stray drag never leaves its range.
    auto value = [this](int i) {
        m_applied[static_cast<size_t>(i)] = Slider(i)->Value();
        return std::clamp(Slider(i)->Value(), kSliderSpecs[i].minimum, kSliderSpecs[i].maximum);
    };
    auto tens = [&value](int i) { return static_cast<int>(static_cast<float>(value(i)) * 0.1f); };
    switch (group) {
        case GROUP_GAME:
            o->screenScroll = static_cast<float>(value(SLIDER_GAME)) * 0.01f;
            o->showUnitHP = Check(CHECK_LIFE_ON)->Checked() ? 1 : 0;
            return;
        case GROUP_SOUND:
            o->sfxVolume = static_cast<float>(value(SLIDER_SOUND1)) * 0.01f;
            if (target) target->SetEffectVolume(o->sfxVolume);
            o->streamVolume = static_cast<float>(value(SLIDER_SOUND2)) * 0.01f;
            if (target) target->SetStreamVolume(o->streamVolume);
            o->voiceEnable = Check(CHECK_SOUND_ON)->Checked() ? 1 : 0;
            return;
        case GROUP_VIDEO:
            o->gammaValue = static_cast<float>(value(SLIDER_VIDEO1)) * 0.01f;
            o->shadowType = tens(SLIDER_VIDEO2);
            o->effectGrade = 2 - tens(SLIDER_VIDEO3);
            o->sightGrade = tens(SLIDER_VIDEO4);
            if (target) target->SetSightGrade(o->sightGrade);
            if (g_pEffectManager) g_pEffectManager->qualityGrade = static_cast<uint32_t>(o->effectGrade);
            // Read when the device is next made.
            o->color32Bit = Check(CHECK_32BIT)->Checked() ? 1 : 0;
            if (target) target->ApplyGammaRamp(o->gammaValue);
            return;
        default:
            return;
    }
}

int32_t COptionsWindow::SnapStep(int32_t value, int32_t maximum) {
    if (value < 5) return 0;
    if (value < 15) return 10;
    if (value < 25 || maximum <= 20) return 20;
    return 30;
}

int COptionsWindow::TakeClosed() {
    const int closed = m_closed ? 1 : 0;
    m_closed = 0;
    return closed;
}

int COptionsWindow::SaveWhenClosed() {
    if (!TakeClosed()) return 0;
    // Options that were never loaded have no key to be saved under.
    if (const COptions* o = Options(); o && o->loaded) o->SaveOptions();
    return 1;
}

int COptionsWindow::PairOf(const CUiObject* control, int* group) const {
    for (const Pair& p : kPairs) {
        if (control != Check(p.first) && control != Check(p.second)) continue;
        *group = p.group;
        return control == Check(p.first) ? p.second : p.first;
    }
    return -1;
}

CUiObject* COptionsWindow::ProcessInput(float dt, CZEMDXInput& input) {
    CUiObject* took = CUiWindow::ProcessInput(dt, input);
    if (!m_sliders[0] || HasFlags(UI_HIDDEN)) return took;
    // Each group at most once a frame, whichever of its sliders moved.
    bool moved[3] = {};
    for (int i = 0; i < kSliders; ++i)
        if (Slider(i)->Value() != m_applied[static_cast<size_t>(i)]) moved[kSliderSpecs[i].group] = true;
    for (int g = 0; g < 3; ++g)
        if (moved[g]) ApplyGroup(g);
    return took;
}

void COptionsWindow::OnLButtonClick(CUiObject* control) {
    if (!control || !m_sliders[0]) return CUiWindow::OnLButtonClick(control);
    int group = -1;
    if (const int other = PairOf(control, &group); other >= 0) {
        Check(other)->SetChecked(false);
        Check(other)->ClearFlags(kOfferedBit);
        control->AddFlags(kOfferedBit);
        ApplyGroup(group);
    } else if (control == Slider(SLIDER_VIDEO2) || control == Slider(SLIDER_VIDEO3) ||
               control == Slider(SLIDER_VIDEO4)) {
        auto* slider = static_cast<CUiSlider*>(control);
        const int index = control == Slider(SLIDER_VIDEO2) ? SLIDER_VIDEO2
                          : control == Slider(SLIDER_VIDEO3) ? SLIDER_VIDEO3
                                                             : SLIDER_VIDEO4;
        slider->SetPosition(SnapStep(slider->Value(), kSliderSpecs[index].maximum));
        ApplyGroup(GROUP_VIDEO);
    } else if (control == m_close) {
        if (g_pUiManager)
            g_pUiManager->ShowWindow(this, false);
        else
            AddFlags(UI_HIDDEN);
        m_closed = 1;
    } else if (control == m_default) {
        if (COptions* o = Options()) o->SetDefaults();
        RefreshFromOptions();
        for (int g : {GROUP_GAME, GROUP_SOUND, GROUP_VIDEO}) ApplyGroup(g);
    }
    CUiWindow::OnLButtonClick(control);
}
