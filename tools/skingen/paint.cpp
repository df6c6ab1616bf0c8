#include "paint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace vornak::skingen {

namespace {

using namespace palette;

QFont UiFont(double pixels, QFont::Weight weight = QFont::Normal, double spacing = 0) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    f.setWeight(weight);
    if (spacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QColor Alpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QLinearGradient Vertical(const QRectF& r, QColor top, QColor bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// A rectangle with its left and right corners rounded by their own radii (segmented buttons, tabs).
QPainterPath Rounded(const QRectF& r, double topLeft, double topRight, double bottomRight,
                     double bottomLeft) {
    QPainterPath p;
    p.moveTo(r.left() + topLeft, r.top());
    p.lineTo(r.right() - topRight, r.top());
    if (topRight > 0) p.arcTo(r.right() - 2 * topRight, r.top(), 2 * topRight, 2 * topRight, 90, -90);
    p.lineTo(r.right(), r.bottom() - bottomRight);
    if (bottomRight > 0)
        p.arcTo(r.right() - 2 * bottomRight, r.bottom() - 2 * bottomRight, 2 * bottomRight, 2 * bottomRight,
                0, -90);
    p.lineTo(r.left() + bottomLeft, r.bottom());
    if (bottomLeft > 0)
        p.arcTo(r.left(), r.bottom() - 2 * bottomLeft, 2 * bottomLeft, 2 * bottomLeft, 270, -90);
    p.lineTo(r.left(), r.top() + topLeft);
    if (topLeft > 0) p.arcTo(r.left(), r.top(), 2 * topLeft, 2 * topLeft, 180, -90);
    p.closeSubpath();
    return p;
}

void FillPath(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& pen,
              double width = 1) {
    p.setBrush(fill);
    p.setPen(pen.isValid() ? QPen(pen, width) : QPen(Qt::NoPen));
    p.drawPath(path);
}

void RoundRect(QPainter& p, const QRectF& r, double radius, const QBrush& fill, const QColor& pen,
               double width = 1) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    FillPath(p, path, fill, pen, width);
}

// Text centred in a box, shrunk until it fits its width.
void FittedText(QPainter& p, const QRectF& box, const QString& text, double pixels, QFont::Weight weight,
                QColor colour, int flags = Qt::AlignCenter, bool condensed = false) {
    if (text.isEmpty()) return;
    QFont font = UiFont(pixels, weight);
    for (double size = pixels; size > 6; size -= 0.5) {
        font = UiFont(size, weight);
        if (condensed) font.setFamily(QStringLiteral("DejaVu Sans Condensed"));
        const QRectF need = QFontMetricsF(font).boundingRect(box, flags, text);
        if (need.width() <= box.width() && need.height() <= box.height()) break;
    }
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, flags, text);
}

// ---- Glyphs: simple strokes on a square box.

void Chevron(QPainter& p, QPointF c, double size, double angle, QColor colour, double width) {
    p.save();
    p.translate(c);
    p.rotate(angle);
    QPainterPath path;
    path.moveTo(-size * 0.35, -size * 0.6);
    path.lineTo(size * 0.35, 0);
    path.lineTo(-size * 0.35, size * 0.6);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, QColor colour, double stroke = 1.8) {
    const QPointF c = box.center();
    const double s = std::min(box.width(), box.height());
    QPen pen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.save();
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
        case Glyph::Close: {
            const double d = s * 0.22;
            p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
            p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
            break;
        }
        case Glyph::Minimize:
            p.drawLine(c + QPointF(-s * 0.22, s * 0.12), c + QPointF(s * 0.22, s * 0.12));
            break;
        case Glyph::Help: {
            p.setPen(colour);
            p.setFont(UiFont(s * 0.55, QFont::Bold));
            p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case Glyph::Menu:
            for (int i = -1; i <= 1; ++i)
                p.drawLine(c + QPointF(-s * 0.22, i * s * 0.16), c + QPointF(s * 0.22, i * s * 0.16));
            break;
        case Glyph::Link: {
            const double r = s * 0.26;
            p.setPen(QPen(colour, stroke * 0.8));
            p.drawEllipse(c, r, r);
            p.drawEllipse(c, r * 0.45, r);
            p.drawLine(c + QPointF(-r, 0), c + QPointF(r, 0));
            p.drawLine(c + QPointF(-r * 0.85, -r * 0.5), c + QPointF(r * 0.85, -r * 0.5));
            p.drawLine(c + QPointF(-r * 0.85, r * 0.5), c + QPointF(r * 0.85, r * 0.5));
            break;
        }
        case Glyph::Keyboard: {
            const QRectF k(c.x() - s * 0.3, c.y() - s * 0.18, s * 0.6, s * 0.36);
            p.setPen(QPen(colour, stroke * 0.8));
            p.drawRoundedRect(k, 2, 2);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            for (int row = 0; row < 2; ++row) {
                for (int i = 0; i < 5; ++i) {
                    p.drawRect(QRectF(k.left() + 2.5 + i * (k.width() - 5) / 5, k.top() + 2.5 + row * 3.2,
                                      1.8, 1.8));
                }
            }
            p.drawRect(QRectF(k.left() + k.width() * 0.28, k.bottom() - 3.6, k.width() * 0.44, 1.6));
            break;
        }
        case Glyph::Eraser: {
            // A turning arrow: "back to how it was".
            const double r = s * 0.22;
            const QRectF arc(c.x() - r, c.y() - r, 2 * r, 2 * r);
            p.drawArc(arc, 60 * 16, 280 * 16);
            const QPointF tip = c + QPointF(r * std::cos(M_PI / 3), -r * std::sin(M_PI / 3));
            p.drawLine(tip, tip + QPointF(-s * 0.12, -s * 0.03));
            p.drawLine(tip, tip + QPointF(-s * 0.01, s * 0.12));
            break;
        }
        case Glyph::Plus:
            p.drawLine(c + QPointF(-s * 0.2, 0), c + QPointF(s * 0.2, 0));
            p.drawLine(c + QPointF(0, -s * 0.2), c + QPointF(0, s * 0.2));
            break;
        case Glyph::Minus:
            p.drawLine(c + QPointF(-s * 0.2, 0), c + QPointF(s * 0.2, 0));
            break;
        case Glyph::Swap: {
            const double d = s * 0.2;
            p.drawLine(c + QPointF(-d, -d * 0.5), c + QPointF(d, -d * 0.5));
            p.drawLine(c + QPointF(d, -d * 0.5), c + QPointF(d * 0.45, -d * 1.05));
            p.drawLine(c + QPointF(d, d * 0.5), c + QPointF(-d, d * 0.5));
            p.drawLine(c + QPointF(-d, d * 0.5), c + QPointF(-d * 0.45, d * 1.05));
            break;
        }
        case Glyph::Dot:
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawEllipse(c, s * 0.12, s * 0.12);
            break;
        case Glyph::Left:
            Chevron(p, c, s * 0.4, 180, colour, stroke);
            break;
        case Glyph::Right:
            Chevron(p, c, s * 0.4, 0, colour, stroke);
            break;
        case Glyph::Keycap: {
            const QRectF outer(c.x() - s * 0.3, c.y() - s * 0.3, s * 0.6, s * 0.6);
            p.drawRoundedRect(outer, 3, 3);
            p.drawRoundedRect(outer.adjusted(s * 0.1, s * 0.07, -s * 0.1, -s * 0.16), 2, 2);
            break;
        }
        case Glyph::Macro: {
            for (int i = 0; i < 3; ++i) {
                const double y = c.y() - s * 0.18 + i * s * 0.18;
                p.drawLine(QPointF(c.x() - s * 0.28, y), QPointF(c.x() + s * (i == 2 ? -0.02 : 0.12), y));
            }
            QPainterPath play;
            play.moveTo(c.x() + s * 0.08, c.y() + s * 0.06);
            play.lineTo(c.x() + s * 0.3, c.y() + s * 0.2);
            play.lineTo(c.x() + s * 0.08, c.y() + s * 0.34);
            play.closeSubpath();
            p.setBrush(colour);
            p.drawPath(play);
            break;
        }
        case Glyph::Layers: {
            p.setPen(QPen(colour, stroke * 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            for (int i = 2; i >= 0; --i) {
                const double y = c.y() - s * 0.12 + i * s * 0.12;
                QPainterPath d;
                d.moveTo(c.x(), y - s * 0.14);
                d.lineTo(c.x() + s * 0.28, y);
                d.lineTo(c.x(), y + s * 0.14);
                d.lineTo(c.x() - s * 0.28, y);
                d.closeSubpath();
                p.setBrush(i == 0 ? QBrush(Alpha(colour, 90)) : QBrush(Qt::NoBrush));
                p.drawPath(d);
            }
            break;
        }
        case Glyph::Chip: {
            const QRectF body(c.x() - s * 0.22, c.y() - s * 0.22, s * 0.44, s * 0.44);
            p.setPen(QPen(colour, stroke * 0.8));
            p.drawRoundedRect(body, 2, 2);
            for (int i = 0; i < 3; ++i) {
                const double t = body.left() + body.width() * (0.25 + 0.25 * i);
                p.drawLine(QPointF(t, body.top() - s * 0.08), QPointF(t, body.top()));
                p.drawLine(QPointF(t, body.bottom()), QPointF(t, body.bottom() + s * 0.08));
                const double u = body.top() + body.height() * (0.25 + 0.25 * i);
                p.drawLine(QPointF(body.left() - s * 0.08, u), QPointF(body.left(), u));
                p.drawLine(QPointF(body.right(), u), QPointF(body.right() + s * 0.08, u));
            }
            Chevron(p, c + QPointF(0, s * 0.02), s * 0.2, -90, colour, stroke);
            break;
        }
        case Glyph::None:
            break;
    }
    p.restore();
}

// ---- Faces.

struct CapColours {
    QColor skirtTop, skirtBottom, edge, faceTop, faceBottom, legend;
};

void KeyCapFace(QPainter& p, const Control& c, Look look, bool colourMode) {
    const QRectF r = QRectF(c.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool macroKey = c.key.rfind("FUNC_G", 0) == 0;
    CapColours k{QColor(0x23, 0x26, 0x2d),
                 QColor(0x12, 0x14, 0x18),
                 QColor(0x30, 0x34, 0x3d),
                 macroKey ? QColor(0x2c, 0x35, 0x43) : QColor(0x34, 0x38, 0x41),
                 macroKey ? QColor(0x23, 0x2b, 0x37) : QColor(0x28, 0x2b, 0x32),
                 kText};
    if (colourMode) {
        k.faceTop = QColor(0x4f, 0x54, 0x5f);
        k.faceBottom = QColor(0x40, 0x44, 0x4e);
        k.legend = QColor(0xdd, 0xe1, 0xe7);
    }
    QRectF face = r.adjusted(3, 2, -3, -5);
    double edgeWidth = 1;
    switch (look) {
        case Look::Over:
            k.skirtTop = QColor(0x12, 0x3a, 0x44);
            k.skirtBottom = QColor(0x0b, 0x22, 0x29);
            k.edge = colourMode ? QColor(Qt::white) : kAccent;
            k.faceTop = k.faceTop.lighter(118);
            k.faceBottom = k.faceBottom.lighter(118);
            k.legend = colourMode ? QColor(Qt::white) : kAccentLight;
            edgeWidth = 1.6;
            break;
        case Look::Down:
            k.skirtTop = QColor(0x0c, 0x1c, 0x21);
            k.edge = kAccentDeep;
            k.faceTop = QColor(0x1f, 0x23, 0x2a);
            k.faceBottom = QColor(0x25, 0x29, 0x30);
            k.legend = kAccent;
            face = r.adjusted(3, 4, -3, -3);
            edgeWidth = 1.4;
            break;
        case Look::Selected:
            k.edge = kSelect;
            k.legend = kSelectLight;
            edgeWidth = 1.4;
            break;
        case Look::Disabled:
            k = {QColor(0x18, 0x1a, 0x1e), QColor(0x12, 0x14, 0x17), QColor(0x22, 0x25, 0x2a),
                 QColor(0x1f, 0x22, 0x27), QColor(0x1c, 0x1f, 0x23), kTextMuted};
            break;
        case Look::Normal:
            break;
    }
    RoundRect(p, r, 5, Vertical(r, k.skirtTop, k.skirtBottom), k.edge, edgeWidth);
    RoundRect(p, face, 4, Vertical(face, k.faceTop, k.faceBottom), QColor());
    // A faint highlight along the top of the cap.
    p.setPen(QPen(Alpha(Qt::white, look == Look::Disabled ? 8 : 26), 1));
    p.drawLine(QPointF(face.left() + 3, face.top() + 0.5), QPointF(face.right() - 3, face.top() + 0.5));
    if (look == Look::Selected) {
        // An assigned key: an amber bar on the skirt and a dot in the corner.
        p.setPen(Qt::NoPen);
        p.setBrush(kSelect);
        p.drawRoundedRect(QRectF(r.left() + 6, r.bottom() - 3.2, r.width() - 12, 2), 1, 1);
        p.drawEllipse(QPointF(face.right() - 4, face.top() + 4), 1.8, 1.8);
    }
    if (look == Look::Over && !colourMode) {
        QRadialGradient glow(face.center(), std::max(face.width(), face.height()) * 0.7);
        glow.setColorAt(0, Alpha(kAccent, 36));
        glow.setColorAt(1, Alpha(kAccent, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(face, 4, 4);
    }

    const QRectF legendBox = face.adjusted(1, 1, -1, -1);
    const QString& legend = c.legend;
    if (!legend.isEmpty()) {
        double size = 9;
        QFont::Weight weight = QFont::Medium;
        if (legend.size() == 1) {
            size = 13;
            weight = QFont::DemiBold;
        } else if (legend.contains('\n')) {
            size = 8.5;
        } else if (legend.size() <= 3) {
            size = 11;
        } else if (legend.size() <= 5) {
            size = 8.5;
        }
        FittedText(p, legendBox, legend, size, weight, k.legend, Qt::AlignCenter,
                   legend.size() >= 4 && c.rect.width() < 50);
    }
    if (!c.cornerLegend.isEmpty()) {
        // Low in the corner: the program writes the layer's label (A1, B1, ...) in the middle.
        p.setFont(UiFont(7, QFont::DemiBold));
        p.setPen(look == Look::Disabled ? kTextMuted : Alpha(kAccent, look == Look::Normal ? 170 : 255));
        p.drawText(face.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignBottom, c.cornerLegend);
    }
}

void IndicatorFace(QPainter& p, const Control& c, Look look) {
    const bool lit = look == Look::Selected;
    const QRectF r(c.rect);
    auto led = [&](QPointF at, double radius) {
        if (lit) {
            QRadialGradient glow(at, radius * 3);
            glow.setColorAt(0, Alpha(kAccent, 150));
            glow.setColorAt(1, Alpha(kAccent, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(at, radius * 3, radius * 3);
            p.setBrush(kAccentLight);
            p.setPen(QPen(kAccent, 1));
        } else {
            p.setBrush(QColor(0x24, 0x28, 0x2f));
            p.setPen(QPen(QColor(0x3a, 0x3f, 0x49), 1));
        }
        p.drawEllipse(at, radius, radius);
    };
    if (c.key == "LOCK_AB") {
        // The layer lamp is a plate with both letters; the lit one is the active layer.
        const QRectF plate = r.adjusted(0.5, 0.5, -0.5, -0.5);
        RoundRect(p, plate, 5, Vertical(plate, QColor(0x1c, 0x1f, 0x25), QColor(0x15, 0x17, 0x1b)),
                  QColor(0x2c, 0x30, 0x39));
        led(QPointF(plate.center().x(), plate.top() + 8), 2.6);
        const QRectF left(plate.left(), plate.top() + 12, plate.width() / 2, plate.height() - 14);
        const QRectF right(plate.center().x(), plate.top() + 12, plate.width() / 2, plate.height() - 14);
        p.setFont(UiFont(11, QFont::DemiBold));
        p.setPen(lit ? kTextMuted : kText);
        p.drawText(left, Qt::AlignCenter, QStringLiteral("A"));
        p.setPen(lit ? kAccentLight : kTextMuted);
        p.drawText(right, Qt::AlignCenter, QStringLiteral("B"));
        return;
    }
    led(QPointF(r.left() + 7, r.center().y()), 3.2);
    p.setFont(UiFont(8, QFont::DemiBold, 0.6));
    p.setPen(lit ? kText : kTextMuted);
    p.drawText(r.adjusted(15, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, c.legend);
}

struct ButtonColours {
    QColor top, bottom, edge, ink;
};

ButtonColours PlainButton(Look look) {
    switch (look) {
        case Look::Over:
            return {QColor(0x33, 0x38, 0x43), QColor(0x29, 0x2d, 0x35), Alpha(kAccent, 210), kText};
        case Look::Down:
            return {QColor(0x15, 0x18, 0x1d), QColor(0x1c, 0x1f, 0x25), kAccentDeep, kAccent};
        case Look::Selected:
            return {QColor(0x10, 0x41, 0x4d), QColor(0x0b, 0x2f, 0x38), kAccent, kAccentLight};
        case Look::Disabled:
            return {QColor(0x1b, 0x1d, 0x22), QColor(0x18, 0x1a, 0x1e), QColor(0x26, 0x29, 0x30), kTextMuted};
        case Look::Normal:
            break;
    }
    return {QColor(0x2b, 0x2f, 0x37), QColor(0x21, 0x24, 0x2a), QColor(0x3a, 0x3f, 0x49), kTextDim};
}

ButtonColours Primary(Look look) {
    switch (look) {
        case Look::Over:
            return {QColor(0x3c, 0xd6, 0xef), QColor(0x0e, 0xa5, 0xc6), kAccentLight, Qt::white};
        case Look::Down:
            return {QColor(0x08, 0x6f, 0x83), QColor(0x0a, 0x63, 0x75), kAccentDeep, Qt::white};
        case Look::Selected:  // recording
            return {QColor(0xf4, 0x3f, 0x5e), QColor(0xbe, 0x12, 0x3c), QColor(0xfd, 0xa4, 0xaf), Qt::white};
        case Look::Disabled:
            return {QColor(0x24, 0x2e, 0x36), QColor(0x1f, 0x27, 0x2d), QColor(0x2c, 0x38, 0x41), kTextMuted};
        case Look::Normal:
            break;
    }
    return {QColor(0x12, 0xb3, 0xd3), QColor(0x0a, 0x84, 0xa0), Alpha(kAccent, 200), Qt::white};
}

void ButtonFace(QPainter& p, const Control& c, Look look, bool primary) {
    const ButtonColours b = primary ? Primary(look) : PlainButton(look);
    const QRectF r = QRectF(c.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    double left = 6, right = 6;
    if (c.face == Face::Segment) {
        left = c.segment == 0 ? 6 : 0;
        right = c.segment == 2 ? 6 : 0;
    }
    const QPainterPath path = Rounded(r, left, right, right, left);
    FillPath(p, path, Vertical(r, b.top, b.bottom), b.edge);
    if (look != Look::Down && look != Look::Disabled) {
        p.setPen(QPen(Alpha(Qt::white, primary ? 60 : 20), 1));
        p.drawLine(QPointF(r.left() + std::max(left, 3.0), r.top() + 1.5),
                   QPointF(r.right() - std::max(right, 3.0), r.top() + 1.5));
    }
    if (look == Look::Selected && c.face == Face::Segment) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawRect(QRectF(r.left() + 10, r.bottom() - 3, r.width() - 20, 2));
    }
    if (look == Look::Selected && primary) {
        // Recording: a dot before the caption.
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(r.left() + 14, r.center().y()), 4, 4);
    }
    if (c.glyph != Glyph::None) {
        if (r.width() > r.height() * 2) {
            DrawGlyph(p, c.glyph, QRectF(r.left() + 6, r.top(), r.height(), r.height()), b.ink);
        } else {
            DrawGlyph(p, c.glyph, r, b.ink, 2);
        }
    }
    if (!c.legend.isEmpty()) FittedText(p, r, c.legend, 10, QFont::DemiBold, b.ink);
}

void TabFace(QPainter& p, const Control& c, Look look) {
    const QRectF r = QRectF(c.rect).adjusted(0.5, 0.5, -0.5, 0);
    QColor top = QColor(0x18, 0x1b, 0x20), bottom = QColor(0x15, 0x17, 0x1c), edge = QColor(0x26, 0x2a, 0x31);
    if (look == Look::Over) {
        top = QColor(0x20, 0x24, 0x2b);
        bottom = QColor(0x1b, 0x1e, 0x24);
        edge = QColor(0x35, 0x3b, 0x46);
    } else if (look == Look::Down) {
        top = kPage;
        bottom = kPage;
        edge = QColor(0x2f, 0x34, 0x3e);
    } else if (look == Look::Disabled) {
        top = bottom = QColor(0x12, 0x14, 0x17);
        edge = QColor(0x1a, 0x1c, 0x20);
    }
    const QPainterPath path = Rounded(r.adjusted(0, 0, 0, 2), 7, 7, 0, 0);
    FillPath(p, path, Vertical(r, top, bottom), edge);
    if (look == Look::Down) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(r.left() + 8, r.top() + 0.5, r.width() - 16, 2.5), 1, 1);
        // Open towards the page below.
        p.setBrush(kPage);
        p.drawRect(QRectF(r.left() + 1, r.bottom() - 1, r.width() - 2, 3));
    } else if (look == Look::Over) {
        p.setPen(Qt::NoPen);
        p.setBrush(Alpha(kAccent, 110));
        p.drawRoundedRect(QRectF(r.left() + 14, r.top() + 0.5, r.width() - 28, 2), 1, 1);
    }
}

void IconFace(QPainter& p, const Control& c, Look look) {
    const QRectF r = QRectF(c.rect).adjusted(1, 1, -1, -1);
    QColor ink = kTextDim;
    if (look == Look::Over) {
        RoundRect(p, r, 7, c.danger ? QBrush(kDanger) : QBrush(QColor(0x2b, 0x30, 0x3a)),
                  c.danger ? QColor() : QColor(0x3a, 0x40, 0x4b));
        ink = Qt::white;
    } else if (look == Look::Down) {
        RoundRect(p, r, 7, c.danger ? QBrush(kDanger.darker(140)) : QBrush(kAccentDark), QColor());
        ink = Qt::white;
    } else if (look == Look::Disabled) {
        ink = kTextMuted;
    }
    DrawGlyph(p, c.glyph, r, ink, 1.8);
}

void TitleFace(QPainter& p, const Control& c, Look look) {
    const QRectF r = QRectF(c.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool macroTitle = look == Look::Selected;
    RoundRect(p, r, 8, Vertical(r, QColor(0x10, 0x3f, 0x4b), QColor(0x0a, 0x27, 0x30)), Alpha(kAccent, 170));
    DrawGlyph(p, macroTitle ? Glyph::Macro : c.glyph, r, kAccentLight, 1.8);
}

// A recessed field under a control the program makes (combo boxes, edits, lists).
void Field(QPainter& p, const QRect& rect, bool dropDown) {
    const QRectF r = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    RoundRect(p, r, 5, Vertical(r, QColor(0x0a, 0x0c, 0x0f), kField), kFieldBorder);
    if (dropDown) Chevron(p, QPointF(r.right() - 13, r.center().y()), 9, 90, kTextDim, 1.6);
}

void PageFace(QPainter& p, const SkinModel& model, const Control& mask, int page) {
    const QRectF r = QRectF(mask.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    FillPath(p, Rounded(r, 0, 8, 8, 8), QBrush(kPage), QColor(0x2f, 0x34, 0x3e));
    const Dialog& d = DialogOf(model, DialogId::Composite);
    auto field = [&](const char* key, bool dropDown) {
        if (const Control* c = FindControl(d, key)) Field(p, c->rect, dropDown);
    };
    const QColor faint = Alpha(kAccent, 34);
    const QRectF art(r.right() - 150, r.top() + 110, 120, 120);
    switch (page) {
        case 0: {
            field("FUNC_KEY_INPUT", false);
            // A large key cap, drawn in outline.
            p.setPen(QPen(faint, 3));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(art, 18, 18);
            p.drawRoundedRect(art.adjusted(18, 12, -18, -30), 12, 12);
            p.setFont(UiFont(40, QFont::Bold));
            p.setPen(faint);
            p.drawText(art.adjusted(18, 12, -18, -30), Qt::AlignCenter, QStringLiteral("K"));
            break;
        }
        case 1:
            field("FUNC_MACRO_LIST", true);
            field("FUNC_MACRO_LIST2", false);
            field("FUNC_MACRO_CYCLES", false);
            break;
        case 2: {
            field("FUNC_MEDIA_SELECT", true);
            // A note over a sound wave.
            p.setPen(QPen(faint, 4, Qt::SolidLine, Qt::RoundCap));
            for (int i = 0; i < 9; ++i) {
                const double h = 14 + 36 * std::abs(std::sin(i * 0.9));
                const double x = art.left() + i * 14;
                p.drawLine(QPointF(x, art.bottom() - 10 - h / 2), QPointF(x, art.bottom() - 10 + h / 2));
            }
            p.setBrush(faint);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(art.center().x() - 8, art.top() + 44), 12, 9);
            p.setPen(QPen(faint, 4));
            p.drawLine(QPointF(art.center().x() + 3, art.top() + 44),
                       QPointF(art.center().x() + 3, art.top()));
            p.drawLine(QPointF(art.center().x() + 3, art.top()),
                       QPointF(art.center().x() + 24, art.top() + 10));
            break;
        }
        case 3: {
            field("FUNC_FUNCTION_SELECT", true);
            // Two sheets, copy and paste.
            p.setPen(QPen(faint, 3));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(art.left() + 10, art.top() + 4, 66, 86), 8, 8);
            p.drawRoundedRect(QRectF(art.left() + 40, art.top() + 30, 66, 86), 8, 8);
            for (int i = 0; i < 4; ++i) {
                p.drawLine(QPointF(art.left() + 54, art.top() + 52 + i * 14),
                           QPointF(art.left() + 92 - (i == 3 ? 14 : 0), art.top() + 52 + i * 14));
            }
            break;
        }
        default:
            break;
    }
}

void DrawFace(QPainter& p, const SkinModel& model, const Control& c, Look look, const Picture* picture) {
    switch (c.face) {
        case Face::KeyCap:
            KeyCapFace(p, c, look, picture && picture->colourMode);
            break;
        case Face::Indicator:
            IndicatorFace(p, c, look);
            break;
        case Face::TextButton:
        case Face::Segment:
            ButtonFace(p, c, look, false);
            break;
        case Face::PrimaryButton:
            ButtonFace(p, c, look, true);
            break;
        case Face::Tab:
            TabFace(p, c, look);
            break;
        case Face::Icon:
            IconFace(p, c, look);
            break;
        case Face::PageMask:
            PageFace(p, model, c, picture ? picture->page : 0);
            break;
        case Face::Title:
            TitleFace(p, c, look);
            break;
        case Face::Background:
            break;
    }
}

// ---- Chrome.

void Wordmark(QPainter& p, QPointF at, double size, bool withModel) {
    p.setFont(UiFont(size, QFont::Black, size * 0.16));
    p.setPen(kText);
    const QString word = QStringLiteral("VORNAK");
    p.drawText(at, word);
    if (withModel) {
        const double w = QFontMetricsF(p.font()).horizontalAdvance(word);
        p.setFont(UiFont(size * 0.5, QFont::DemiBold, 1.5));
        p.setPen(kAccent);
        p.drawText(at + QPointF(w + 10, 0), QStringLiteral("NIMBREL KX1"));
    }
}

void Badge(QPainter& p, const QRectF& r, Glyph glyph) {
    RoundRect(p, r, 8, Vertical(r, QColor(0x10, 0x3f, 0x4b), QColor(0x0a, 0x27, 0x30)), Alpha(kAccent, 170));
    DrawGlyph(p, glyph, r, kAccentLight, 1.8);
}

void Separator(QPainter& p, double y, double left, double right) {
    p.setPen(QPen(QColor(0x24, 0x28, 0x2f), 1));
    p.drawLine(QPointF(left, y + 0.5), QPointF(right, y + 0.5));
    p.setPen(QPen(QColor(0x0a, 0x0b, 0x0e), 1));
    p.drawLine(QPointF(left, y + 1.5), QPointF(right, y + 1.5));
}

void WindowBody(QPainter& p, const Dialog& d) {
    const QPainterPath outline = WindowOutline(d);
    const QRectF all(QPointF(0, 0), QSizeF(d.size));
    p.fillPath(outline, Vertical(all, kWindowTop, kWindowBottom));
    QRadialGradient glow(QPointF(all.width() * 0.15, 0), all.width() * 0.5);
    glow.setColorAt(0, Alpha(kAccent, 22));
    glow.setColorAt(1, Alpha(kAccent, 0));
    p.fillPath(outline, glow);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBorder, 1.5));
    p.drawPath(outline);
    // The accent stroke along the top-left edge.
    p.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(30, 1), QPointF(150, 1));
}

void MainChrome(QPainter& p, const Dialog& d) {
    const int W = d.size.width();
    Wordmark(p, QPointF(36, 39), 22, true);
    Separator(p, 58, 24, W - 24);

    // Keyboard case with its plate and the brand in the top bezel.
    const QRectF kb(30, 118, 1020, 314);
    RoundRect(p, kb, 14, Vertical(kb, QColor(0x22, 0x26, 0x2d), QColor(0x16, 0x18, 0x1d)),
              QColor(0x31, 0x36, 0x40));
    p.setPen(QPen(Alpha(Qt::white, 18), 1));
    p.drawLine(QPointF(kb.left() + 14, kb.top() + 1.5), QPointF(kb.right() - 14, kb.top() + 1.5));
    QRect keys;
    for (const auto& c : d.controls) {
        if (c.face == Face::KeyCap) keys = keys.isNull() ? c.rect : keys.united(c.rect);
    }
    const QRectF plate = QRectF(keys).adjusted(-8, -8, 8, 8);
    RoundRect(p, plate, 8, Vertical(plate, QColor(0x0b, 0x0c, 0x0f), QColor(0x0e, 0x10, 0x13)),
              QColor(0x08, 0x09, 0x0b));
    p.setFont(UiFont(9, QFont::Bold, 3));
    p.setPen(kTextMuted);
    p.drawText(QPointF(plate.left() + 2, kb.top() + 24), QStringLiteral("NIMBREL"));
    p.setPen(kAccent);
    p.setFont(UiFont(9, QFont::Black, 2));
    p.drawText(QPointF(plate.left() + 82, kb.top() + 24), QStringLiteral("KX1"));

    // Lighting panel: one flat colour, so its bitmaps sit on it seamlessly.
    const QRectF panel(30, 446, 1020, 188);
    RoundRect(p, panel, 12, QBrush(kPanel), QColor(0x27, 0x2b, 0x33));
    for (double x : {312.0, 622.0, 842.0}) {
        p.setPen(QPen(QColor(0x22, 0x26, 0x2d), 1));
        p.drawLine(QPointF(x + 0.5, 462), QPointF(x + 0.5, 618));
    }
    for (const auto& c : d.controls) {
        if (c.group != Group::Always) continue;
        if (c.widget == Widget::Combo || c.widget == Widget::EditCombo) Field(p, c.rect, true);
    }
    Separator(p, 640, 24, W - 24);
}

void SmallChrome(QPainter& p, const Dialog& d, Glyph glyph) {
    const int W = d.size.width();
    Badge(p, QRectF(22, 12, 34, 32), glyph);
    if (d.id != DialogId::Composite) Wordmark(p, QPointF(68, 35), 15, false);
    Separator(p, 52, 20, W - 20);
    for (const auto& c : d.controls) {
        if (c.group == Group::Hidden) continue;
        if (c.widget == Widget::List || (c.widget == Widget::Label && d.id == DialogId::Update)) {
            Field(p, c.rect, false);
        }
    }
    if (d.id == DialogId::Update) {
        // The path runs into the updater: a faint track under the field.
        p.setPen(QPen(Alpha(kAccent, 40), 2, Qt::DotLine, Qt::RoundCap));
        p.drawLine(QPointF(40, 128), QPointF(W - 40, 128));
        DrawGlyph(p, Glyph::Chip, QRectF(W / 2.0 - 14, 114, 28, 28), Alpha(kAccent, 90), 1.6);
    }
}

}  // namespace

QPainterPath WindowOutline(const Dialog& d) {
    // Cut corners: the main window's larger, the small dialogs' smaller.
    const double cut = d.id == DialogId::Main ? 18 : 12;
    const double w = d.size.width(), h = d.size.height();
    QPainterPath p;
    p.moveTo(cut, 0);
    p.lineTo(w - cut, 0);
    p.lineTo(w, cut);
    p.lineTo(w, h - cut);
    p.lineTo(w - cut, h);
    p.lineTo(cut, h);
    p.lineTo(0, h - cut);
    p.lineTo(0, cut);
    p.closeSubpath();
    return p;
}

QImage RenderPicture(const SkinModel& model, const Dialog& d, const Picture* picture) {
    QImage image(d.size, QImage::Format_RGB32);
    image.fill(QColor(0x0a, 0x0b, 0x0d));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    WindowBody(p, d);
    switch (d.id) {
        case DialogId::Main:
            MainChrome(p, d);
            break;
        case DialogId::Composite:
            SmallChrome(p, d, Glyph::Keycap);
            break;
        case DialogId::Profile:
            SmallChrome(p, d, Glyph::Layers);
            break;
        case DialogId::Update:
            SmallChrome(p, d, Glyph::Chip);
            break;
    }
    for (const auto& c : d.controls) {
        if (c.place != Place::ImageButton) continue;
        // The bare background holds only what is always on screen; a state picture also holds the buttons
        // the program shows now and then, but never those of another page.
        if (!picture && (c.group != Group::Always || c.page > 0)) continue;
        if (picture && c.page >= 0 && c.page != picture->page) continue;
        Look look = Look::Normal;
        if (picture && (c.sets & picture->set)) look = c.looks[static_cast<size_t>(picture->slot)];
        p.save();
        p.setClipRect(c.rect);
        DrawFace(p, model, c, look, picture);
        p.restore();
    }
    return image;
}

QImage RenderMask(const Dialog& d) {
    QImage mask(d.size, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(WindowOutline(d), Qt::black);
    return mask;
}

namespace {

void Pill(QPainter& p, const QRectF& r, const QBrush& track, QColor edge, double knobX, QColor knob) {
    RoundRect(p, r, r.height() / 2, track, edge);
    const double radius = r.height() / 2 - 3;
    p.setPen(Qt::NoPen);
    p.setBrush(Alpha(Qt::black, 80));
    p.drawEllipse(QPointF(knobX, r.center().y() + 1), radius, radius);
    p.setBrush(knob);
    p.drawEllipse(QPointF(knobX, r.center().y()), radius, radius);
}

QLinearGradient Rainbow(const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.topRight());
    const QColor stops[] = {QColor(0xef, 0x44, 0x44), QColor(0xf5, 0x9e, 0x0b), QColor(0x22, 0xc5, 0x5e),
                            QColor(0x06, 0xb6, 0xd4), QColor(0x63, 0x66, 0xf1), QColor(0xd9, 0x46, 0xef)};
    for (int i = 0; i < 6; ++i)
        g.setColorAt(i / 5.0, stops[i]);
    return g;
}

// Three chevrons fading towards their tail: the direction of a moving effect.
void Motion(QPainter& p, QPointF c, double angle, QColor colour, bool outward, bool inward) {
    p.save();
    p.translate(c);
    p.rotate(angle);
    if (outward || inward) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QPointF(0, 0), 3, 3);
        for (int side : {-1, 1}) {
            for (int i = 0; i < 2; ++i) {
                const double x = side * (10 + i * 8);
                const double a = outward ? (side > 0 ? 0 : 180) : (side > 0 ? 180 : 0);
                Chevron(p, QPointF(x, 0), 12, a, Alpha(colour, 255 - (outward ? i : 1 - i) * 110), 2.2);
            }
        }
    } else {
        for (int i = 0; i < 3; ++i)
            Chevron(p, QPointF(-10 + i * 10, 0), 13, 0, Alpha(colour, 90 + i * 80), 2.4);
    }
    p.restore();
}

void ToolGlyph(QPainter& p, const QRectF& r, bool bucket, QColor colour) {
    const QPointF c = r.center();
    p.save();
    p.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (!bucket) {
        // A brush: handle, ferrule, tip.
        p.translate(c);
        p.rotate(45);
        p.drawRoundedRect(QRectF(-2.5, -13, 5, 12), 2, 2);
        p.drawRect(QRectF(-3.5, -1, 7, 4));
        QPainterPath tip;
        tip.moveTo(-3.5, 3);
        tip.quadTo(-4, 10, 0, 13);
        tip.quadTo(4, 10, 3.5, 3);
        p.setBrush(colour);
        p.drawPath(tip);
    } else {
        // A bucket pouring a drop.
        QPainterPath body;
        body.moveTo(c.x() - 9, c.y() - 4);
        body.lineTo(c.x() + 3, c.y() - 10);
        body.lineTo(c.x() + 9, c.y() + 2);
        body.lineTo(c.x() - 3, c.y() + 8);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(colour);
        QPainterPath drop;
        drop.moveTo(c.x() + 10, c.y() + 3);
        drop.quadTo(c.x() + 14, c.y() + 9, c.x() + 10, c.y() + 11);
        drop.quadTo(c.x() + 6, c.y() + 9, c.x() + 10, c.y() + 3);
        p.drawPath(drop);
    }
    p.restore();
}

}  // namespace

QImage RenderBitmap(const Bitmap& b) {
    QImage image(b.size, QImage::Format_RGB32);
    image.fill(kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(b.size)).adjusted(0.5, 0.5, -0.5, -0.5);
    const std::string& f = b.file;
    auto is = [&](const char* prefix) { return f.rfind(prefix, 0) == 0; };

    if (is("deng")) {
        const bool on = f == "dengdown.bmp";
        const QRectF track = r.adjusted(1, 1, -1, -1);
        Pill(p, track, on ? QBrush(Vertical(track, kAccent, kAccentDeep)) : QBrush(QColor(0x2a, 0x2e, 0x36)),
             on ? kAccentLight : QColor(0x3a, 0x3f, 0x49),
             on ? track.right() - track.height() / 2 : track.left() + track.height() / 2,
             on ? QColor(Qt::white) : QColor(0x8b, 0x93, 0xa1));
    } else if (is("sjs")) {
        const bool on = f == "sjsdown.bmp";
        const QRectF track = r.adjusted(1, 2, -1, -2);
        QLinearGradient rainbow = Rainbow(track);
        Pill(p, track, on ? QBrush(rainbow) : QBrush(QColor(0x2a, 0x2e, 0x36)),
             on ? QColor(Qt::white) : QColor(0x3a, 0x3f, 0x49),
             on ? track.right() - track.height() / 2 : track.left() + track.height() / 2,
             on ? QColor(Qt::white) : QColor(0x8b, 0x93, 0xa1));
        if (!on) {
            // A hint of the colours it would bring.
            p.setPen(Qt::NoPen);
            p.setBrush(Alpha(Qt::white, 0));
            QLinearGradient hint = Rainbow(track);
            p.setOpacity(0.35);
            p.setBrush(hint);
            p.drawRoundedRect(
                QRectF(track.center().x() - 2, track.center().y() - 2, track.width() / 2 - 8, 4), 2, 2);
            p.setOpacity(1);
        }
    } else if (is("left") || is("right") || is("up") || is("down") || is("kuosan") || is("julong")) {
        const bool chosen = f == "leftdown.bmp" || f == "rightdown.bmp" || f == "updown.bmp" ||
                            f == "downdown.bmp" || f == "kuosandown.bmp" || f == "julongdown.bmp";
        const QRectF box = r.adjusted(1, 1, -1, -1);
        RoundRect(p, box, 8,
                  chosen ? QBrush(Vertical(box, QColor(0x10, 0x41, 0x4d), QColor(0x0b, 0x2f, 0x38)))
                         : QBrush(Vertical(box, QColor(0x23, 0x27, 0x2e), QColor(0x1c, 0x1f, 0x25))),
                  chosen ? kAccent : QColor(0x33, 0x38, 0x43));
        const QColor ink = chosen ? kAccentLight : kTextDim;
        double angle = 0;
        if (is("left")) angle = 180;
        if (is("upup") || is("updown")) angle = -90;
        if (is("downup") || is("downdown")) angle = 90;
        Motion(p, box.center(), angle, ink, is("kuosan"), is("julong"));
    } else if (is("hong") || is("huang") || is("lv") || is("lan")) {
        QColor colour = QColor(0xef, 0x44, 0x44);
        if (is("huang")) colour = QColor(0xfa, 0xcc, 0x15);
        if (is("lv")) colour = QColor(0x22, 0xc5, 0x5e);
        if (is("lan")) colour = QColor(0x3b, 0x82, 0xf6);
        const bool ok = f.find("ok.bmp") != std::string::npos;
        const QRectF swatch = r.adjusted(3, 3, -3, -3);
        if (ok) RoundRect(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 9, Qt::NoBrush, Qt::white, 2);
        RoundRect(p, swatch, 7, Vertical(swatch, colour.lighter(125), colour.darker(115)),
                  colour.darker(150));
        if (ok) {
            p.setPen(QPen(Alpha(Qt::black, 90), 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            QPainterPath tick;
            tick.moveTo(swatch.left() + 8, swatch.center().y() + 1);
            tick.lineTo(swatch.center().x() - 2, swatch.bottom() - 8);
            tick.lineTo(swatch.right() - 7, swatch.top() + 9);
            p.drawPath(tick.translated(0, 1));
            p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(tick);
        }
    } else if (is("user")) {
        const bool chosen = f.find("down.bmp") != std::string::npos;
        const QRectF box = r.adjusted(1, 1, -1, -1);
        RoundRect(p, box, 8,
                  chosen ? QBrush(Vertical(box, QColor(0x10, 0x41, 0x4d), QColor(0x0b, 0x2f, 0x38)))
                         : QBrush(Vertical(box, QColor(0x23, 0x27, 0x2e), QColor(0x1c, 0x1f, 0x25))),
                  chosen ? kAccent : QColor(0x33, 0x38, 0x43));
        ToolGlyph(p, box, is("user2"), chosen ? kAccentLight : kTextDim);
    } else if (is("jdt")) {
        const int frame = std::atoi(f.c_str() + 3) - 1;
        const QRectF ring = r.adjusted(4, 4, -4, -4);
        p.setPen(QPen(QColor(0x24, 0x28, 0x2f), 3));
        p.drawEllipse(ring);
        QConicalGradient tail(ring.center(), -frame * 36.0);
        tail.setColorAt(0, kAccent);
        tail.setColorAt(0.35, Alpha(kAccent, 0));
        tail.setColorAt(1, Alpha(kAccent, 0));
        p.setPen(QPen(QBrush(tail), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(ring, static_cast<int>(-frame * 36.0 * 16), -130 * 16);
    } else {
        // Sliders: 0..5 brightness, 6..11 speed, 12..25 spare frames in the same style.
        const int n = std::atoi(f.c_str());
        int steps = 6, position = n;
        if (n >= 6 && n <= 11) position = n - 6;
        if (n >= 12) {
            steps = 14;
            position = n - 12;
        }
        const double left = 12, right = r.width() - 12, y = 12;
        const double x = left + (right - left) * position / (steps - 1);
        RoundRect(p, QRectF(left - 3, y - 3, right - left + 6, 6), 3, QBrush(QColor(0x24, 0x28, 0x2f)),
                  QColor());
        QLinearGradient fill(QPointF(left, 0), QPointF(right, 0));
        fill.setColorAt(0, kAccentDeep);
        fill.setColorAt(1, n >= 12 ? kTextDim : kAccent);
        RoundRect(p, QRectF(left - 3, y - 3, x - left + 6, 6), 3, fill, QColor());
        p.setPen(Qt::NoPen);
        for (int i = 0; i < steps; ++i) {
            const double tx = left + (right - left) * i / (steps - 1);
            p.setBrush(i <= position ? Alpha(kAccent, 150) : QColor(0x3a, 0x3f, 0x49));
            p.drawEllipse(QPointF(tx, 23), 1.4, 1.4);
        }
        QRadialGradient glow(QPointF(x, y), 12);
        glow.setColorAt(0, Alpha(kAccent, 90));
        glow.setColorAt(1, Alpha(kAccent, 0));
        p.setBrush(glow);
        p.drawEllipse(QPointF(x, y), 12, 12);
        p.setBrush(QColor(0xf1, 0xf5, 0xf9));
        p.setPen(QPen(kAccent, 2));
        p.drawEllipse(QPointF(x, y), 7, 7);
    }
    return image;
}

QImage RenderArrowSheet(const SkinModel& model, const QImage& mainBackground) {
    const Dialog& main = DialogOf(model, DialogId::Main);
    QImage sheet(model.arrowSheet, QImage::Format_RGB32);
    sheet.fill(kPanel);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    for (const ArrowFrame& f : model.arrowFrames) {
        const Control* arrow = FindControl(main, f.arrowKey);
        if (!arrow) continue;
        const QPoint at = f.origin - QPoint(1, 1);
        p.drawImage(at, mainBackground.copy(arrow->rect));
        // The left arrow points right at the effect list, the right one left; the second frame steps closer.
        const bool left = f.arrowKey == "LEFT_ARROW";
        const double shift = (f.frame == 2 ? 3 : 0) * (left ? 1 : -1);
        const QRectF box(at, arrow->rect.size());
        const QPointF centre = box.center() + QPointF(shift - (left ? 1.5 : -1.5), 0);
        Chevron(p, centre, 10, left ? 0 : 180, f.up ? kAccent : kTextMuted, 2.2);
    }
    return sheet;
}

}  // namespace vornak::skingen
