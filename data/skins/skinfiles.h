// What a skin folder holds: the pictures drawn for a theme, their file names and the skin file.
#pragma once

#include <QByteArray>
#include <QImage>
#include <array>

#include "skinlayout.h"
#include "skintheme.h"

struct SkinPictures {
    QImage background;
    std::array<QImage, 5> transport; // in SkinLayout::Transport order
    QImage progressThumb, volumeThumb, priorityThumb;
};

SkinPictures drawPictures(const SkinTheme &theme);

// File names in the skin folder.
QString transportFileName(SkinLayout::Transport button);
inline const QString BackgroundFile = QStringLiteral("background.bmp");
inline const QString ProgressThumbFile = QStringLiteral("progress.bmp");
inline const QString VolumeThumbFile = QStringLiteral("volume.bmp");
inline const QString PriorityThumbFile = QStringLiteral("priority.bmp");

// The text of <name>.sk.
QByteArray skinFileText(const SkinTheme &theme);
