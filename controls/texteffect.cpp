#include "texteffect.h"

#include <algorithm>

QList<TextLayer> textEffectLayers(const TextEffect &effect, QColor background)
{
    const int light = std::max(0, effect.lightDepth);
    const int shadow = std::max(0, effect.shadowDepth);
    const QPoint aboveLeftLight(-light, -light), belowRightLight(light, light);
    const QPoint aboveLeftShadow(-shadow, -shadow), belowRightShadow(shadow, shadow);
    const bool parentShades =
        effect.style == TextEffect::tdPColorSunken || effect.style == TextEffect::tdPColorRaised;
    const QColor lightColor = parentShades ? background.lighter(150) : effect.lightColor;
    const QColor shadowColor = parentShades ? background.darker(150) : effect.shadowColor;

    switch (effect.style) {
    case TextEffect::tdNone:
        break;
    case TextEffect::tdSunken:
    case TextEffect::tdPColorSunken:
        return {{aboveLeftShadow, shadowColor}, {belowRightLight, lightColor}};
    case TextEffect::tdRaised:
    case TextEffect::tdPColorRaised:
        return {{aboveLeftLight, lightColor}, {belowRightShadow, shadowColor}};
    case TextEffect::tdSunkenShadow:
        return {{belowRightLight, lightColor}};
    case TextEffect::tdRaisedShadow:
        return {{aboveLeftLight, lightColor}};
    case TextEffect::tdShadow:
        return {{belowRightShadow, shadowColor}};
    }
    return {};
}
