// Drawing the default skin: window chrome, control faces, the lighting panel's bitmaps.
#pragma once

#include <QImage>
#include <QPainterPath>

#include "skin_model.h"

namespace vornak::skingen {

// The window's outline; the mask is this path filled, the pictures are drawn inside it.
QPainterPath WindowOutline(const Dialog& dialog);

// The dialog's background (picture == nullptr) or one of its state pictures.
QImage RenderPicture(const SkinModel& model, const Dialog& dialog, const Picture* picture);
// Black where the window is, white where it is cut away.
QImage RenderMask(const Dialog& dialog);
QImage RenderBitmap(const Bitmap& bitmap);
// The arrow frames, each on the part of the background its arrow covers.
QImage RenderArrowSheet(const SkinModel& model, const QImage& mainBackground);

}  // namespace vornak::skingen
