#include "world/HeroClassRules.h"

float GrowthFactor(uint32_t heroClass, uint32_t attribute, uint32_t level) {
    if (attribute > 2) return 0.0f;
    float g = 0.0f;
    if (heroClass <= 4) g = heroClass == 3 && attribute == 1 ? 0.0f : 0.1f;
    return 1.0f + g * (static_cast<float>(level) - 1.0f);
}

float DerivedStat(uint32_t heroClass, uint32_t stat, float a0, float a1, float a2) {
    if (heroClass > 4 || stat < 3 || stat > 12) return 0.0f;
    const uint32_t c = heroClass;
    switch (stat) {
        case 3: {
            const float factor[5] = {1.5f, 1.5f, 2.0f, 5.0f, 2.0f};
            const float attr[5] = {a0, a1, a2, a0, a0};
            return factor[c] * attr[c];
        }
        case 4: {
            const float factor[5] = {0.5f, 0.5f, 0.5f, 1.0f, 0.4f};
            return factor[c] * a0;
        }
        case 5: {
            const float factor[5] = {20.0f, 20.0f, 20.0f, 150.0f, 25.0f};
            return factor[c] * a0;
        }
        case 6: return 10.0f * a2;
        case 7: {
            const float divisor[5] = {20.0f, 20.0f, 20.0f, 3.0f, 10.0f};
            return a0 / divisor[c];
        }
        case 8: {
            const float divisor[5] = {20.0f, 20.0f, 20.0f, 3.0f, 10.0f};
            return a2 / divisor[c];
        }
        case 9: return c == 3 ? 2.5f : 0.0f;
        case 10: {
            const float factor[5] = {0.3f, 0.36f, 0.28f, 0.0f, 0.0f};
            return c == 3 ? 0.3f : factor[c] * a0;
        }
        case 11: return 0.1f * a2;
        default: return 0.1f * a1;  // 12
    }
}

std::pair<float, float> SplitSpan(float a, float b, float c, float d) {
    if (a + c <= d) return {c, d - c != 0.0f ? a * b / (d - c) : 0.0f};
    if (a < d) return {d - a, b};
    return {0.0f, d != 0.0f ? a / d * b : 0.0f};
}
