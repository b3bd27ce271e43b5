// The rich text label: the association prompt as it shows at start-up, and labels that use every
// inline code, the alignments and the disabled look.
#include <QWidget>

#include "gallery.h"
#include "pluslabel.h"

namespace {
QFont dialogFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    return font;
}

void setUp(TPlusLabel &label, QRect geometry)
{
    label.setAutoSize(false);
    label.setFont(dialogFont());
    label.setAltFont(dialogFont());
    label.setGeometry(geometry);
    label.setWordWrap(true);
}

// The dialog's client area with the label where the prompt has it.
QImage renderPrompt()
{
    QWidget dialog;
    dialog.resize(377, 132);
    auto *label = new TPlusLabel(&dialog);
    setUp(*label, {6, 10, 275, 75});
    label->setLineHeight(13);
    label->setCaption(QStringLiteral(
        "For full access to NorlPlayer's shell interface, NorlPlayer must be properly associated "
        "with MP3 files. However, NorlPlayer is not currently associated with MP3 files.\r\n\r\n"
        "\x02"
        "Associate NorlPlayer with MP3 files now?\x02\r\n"));
    return dialog.grab().toImage();
}

QImage renderCodes()
{
    TPlusLabel label;
    setUp(label, {0, 0, 300, 190});
    label.setColor(Qt::white);
    label.setBorderStyle(TPlusLabel::bsSingle);
    label.setLeftMargin(4);
    label.setRightMargin(4);
    label.setJustified(true);
    label.setHighlightColor(QColor(176, 0, 0));
    label.setHighlightBackgnd(QColor(255, 236, 140));
    QFont alt(QStringLiteral("Liberation Serif"));
    alt.setPixelSize(14);
    label.setAltFont(alt);
    label.setCaption(QStringLiteral("\x02"
                                    "Bold\x02, \x01italic\x01, \x15underlined\x15, "
                                    "\x03highlighted\x03, \x04"
                                    "alternate font\x04 and in\x02si\x02"
                                    "de one word.\r\n"
                                    "Name:\tNorlPlayer\r\n"
                                    "Version:\t1.5\r\n"
                                    "\x03Tab\tgap\x03 filled while highlighting\r\n"
                                    "Rule\x10 text after a rule is hidden\r\n"
                                    "Justified text spreads the blanks of every wrapped line to "
                                    "the full width; the last line of a paragraph stays as it "
                                    "is.\r\n"
                                    "&Accelerator and an under\x15lin\x15"
                                    "e inside a word"));
    return label.grab().toImage();
}

QImage renderNoBackground()
{
    TPlusLabel label;
    setUp(label, {0, 0, 300, 20});
    label.setColor(Qt::white);
    label.setHighlightColor(QColor(0, 0, 176));
    label.setCaption(QStringLiteral("Highlighted \x03without a background\x03 (black)"));
    return label.grab().toImage();
}

QImage renderPlaced(TPlusLabel::TAlignment alignment, TPlusLabel::TTextLayout layout, bool enabled)
{
    TPlusLabel label;
    setUp(label, {0, 0, 200, 70});
    label.setColor(Qt::white);
    label.setBorderStyle(TPlusLabel::bsSingle);
    label.setAlignment(alignment);
    label.setTextLayout(layout);
    label.setEnabled(enabled);
    label.setCaption(QStringLiteral("Lines placed by the alignment\r\nand the \x02layout\x02."));
    return label.grab().toImage();
}

GalleryRegistration registration({
    {"pluslabel-association-prompt", renderPrompt},
    {"pluslabel-codes", renderCodes},
    {"pluslabel-highlight-no-background", renderNoBackground},
    {"pluslabel-right-bottom",
     [] { return renderPlaced(TPlusLabel::taRightJustify, TPlusLabel::tlBottom, true); }},
    {"pluslabel-centre-centre-disabled",
     [] { return renderPlaced(TPlusLabel::taCenter, TPlusLabel::tlCenter, false); }},
});
} // namespace
