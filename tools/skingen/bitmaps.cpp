// The lighting panel's bitmaps, each drawn from its kind in the layout table, and the sheet of arrow frames.
#include <QConicalGradient>
#include <QRadialGradient>

#include "paint.h"
#include "paint_tools.h"

namespace vornak::skingen {

namespace {

using namespace palette;

void Pill(QPainter& p, const QRectF& r, const QBrush& track, QColor edge, double knobX, QColor knob) {
    RoundRect(p, r, r.height() / 2, track, edge);
    const double radius = r.height() / 2 - 3;
    p.setPen(Qt::NoPen);
    p.setBrush(Alpha(kBlack, 80));
    p.drawEllipse(QPointF(knobX, r.center().y() + 1), radius, radius);
    p.setBrush(knob);
    p.drawEllipse(QPointF(knobX, r.center().y()), radius, radius);
}

QLinearGradient Rainbow(const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.topRight());
    for (size_t i = 0; i < kRainbow.size(); ++i)
        g.setColorAt(static_cast<double>(i) / (kRainbow.size() - 1), kRainbow[i]);
    return g;
}

// Three chevrons fading towards their tail: the direction of a moving effect.
void Chevrons(QPainter& p, QPointF c, double angle, QColor colour, bool outward, bool inward) {
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

double MotionAngle(Motion m) {
    switch (m) {
        case Motion::Left:
            return 180;
        case Motion::Up:
            return -90;
        case Motion::Down:
            return 90;
        case Motion::Right:
        case Motion::Outward:
        case Motion::Inward:
            break;
    }
    return 0;
}

// The tile behind a direction or a tool: lit in the accent when chosen.
QColor Tile(QPainter& p, const QRectF& box, bool chosen) {
    RoundRect(p, box, 8,
              chosen ? QBrush(Vertical(box, kChosenTop, kChosenBottom))
                     : QBrush(Vertical(box, kTileTop, kTileBottom)),
              chosen ? kAccent : kTileEdge);
    return chosen ? kAccentLight : kTextDim;
}

void LightSwitch(QPainter& p, const QRectF& r, bool on) {
    const QRectF track = r.adjusted(1, 1, -1, -1);
    Pill(p, track, on ? QBrush(Vertical(track, kAccent, kAccentDeep)) : QBrush(kSwitchOff),
         on ? kAccentLight : kRaisedEdge,
         on ? track.right() - track.height() / 2 : track.left() + track.height() / 2, on ? kWhite : kKnobOff);
}

void ColourfulSwitch(QPainter& p, const QRectF& r, bool on) {
    const QRectF track = r.adjusted(1, 2, -1, -2);
    Pill(p, track, on ? QBrush(Rainbow(track)) : QBrush(kSwitchOff), on ? kWhite : kRaisedEdge,
         on ? track.right() - track.height() / 2 : track.left() + track.height() / 2, on ? kWhite : kKnobOff);
    if (!on) {
        // A hint of the colours it would bring.
        p.setPen(Qt::NoPen);
        p.setOpacity(0.35);
        p.setBrush(Rainbow(track));
        p.drawRoundedRect(QRectF(track.center().x() - 2, track.center().y() - 2, track.width() / 2 - 8, 4), 2,
                          2);
        p.setOpacity(1);
    }
}

void Preset(QPainter& p, const QRectF& r, QColor colour, bool ticked) {
    const QRectF swatch = r.adjusted(3, 3, -3, -3);
    if (ticked) RoundRect(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 9, Qt::NoBrush, kWhite, 2);
    RoundRect(p, swatch, 7, Vertical(swatch, colour.lighter(125), colour.darker(115)), colour.darker(150));
    if (!ticked) return;
    p.setPen(QPen(Alpha(kBlack, 90), 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(swatch.left() + 8, swatch.center().y() + 1);
    tick.lineTo(swatch.center().x() - 2, swatch.bottom() - 8);
    tick.lineTo(swatch.right() - 7, swatch.top() + 9);
    p.drawPath(tick.translated(0, 1));
    p.setPen(QPen(kWhite, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

void Busy(QPainter& p, const QRectF& r, int frame) {
    const QRectF ring = r.adjusted(4, 4, -4, -4);
    p.setPen(QPen(kGroove, 3));
    p.drawEllipse(ring);
    QConicalGradient tail(ring.center(), -frame * 36.0);
    tail.setColorAt(0, kAccent);
    tail.setColorAt(0.35, Alpha(kAccent, 0));
    tail.setColorAt(1, Alpha(kAccent, 0));
    p.setPen(QPen(QBrush(tail), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(ring, static_cast<int>(-frame * 36.0 * 16), -130 * 16);
}

void Slider(QPainter& p, const QRectF& r, const Bitmap& b) {
    const double left = 12, right = r.width() - 12, y = 12;
    const double x = left + (right - left) * b.position / (b.steps - 1);
    RoundRect(p, QRectF(left - 3, y - 3, right - left + 6, 6), 3, QBrush(kGroove), QColor());
    QLinearGradient fill(QPointF(left, 0), QPointF(right, 0));
    fill.setColorAt(0, kAccentDeep);
    fill.setColorAt(1, b.spare ? kTextDim : kAccent);
    RoundRect(p, QRectF(left - 3, y - 3, x - left + 6, 6), 3, fill, QColor());
    p.setPen(Qt::NoPen);
    for (int i = 0; i < b.steps; ++i) {
        const double tx = left + (right - left) * i / (b.steps - 1);
        p.setBrush(i <= b.position ? Alpha(kAccent, 150) : kRaisedEdge);
        p.drawEllipse(QPointF(tx, 23), 1.4, 1.4);
    }
    QRadialGradient glow(QPointF(x, y), 12);
    glow.setColorAt(0, Alpha(kAccent, 90));
    glow.setColorAt(1, Alpha(kAccent, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(x, y), 12, 12);
    p.setBrush(kSliderKnob);
    p.setPen(QPen(kAccent, 2));
    p.drawEllipse(QPointF(x, y), 7, 7);
}

}  // namespace

QImage RenderBitmap(const Bitmap& b, int scale) {
    QImage image(b.size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(b.size)).adjusted(0.5, 0.5, -0.5, -0.5);
    switch (b.kind) {
        case BitmapKind::LightSwitch:
            LightSwitch(p, r, b.on);
            break;
        case BitmapKind::ColourfulSwitch:
            ColourfulSwitch(p, r, b.on);
            break;
        case BitmapKind::Direction: {
            const QRectF box = r.adjusted(1, 1, -1, -1);
            const QColor ink = Tile(p, box, b.on);
            Chevrons(p, box.center(), MotionAngle(b.motion), ink, b.motion == Motion::Outward,
                     b.motion == Motion::Inward);
            break;
        }
        case BitmapKind::Preset:
            Preset(p, r, b.colour, b.on);
            break;
        case BitmapKind::Tool: {
            const QRectF box = r.adjusted(1, 1, -1, -1);
            ToolGlyph(p, box, b.bucket, Tile(p, box, b.on));
            break;
        }
        case BitmapKind::Busy:
            Busy(p, r, b.frame);
            break;
        case BitmapKind::Slider:
            Slider(p, r, b);
            break;
    }
    return image;
}

QImage RenderArrowSheet(const SkinModel& model, const QImage& mainBackground, int scale) {
    const Dialog& main = DialogOf(model, DialogId::Main);
    QImage sheet(model.arrowSheet * scale, QImage::Format_RGB32);
    sheet.setDevicePixelRatio(scale);
    sheet.fill(kPanel);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    for (const ArrowFrame& f : model.arrowFrames) {
        const Control* arrow = FindControl(main, f.arrowKey);
        if (!arrow) continue;
        const QPoint at = f.origin - QPoint(1, 1);
        // The copy is taken in the background's own pixels and keeps its device pixel ratio.
        const QRect under(arrow->rect.topLeft() * scale, arrow->rect.size() * scale);
        p.drawImage(at, mainBackground.copy(under));
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
