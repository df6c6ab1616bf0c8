// The windows: their outline and mask, the body and chrome of each dialog, and the pictures that put the
// controls' faces on them.
#include <QRadialGradient>

#include "paint.h"
#include "paint_tools.h"

namespace vornak::skingen {

using namespace palette;

void Badge(QPainter& p, const QRectF& r, Glyph glyph) {
    RoundRect(p, r, 8, Vertical(r, kBadgeTop, kBadgeBottom), Alpha(kAccent, 170));
    DrawGlyph(p, glyph, r, kAccentLight, 1.8);
}

namespace {

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

void Separator(QPainter& p, double y, double left, double right) {
    p.setPen(QPen(kGroove, 1));
    p.drawLine(QPointF(left, y + 0.5), QPointF(right, y + 0.5));
    p.setPen(QPen(kGrooveShadow, 1));
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
    RoundRect(p, kb, 14, Vertical(kb, kCaseTop, kCaseBottom), kCaseEdge);
    p.setPen(QPen(Alpha(kWhite, 18), 1));
    p.drawLine(QPointF(kb.left() + 14, kb.top() + 1.5), QPointF(kb.right() - 14, kb.top() + 1.5));
    QRect keys;
    for (const auto& c : d.controls) {
        if (c.face == Face::KeyCap) keys = keys.isNull() ? c.rect : keys.united(c.rect);
    }
    const QRectF plate = QRectF(keys).adjusted(-8, -8, 8, 8);
    RoundRect(p, plate, 8, Vertical(plate, kPlateTop, kPlateBottom), kPlateEdge);
    p.setFont(UiFont(9, QFont::Bold, 3));
    p.setPen(kTextMuted);
    p.drawText(QPointF(plate.left() + 2, kb.top() + 24), QStringLiteral("NIMBREL"));
    p.setPen(kAccent);
    p.setFont(UiFont(9, QFont::Black, 2));
    p.drawText(QPointF(plate.left() + 82, kb.top() + 24), QStringLiteral("KX1"));

    // Lighting panel: one flat colour, so its bitmaps sit on it seamlessly.
    const QRectF panel(30, 446, 1020, 188);
    RoundRect(p, panel, 12, QBrush(kPanel), kPanelEdge);
    for (double x : {312.0, 622.0, 842.0}) {
        p.setPen(QPen(kPanelDivider, 1));
        p.drawLine(QPointF(x + 0.5, 462), QPointF(x + 0.5, 618));
    }
    // The effect list draws its own field: with the lights off it hides, and nothing of it may stay. The
    // panel's edge parts it from the footer.
}

void SmallChrome(QPainter& p, const Dialog& d, Glyph glyph) {
    const int W = d.size.width();
    Badge(p, QRectF(22, 12, 34, 32), glyph);
    if (d.id != DialogId::Composite) Wordmark(p, QPointF(68, 35), 15, false);
    Separator(p, 52, 20, W - 20);
    for (const auto& c : d.controls) {
        if (c.group == Group::Hidden) continue;
        const bool entry =
            d.id == DialogId::Applications &&
            (c.widget == Widget::Edit || c.widget == Widget::EditCombo || c.widget == Widget::Combo);
        if (c.widget == Widget::List || entry || (c.widget == Widget::Label && d.id == DialogId::Update)) {
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

QImage RenderPicture(const SkinModel& model, const Dialog& d, const Picture* picture, int scale) {
    QImage image(d.size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(kBackdrop);
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
        case DialogId::Applications:
            SmallChrome(p, d, Glyph::Layers);
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

QImage RenderMask(const Dialog& d, int scale) {
    QImage mask(d.size * scale, QImage::Format_RGB32);
    mask.setDevicePixelRatio(scale);
    mask.fill(kWhite);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(WindowOutline(d), kBlack);
    return mask;
}

}  // namespace vornak::skingen
