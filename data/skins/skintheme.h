// The colours, face and outline of one shipped skin. Everything the generator draws is derived
// from these values.
#pragma once

#include <QColor>
#include <QString>
#include <vector>

enum class CornerStyle { Round, Chamfer };
enum class Surface { Gloss, Brushed, Wood };

// How the skin file writes its text colour: the reader takes all three forms.
enum class ColourNotation { Decimal, HexWithZeroX, HexWithDollar };

struct SkinTheme {
    QString name; // folder, skin file and display name

    // Window outline: the body's corners; the footer plate under the list, narrower than the
    // body by `footerInset` on each side (0 keeps the body's width); notches of `notchDepth`
    // cut into both sides beside the transport buttons; the top edge rising by `dome` towards
    // the middle.
    CornerStyle corners = CornerStyle::Round;
    int cornerSize = 10;
    int footerInset = 0;
    int notchDepth = 0;
    int dome = 0;

    Surface surface = Surface::Gloss;
    QColor bodyTop, bodyBottom; // vertical shading of the body
    QColor grain;               // streaks of the surface's texture
    QColor rimDark, rimLight;   // outer edge and its inner bevel
    QColor trim;                // engraved name and lines
    QColor screen;              // face behind the time display and the song text
    QColor listFace;            // face behind the playlist
    QColor panelFace;           // face behind the labels and bars
    QColor strip;               // transport buttons' face; also the menu buttons' colour

    QColor text; // the skin's text colour (ForeColor)
    ColourNotation notation = ColourNotation::Decimal;
    QString fontFamily;

    QColor symbol;         // transport symbols, normal
    QColor symbolDisabled; // and greyed
    QColor symbolHover;
    QColor symbolDown; // latched down; lit
    QColor thumbFace;
    QColor thumbLit; // the pressed (and disabled) thumb's accent

    bool flatButtons = true;
};

// The three skins shipped with the program; the first is the default.
const std::vector<SkinTheme> &shippedThemes();

// The colour as the skin file holds it: red in the low byte, green, then blue.
quint32 windowsColour(QColor colour);
// The ForeColor value in the theme's notation.
QString foreColorText(const SkinTheme &theme);
