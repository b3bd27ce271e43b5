#include "skinfiles.h"

#include "skinbackground.h"
#include "skinglyphs.h"

using namespace SkinLayout;

SkinPictures drawPictures(const SkinTheme &theme)
{
    SkinPictures pictures;
    pictures.background = paintBackground(theme);
    for (int index = Previous; index <= Next; ++index)
        pictures.transport[size_t(index)] = transportGlyphStrip(theme, Transport(index));
    pictures.progressThumb = thumbStrip(theme, ThumbKind::Progress);
    pictures.volumeThumb = thumbStrip(theme, ThumbKind::Volume);
    pictures.priorityThumb = thumbStrip(theme, ThumbKind::Priority);
    return pictures;
}

QString transportFileName(Transport button)
{
    static const char *const names[] = {"previous.bmp", "play.bmp", "pause.bmp", "stop.bmp",
                                        "next.bmp"};
    return QLatin1String(names[button]);
}

// The reader dresses the priority bar with VolumeThumb and the volume bar with PriorityThumb, so
// each of those keys names the picture drawn for the other bar.
QByteArray skinFileText(const SkinTheme &theme)
{
    QString text;
    text += QStringLiteral("; NorlPlayer skin \"%1\", drawn by make-skins.\n").arg(theme.name);
    text +=
        QStringLiteral("; VolumeThumb dresses the priority bar, PriorityThumb the volume bar.\n");
    text += QStringLiteral("[Skin]\n");
    const auto line = [&text](const char *key, const QString &value) {
        text += QLatin1String(key) + QLatin1Char('=') + value + QLatin1Char('\n');
    };
    line("Background", BackgroundFile);
    line("FlatButtons", QString::number(theme.flatButtons ? 1 : 0));
    line("PlayButton", transportFileName(Play));
    line("PauseButton", transportFileName(Pause));
    line("StopButton", transportFileName(Stop));
    line("NextButton", transportFileName(Next));
    line("PreviousButton", transportFileName(Previous));
    line("Song List Font", theme.fontFamily);
    line("ForeColor", foreColorText(theme));
    line("ProgressThumb", ProgressThumbFile);
    line("VolumeThumb", PriorityThumbFile);
    line("PriorityThumb", VolumeThumbFile);
    return text.toUtf8();
}
