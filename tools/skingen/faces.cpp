// The faces of the image buttons in each of their looks: key caps, lamps, buttons, tabs, icons, the key
// dialog's pages.
#include <QRadialGradient>
#include <cmath>

#include "paint_tools.h"

namespace vornak::skingen {

namespace {

using namespace palette;

struct CapColours {
    QColor skirtTop, skirtBottom, edge, faceTop, faceBottom, legend;
};

void KeyCapFace(QPainter& p, const Control& c, Look look, bool colourMode) {
    const QRectF r = QRectF(c.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool macroKey = c.key.rfind("FUNC_G", 0) == 0;
    CapColours k{kCapSkirtTop,
                 kCapSkirtBottom,
                 kCapEdge,
                 macroKey ? kMacroCapFaceTop : kCapFaceTop,
                 macroKey ? kMacroCapFaceBottom : kCapFaceBottom,
                 kText};
    if (colourMode) {
        k.faceTop = kColourCapFaceTop;
        k.faceBottom = kColourCapFaceBottom;
        k.legend = kColourCapLegend;
    }
    QRectF face = r.adjusted(3, 2, -3, -5);
    double edgeWidth = 1;
    switch (look) {
        case Look::Over:
            k.skirtTop = kCapOverSkirtTop;
            k.skirtBottom = kCapOverSkirtBottom;
            k.edge = colourMode ? kWhite : kAccent;
            k.faceTop = k.faceTop.lighter(118);
            k.faceBottom = k.faceBottom.lighter(118);
            k.legend = colourMode ? kWhite : kAccentLight;
            edgeWidth = 1.6;
            break;
        case Look::Down:
            k.skirtTop = kCapDownSkirtTop;
            k.edge = kAccentDeep;
            k.faceTop = kCapDownFaceTop;
            k.faceBottom = kCapDownFaceBottom;
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
            k = {kCapDisabledSkirtTop, kCapDisabledSkirtBottom, kCapDisabledEdge,
                 kCapDisabledFaceTop,  kCapDisabledFaceBottom,  kTextMuted};
            break;
        case Look::Normal:
            break;
    }
    RoundRect(p, r, 5, Vertical(r, k.skirtTop, k.skirtBottom), k.edge, edgeWidth);
    RoundRect(p, face, 4, Vertical(face, k.faceTop, k.faceBottom), QColor());
    // A faint highlight along the top of the cap.
    p.setPen(QPen(Alpha(kWhite, look == Look::Disabled ? 8 : 26), 1));
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
            p.setBrush(kGroove);
            p.setPen(QPen(kRaisedEdge, 1));
        }
        p.drawEllipse(at, radius, radius);
    };
    if (c.key == "LOCK_AB") {
        // The layer lamp is a plate with both letters; the lit one is the active layer.
        const QRectF plate = r.adjusted(0.5, 0.5, -0.5, -0.5);
        RoundRect(p, plate, 5, Vertical(plate, kLampPlateTop, kLampPlateBottom), kLampPlateEdge);
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
            return {kRaisedOverTop, kRaisedOverBottom, Alpha(kAccent, 210), kText};
        case Look::Down:
            return {kPressedTop, kPressedBottom, kAccentDeep, kAccent};
        case Look::Selected:
            return {kChosenTop, kChosenBottom, kAccent, kAccentLight};
        case Look::Disabled:
            return {kRaisedDisabledTop, kRaisedDisabledBottom, kRaisedDisabledEdge, kTextMuted};
        case Look::Normal:
            break;
    }
    return {kRaisedTop, kRaisedBottom, kRaisedEdge, kTextDim};
}

ButtonColours Primary(Look look) {
    switch (look) {
        case Look::Over:
            return {kPrimaryOverTop, kPrimaryOverBottom, kAccentLight, kWhite};
        case Look::Down:
            return {kPrimaryDownTop, kPrimaryDownBottom, kAccentDeep, kWhite};
        case Look::Selected:  // recording
            return {kRecordingTop, kRecordingBottom, kRecordingEdge, kWhite};
        case Look::Disabled:
            return {kPrimaryDisabledTop, kPrimaryDisabledBottom, kPrimaryDisabledEdge, kTextMuted};
        case Look::Normal:
            break;
    }
    return {kPrimaryTop, kPrimaryBottom, Alpha(kAccent, 200), kWhite};
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
        p.setPen(QPen(Alpha(kWhite, primary ? 60 : 20), 1));
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
        p.setBrush(kWhite);
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
    QColor top = kTabTop, bottom = kTabBottom, edge = kTabEdge;
    if (look == Look::Over) {
        top = kTabOverTop;
        bottom = kTabOverBottom;
        edge = kTabOverEdge;
    } else if (look == Look::Down) {
        top = kPage;
        bottom = kPage;
        edge = kBorder;
    } else if (look == Look::Disabled) {
        top = bottom = kTabDisabled;
        edge = kTabDisabledEdge;
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
        RoundRect(p, r, 7, c.danger ? QBrush(kDanger) : QBrush(kIconOver),
                  c.danger ? QColor() : kIconOverEdge);
        ink = kWhite;
    } else if (look == Look::Down) {
        RoundRect(p, r, 7, c.danger ? QBrush(kDanger.darker(140)) : QBrush(kAccentDark), QColor());
        ink = kWhite;
    } else if (look == Look::Disabled) {
        ink = kTextMuted;
    }
    DrawGlyph(p, c.glyph, r, ink, 1.8);
}

void TitleFace(QPainter& p, const Control& c, Look look) {
    const QRectF r = QRectF(c.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool macroTitle = look == Look::Selected;
    Badge(p, r, macroTitle ? Glyph::Macro : c.glyph);
}

void PageFace(QPainter& p, const SkinModel& model, const Control& mask, int page) {
    const QRectF r = QRectF(mask.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    FillPath(p, Rounded(r, 0, 8, 8, 8), QBrush(kPage), kBorder);
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

}  // namespace

void Field(QPainter& p, const QRect& rect, bool dropDown) {
    const QRectF r = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    RoundRect(p, r, 5, Vertical(r, kFieldTop, kField), kFieldBorder);
    if (dropDown) Chevron(p, QPointF(r.right() - 13, r.center().y()), 9, 90, kTextDim, 1.6);
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

}  // namespace vornak::skingen
