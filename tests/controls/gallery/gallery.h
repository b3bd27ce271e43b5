// The control gallery: each control's file registers the pictures it renders.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

struct GalleryEntry {
    QString name; // the PNG's file name without extension
    std::function<QImage()> render;
};

// Adds entries at static-initialisation time: `static GalleryRegistration r({{...}, ...});`
struct GalleryRegistration {
    explicit GalleryRegistration(std::vector<GalleryEntry> entries);
};
