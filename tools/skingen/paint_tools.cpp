// The painter's tools: fonts, gradients, rounded shapes, fitted text and the glyphs.
#include "paint_tools.h"

#include <QFontMetricsF>
#include <cmath>

namespace vornak::skingen {

QFont UiFont(double pixels, QFont::Weight weight, double spacing) {
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

void FillPath(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& pen, double width) {
    p.setBrush(fill);
    p.setPen(pen.isValid() ? QPen(pen, width) : QPen(Qt::NoPen));
    p.drawPath(path);
}

void RoundRect(QPainter& p, const QRectF& r, double radius, const QBrush& fill, const QColor& pen,
               double width) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    FillPath(p, path, fill, pen, width);
}

void FittedText(QPainter& p, const QRectF& box, const QString& text, double pixels, QFont::Weight weight,
                QColor colour, int flags, bool condensed) {
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

// ---- glyphs

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

void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, QColor colour, double stroke) {
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

}  // namespace vornak::skingen
