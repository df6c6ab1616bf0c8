// Drawing the default skin: window chrome, control faces, the lighting panel's bitmaps.
#pragma once

#include <QImage>
#include <QPainterPath>

#include "skin_model.h"

namespace vornak::skingen {

// The window's outline; the mask is this path filled, the pictures are drawn inside it.
QPainterPath WindowOutline(const Dialog& dialog);

// Every picture is drawn in window pixels; at scale 2 the image has twice as many pixels each way (and a
// device pixel ratio of 2), so lines and text are drawn sharp for the screen rather than stretched.

// The dialog's background (picture == nullptr) or one of its state pictures.
QImage RenderPicture(const SkinModel& model, const Dialog& dialog, const Picture* picture, int scale = 1);
// Black where the window is, white where it is cut away.
QImage RenderMask(const Dialog& dialog, int scale = 1);
QImage RenderBitmap(const Bitmap& bitmap, int scale = 1);
// The arrow frames, each on the part of the background its arrow covers (a background of the same scale).
QImage RenderArrowSheet(const SkinModel& model, const QImage& mainBackground, int scale = 1);

}  // namespace vornak::skingen
