#include "icons.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <vector>

#include "platform/file_io.h"
#include "skin_model.h"

namespace vornak::skingen {

namespace {

// A key cap seen from above: the keyboard's own shape, readable at 16 pixels.
void DrawKeyboard(QPainter& p, const QRectF& box, const QColor& body, const QColor& keys) {
    const QRectF deck =
        box.adjusted(box.width() * 0.08, box.height() * 0.26, -box.width() * 0.08, -box.height() * 0.22);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(deck, deck.height() * 0.16, deck.height() * 0.16);
    const double gap = deck.width() * 0.035;
    const double kw = (deck.width() - gap * 7) / 6;
    const double kh = (deck.height() - gap * 4) / 3;
    p.setBrush(keys);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 6; ++col) {
            double x = deck.left() + gap + col * (kw + gap);
            double w = kw;
            if (row == 2) {
                // The space bar.
                if (col == 1) w = kw * 4 + gap * 3;
                if (col > 1 && col < 5) continue;
            }
            const QRectF key(x, deck.top() + gap + row * (kh + gap), w, kh);
            p.drawRoundedRect(key, kh * 0.2, kh * 0.2);
        }
    }
}

}  // namespace

namespace {

// One drawing for every form of an icon: a picture of any size, or the scalable SVG.
void PaintIcon(QPainter& p, IconKind kind, int size) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, 0, size, size);
    const QRectF tile = box.adjusted(size * 0.03, size * 0.03, -size * 0.03, -size * 0.03);
    QLinearGradient back(tile.topLeft(), tile.bottomLeft());
    back.setColorAt(0, palette::kWindowTop);
    back.setColorAt(1, palette::kWindowBottom);
    p.setPen(QPen(kind == IconKind::NoKeyboard ? palette::kBorder : palette::kAccentDeep, size / 32.0));
    p.setBrush(back);
    p.drawRoundedRect(tile, size * 0.2, size * 0.2);

    switch (kind) {
        case IconKind::Application:
        case IconKind::Keyboard:
            DrawKeyboard(p, tile, palette::kAccentDark, palette::kAccent);
            break;
        case IconKind::NoKeyboard: {
            DrawKeyboard(p, tile, palette::kPanel, palette::kTextMuted);
            // Struck through: no keyboard.
            p.setPen(QPen(palette::kDanger, size * 0.09, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(size * 0.2, size * 0.8), QPointF(size * 0.8, size * 0.2));
            break;
        }
        case IconKind::MacroPlaying: {
            DrawKeyboard(p, tile, palette::kAccentDark, palette::kAccent);
            // A play mark in the corner while the keyboard plays a macro.
            const double r = size * 0.24;
            const QPointF c(size * 0.74, size * 0.26);
            p.setPen(Qt::NoPen);
            p.setBrush(palette::kSelect);
            p.drawEllipse(c, r, r);
            QPainterPath play;
            play.moveTo(c.x() - r * 0.35, c.y() - r * 0.5);
            play.lineTo(c.x() + r * 0.55, c.y());
            play.lineTo(c.x() - r * 0.35, c.y() + r * 0.5);
            play.closeSubpath();
            p.setBrush(palette::kWindowBottom);
            p.drawPath(play);
            break;
        }
    }
}

bool WritePng(const QImage& image, const std::filesystem::path& file, std::string* error) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        if (error) *error = file.string() + ": the picture cannot be encoded";
        return false;
    }
    return WriteFileAtomic(file, std::vector<uint8_t>(png.begin(), png.end()), error);
}

bool MakeFolder(const std::filesystem::path& folder, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec && error) *error = folder.string() + ": " + ec.message();
    return !ec;
}

}  // namespace

QImage RenderIcon(IconKind kind, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    PaintIcon(p, kind, size);
    return image;
}

QByteArray RenderIconSvg(IconKind kind) {
    constexpr int kSize = 128;
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(kSize, kSize));
    generator.setViewBox(QRect(0, 0, kSize, kSize));
    generator.setTitle("Vornak");
    QPainter p(&generator);
    PaintIcon(p, kind, kSize);
    p.end();
    // The generator states the size in millimetres; an icon theme wants it in pixels, like the view box.
    const QString text =
        QString::fromUtf8(svg).replace(QRegularExpression(R"(<svg width="[^"]*" height="[^"]*")"),
                                       QStringLiteral(R"(<svg width="%1" height="%1")").arg(kSize));
    return text.toUtf8();
}

bool WriteAppIcons(const std::filesystem::path& folder, const std::string& name, std::string* error) {
    for (int size : kAppIconSizes) {
        const auto apps = folder / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        if (!MakeFolder(apps, error) ||
            !WritePng(RenderIcon(IconKind::Application, size), apps / (name + ".png"), error))
            return false;
    }
    if (!MakeFolder(folder / "scalable/apps", error)) return false;
    const QByteArray svg = RenderIconSvg(IconKind::Application);
    return WriteFileAtomic(folder / "scalable/apps" / (name + ".svg"),
                           std::vector<uint8_t>(svg.begin(), svg.end()), error);
}

bool WriteIcons(const std::filesystem::path& folder, std::string* error) {
    const struct {
        IconKind kind;
        const char* file;
        int size;
    } icons[] = {{IconKind::Application, "vornak.png", 256},
                 {IconKind::NoKeyboard, "tray_nokeyboard.png", 64},
                 {IconKind::Keyboard, "tray_keyboard.png", 64},
                 {IconKind::MacroPlaying, "tray_macro.png", 64}};
    for (const auto& icon : icons) {
        if (!WritePng(RenderIcon(icon.kind, icon.size), folder / icon.file, error)) return false;
    }
    return true;
}

}  // namespace vornak::skingen
