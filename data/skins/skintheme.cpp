#include "skintheme.h"

namespace {

const SkinTheme Blue{
    .name = QStringLiteral("blue"),
    .corners = CornerStyle::Round,
    .cornerSize = 11,
    .footerInset = 12,
    .surface = Surface::Gloss,
    .bodyTop = QColor(40, 74, 138),
    .bodyBottom = QColor(16, 34, 80),
    .grain = QColor(70, 110, 180),
    .rimDark = QColor(4, 10, 26),
    .rimLight = QColor(120, 160, 220),
    .trim = QColor(150, 186, 236),
    .screen = QColor(4, 14, 34),
    .listFace = QColor(10, 26, 58),
    .panelFace = QColor(14, 34, 74),
    .strip = QColor(22, 46, 98),
    .text = QColor(120, 212, 255),
    .notation = ColourNotation::Decimal,
    .fontFamily = QStringLiteral("Liberation Sans"),
    .symbol = QColor(196, 228, 254),
    .symbolDisabled = QColor(70, 98, 150),
    .symbolHover = QColor(254, 254, 254),
    .symbolDown = QColor(110, 220, 254),
    .thumbFace = QColor(196, 212, 236),
    .thumbLit = QColor(110, 210, 254),
};

const SkinTheme Graphite{
    .name = QStringLiteral("graphite"),
    .corners = CornerStyle::Chamfer,
    .cornerSize = 9,
    .notchDepth = 3,
    .surface = Surface::Brushed,
    .bodyTop = QColor(72, 76, 82),
    .bodyBottom = QColor(34, 36, 40),
    .grain = QColor(96, 100, 108),
    .rimDark = QColor(8, 9, 10),
    .rimLight = QColor(150, 156, 164),
    .trim = QColor(170, 178, 186),
    .screen = QColor(10, 16, 18),
    .listFace = QColor(22, 26, 29),
    .panelFace = QColor(30, 33, 37),
    .strip = QColor(46, 49, 54),
    .text = QColor(92, 232, 204),
    .notation = ColourNotation::HexWithZeroX,
    .fontFamily = QStringLiteral("Liberation Sans Narrow"),
    .symbol = QColor(214, 222, 228),
    .symbolDisabled = QColor(88, 92, 98),
    .symbolHover = QColor(254, 254, 254),
    .symbolDown = QColor(92, 240, 210),
    .thumbFace = QColor(184, 190, 198),
    .thumbLit = QColor(92, 232, 204),
    .flatButtons = false, // hardware keys
};

const SkinTheme Amber{
    .name = QStringLiteral("amber"),
    .corners = CornerStyle::Round,
    .cornerSize = 18,
    .dome = 5,
    .surface = Surface::Wood,
    .bodyTop = QColor(112, 64, 32),
    .bodyBottom = QColor(52, 26, 12),
    .grain = QColor(140, 84, 44),
    .rimDark = QColor(24, 10, 4),
    .rimLight = QColor(222, 160, 96),
    .trim = QColor(236, 180, 110),
    .screen = QColor(26, 12, 4),
    .listFace = QColor(40, 20, 9),
    .panelFace = QColor(50, 26, 12),
    .strip = QColor(76, 42, 20),
    .text = QColor(255, 182, 64),
    .notation = ColourNotation::HexWithDollar,
    .fontFamily = QStringLiteral("Liberation Serif"),
    .symbol = QColor(250, 214, 160),
    .symbolDisabled = QColor(120, 80, 50),
    .symbolHover = QColor(254, 240, 210),
    .symbolDown = QColor(255, 190, 70),
    .thumbFace = QColor(226, 184, 130),
    .thumbLit = QColor(255, 176, 56),
};

} // namespace

const std::vector<SkinTheme> &shippedThemes()
{
    static const std::vector<SkinTheme> themes{Blue, Graphite, Amber};
    return themes;
}

quint32 windowsColour(QColor colour)
{
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

QString foreColorText(const SkinTheme &theme)
{
    const quint32 value = windowsColour(theme.text);
    const QString hex = QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
    switch (theme.notation) {
    case ColourNotation::HexWithZeroX:
        return QStringLiteral("0x") + hex;
    case ColourNotation::HexWithDollar:
        return QStringLiteral("$") + hex;
    case ColourNotation::Decimal:
        break;
    }
    return QString::number(value);
}
