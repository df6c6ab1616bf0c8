// What the painter's parts share: fonts, gradients, rounded shapes, fitted text, the glyphs, and the faces of
// the controls.
#pragma once

#include <QBrush>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "skin_model.h"

namespace vornak::skingen {

QFont UiFont(double pixels, QFont::Weight weight = QFont::Normal, double spacing = 0);
QColor Alpha(QColor c, int alpha);
QLinearGradient Vertical(const QRectF& r, QColor top, QColor bottom);
// A rectangle with its left and right corners rounded by their own radii (segmented buttons, tabs).
QPainterPath Rounded(const QRectF& r, double topLeft, double topRight, double bottomRight, double bottomLeft);
// An invalid pen colour draws no outline.
void FillPath(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& pen, double width = 1);
void RoundRect(QPainter& p, const QRectF& r, double radius, const QBrush& fill, const QColor& pen,
               double width = 1);
// Text centred in a box, shrunk until it fits its width.
void FittedText(QPainter& p, const QRectF& box, const QString& text, double pixels, QFont::Weight weight,
                QColor colour, int flags = Qt::AlignCenter, bool condensed = false);

// Glyphs: simple strokes on a square box.
void Chevron(QPainter& p, QPointF c, double size, double angle, QColor colour, double width);
void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, QColor colour, double stroke = 1.8);

// The face of an image button in one look (faces.cpp).
void DrawFace(QPainter& p, const SkinModel& model, const Control& c, Look look, const Picture* picture);
// A recessed field under a control the program makes (combo boxes, edits, lists).
void Field(QPainter& p, const QRect& rect, bool dropDown);
// The title badge of a small dialog.
void Badge(QPainter& p, const QRectF& r, Glyph glyph);

}  // namespace vornak::skingen
