// Raised, sunken and shadowed text: shifted copies of the text in a light and a shadow colour,
// drawn before the text itself.
#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>

struct TextEffect {
    Q_GADGET
    Q_PROPERTY(TextStyle Style MEMBER style)
    Q_PROPERTY(QColor LightColor MEMBER lightColor)
    Q_PROPERTY(QColor ShadowColor MEMBER shadowColor)
    Q_PROPERTY(int LightDepth MEMBER lightDepth)
    Q_PROPERTY(int ShadowDepth MEMBER shadowDepth)
public:
    enum TextStyle {
        tdNone,
        tdSunken,       // shadow above left, light below right
        tdRaised,       // light above left, shadow below right
        tdSunkenShadow, // the light edge below right only
        tdRaisedShadow, // the light edge above left only
        tdPColorSunken, // as tdSunken, in shades of the colour behind the text
        tdPColorRaised, // as tdRaised, in shades of the colour behind the text
        tdShadow        // a drop shadow below right
    };
    Q_ENUM(TextStyle)

    TextStyle style = tdNone;
    QColor lightColor = Qt::white;
    QColor shadowColor = Qt::gray;
    int lightDepth = 1;
    int shadowDepth = 1;

    friend bool operator==(const TextEffect &, const TextEffect &) = default;
};

struct TextLayer {
    QPoint offset;
    QColor color;

    friend bool operator==(const TextLayer &, const TextLayer &) = default;
};

// The copies to draw under the text, in drawing order. `background` is the colour the text
// stands on, used by the tdPColor styles. Negative depths count as 0.
QList<TextLayer> textEffectLayers(const TextEffect &effect, QColor background);
