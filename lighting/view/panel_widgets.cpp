#include "lighting/view/panel_widgets.h"

#include <QColorDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "lighting/panel_look.h"
#include "skin/palette.h"

namespace vornak {

namespace {

// How strongly a key's light covers its cap, and the corners left out of the rounded cap.
constexpr int kLightAlpha = 160;
constexpr int kCapCorner = 2;

// The light's blend, taken once from the painter itself: over an opaque face a light of kLightAlpha leaves
// each channel at dimmed[face] + light[colour] (source over: the light's premultiplied level plus the face
// scaled by what the light leaves through; 95 + 160 never carries into the next channel).
struct LightBlend {
    std::array<uint8_t, 256> dimmed{};
    std::array<uint8_t, 256> light{};

    LightBlend() {
        QImage faces(256, 1, QImage::Format_ARGB32_Premultiplied);
        QImage lights(256, 1, QImage::Format_ARGB32_Premultiplied);
        lights.fill(Qt::transparent);
        {
            QPainter f(&faces);
            QPainter l(&lights);
            for (int v = 0; v < 256; ++v) {
                f.fillRect(QRect(v, 0, 1, 1), QColor(v, v, v));
                f.fillRect(QRect(v, 0, 1, 1), QColor(0, 0, 0, kLightAlpha));
                l.fillRect(QRect(v, 0, 1, 1), QColor(v, v, v, kLightAlpha));
            }
        }
        const auto* face = reinterpret_cast<const uint32_t*>(faces.constScanLine(0));
        const auto* lit = reinterpret_cast<const uint32_t*>(lights.constScanLine(0));
        for (size_t v = 0; v < 256; ++v) {
            dimmed[v] = static_cast<uint8_t>(qRed(face[v]));
            light[v] = static_cast<uint8_t>(qRed(lit[v]));
        }
    }
    uint32_t Dim(uint32_t face) const {
        return 0xFF000000u | uint32_t{dimmed[(face >> 16) & 0xFF]} << 16 |
               uint32_t{dimmed[(face >> 8) & 0xFF]} << 8 | dimmed[face & 0xFF];
    }
    uint32_t Light(Colour c) const {
        return uint32_t{light[ColourR(c)]} << 16 | uint32_t{light[ColourG(c)]} << 8 | light[ColourB(c)];
    }
};

const LightBlend& Blend() {
    static const LightBlend blend;
    return blend;
}

// The cap of a key, where its light lies.
QRect CapRect(const QRect& key) {
    return key.adjusted(3, 2, -3, -5);
}

// The pixels a logical rectangle covers on a device of that ratio: those whose centres lie inside it.
QRect DeviceRect(const QRect& r, qreal ratio) {
    const auto edge = [ratio](int v) { return static_cast<int>(std::ceil(v * ratio - 0.5)); };
    return QRect(QPoint(edge(r.left()), edge(r.top())),
                 QPoint(edge(r.right() + 1) - 1, edge(r.bottom() + 1) - 1));
}

QColor ToQColor(Colour c) {
    return QColor(ColourR(c), ColourG(c), ColourB(c));
}

Colour FromQColor(const QColor& c) {
    return MakeColour(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                      static_cast<uint8_t>(c.blue()));
}

}  // namespace

PanelPicture::PanelPicture(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
}

void PanelPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void PanelPicture::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

BitmapSlider::BitmapSlider(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void BitmapSlider::SetPictures(const std::array<QPixmap, kSliderPositions>& pictures) {
    pictures_ = pictures;
    update();
}

void BitmapSlider::SetPosition(int position) {
    position_ = std::clamp(position, 0, kSliderPositions - 1);
    Show(position_);
}

void BitmapSlider::Show(int position) {
    if (position == shown_) return;
    shown_ = position;
    update();
}

void BitmapSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, pictures_[static_cast<size_t>(shown_)]);
}

void BitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Show(SliderPositionAt(event->position().toPoint().x(), width()));
}

void BitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons().testFlag(Qt::LeftButton))
        Show(SliderPositionAt(event->position().toPoint().x(), width()));
}

void BitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int picked = SliderPositionAt(event->position().toPoint().x(), width());
    Show(picked);
    emit positionPicked(picked);
}

ColourButton::ColourButton(QWidget* parent) : QPushButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QPushButton::clicked, this, &ColourButton::Choose);
}

void ColourButton::SetColour(Colour colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette::kRaisedEdge, 1));
    p.setBrush(palette::kField);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(colour_));
    p.drawRoundedRect(QRectF(rect()).adjusted(3, 3, -3, -3), 4, 4);
}

void ColourButton::Choose() {
    static const Colour kCommon[] = {
        MakeColour(255, 0, 0),   MakeColour(255, 128, 0), MakeColour(255, 255, 0), MakeColour(0, 255, 0),
        MakeColour(0, 255, 255), MakeColour(0, 0, 255),   MakeColour(255, 0, 255), MakeColour(255, 255, 255)};
    QMenu menu(this);
    for (const Colour c : kCommon) {
        QPixmap swatch(16, 16);
        swatch.fill(ToQColor(c));
        menu.addAction(QIcon(swatch), ToQColor(c).name(), this, [this, c] { emit colourPicked(c); });
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("other"), this, [this] {
        const QColor chosen = QColorDialog::getColor(ToQColor(colour_), window());
        if (chosen.isValid()) emit colourPicked(FromQColor(chosen));
    });
    menu.exec(mapToGlobal(QPoint(0, height())));
}

// ---- KeyLightLayer

KeyLightLayer::KeyLightLayer(QWidget& window, std::vector<CPngButton*> buttons) : QWidget(&window) {
    setObjectName(QStringLiteral("keyLights"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // It draws every pixel of its shape: neither the window nor the buttons beneath paint under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (CPngButton* b : buttons) {
        Key k;
        k.button = b;
        keys_.push_back(std::move(k));
    }
    // Just above the key buttons: whatever the window stacked above them stays above.
    int last = -1;
    const QObjectList& children = window.children();
    for (int i = 0; i < children.size(); ++i) {
        if (KeyOf(children[i])) last = i;
    }
    QWidget* above = nullptr;
    for (int i = last + 1; i < children.size() && above == nullptr; ++i) {
        auto* w = qobject_cast<QWidget*>(children[i]);
        if (w != nullptr && w != this && !w->isWindow()) above = w;
    }
    if (above != nullptr) {
        stackUnder(above);
    } else {
        raise();
    }
    Place();
    hide();
}

uint32_t KeyLightLayer::LitPixel(uint32_t face, Colour colour) {
    return Blend().Dim(face) + Blend().Light(colour);
}

std::optional<size_t> KeyLightLayer::KeyOf(const QObject* button) const {
    for (size_t k = 0; k < keys_.size(); ++k) {
        if (keys_[k].button != nullptr && keys_[k].button == button) return k;
    }
    return std::nullopt;
}

void KeyLightLayer::Place() {
    QRect bounds;
    for (const Key& k : keys_) {
        if (k.button != nullptr) bounds |= k.button->geometry();
    }
    setGeometry(bounds);
    for (Key& k : keys_) {
        if (k.button != nullptr) k.rect = k.button->geometry().translated(-bounds.topLeft());
    }
}

void KeyLightLayer::Reshape() {
    // Row by row, from the first lit key to the last with the window's picture between them: a frame then
    // copies a few rectangles to the screen rather than one per key. Left out: the keys not lit, and what
    // else of the window lies under the layer.
    std::vector<std::pair<int, QRect>> rows;
    for (const Key& k : keys_) {
        if (!k.light) continue;
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.first == k.rect.top(); });
        if (row == rows.end()) {
            rows.emplace_back(k.rect.top(), k.rect);
        } else {
            row->second |= k.rect;
        }
    }
    QRegion shape;
    for (const auto& [top, band] : rows)
        shape += band;
    for (const Key& k : keys_) {
        if (!k.light && k.button != nullptr) shape -= k.rect;
    }
    for (QObject* child : parentWidget()->children()) {
        if (child == this) break;
        auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && !w->isHidden() && !w->isWindow() && !KeyOf(w))
            shape -= w->geometry().translated(-pos());
    }
    if (shape.isEmpty()) {
        hide();
        clearMask();
        return;
    }
    setMask(shape);
    show();
}

void KeyLightLayer::MarkStale(Key& k) {
    k.faceStale = true;
    k.lightStale = true;
}

void KeyLightLayer::Show(const KeyLights& lights, const KeyLights::Changes& changes) {
    if (changes.keys.empty()) return;
    for (const size_t key : changes.keys) {
        Key& k = keys_[key];
        const bool wasLit = k.light.has_value();
        k.light = k.button != nullptr ? lights.colour(key) : std::nullopt;
        k.lightStale = true;
        // Its face may have changed while it was not lit.
        if (!wasLit) k.faceStale = true;
    }
    if (changes.litChanged) Reshape();
    if (!isVisible()) return;
    // One rectangle per row of keys, not one per key, over the caps only (the rest of a key does not change
    // with its colour); the shape cuts each down to the lit keys in it.
    std::vector<std::pair<int, QRect>> rows;
    for (const size_t key : changes.keys) {
        const Key& k = keys_[key];
        if (!k.light) continue;
        const QRect cap = CapRect(k.rect);
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.first == k.rect.top(); });
        if (row == rows.end()) {
            rows.emplace_back(k.rect.top(), cap);
        } else {
            row->second |= cap;
        }
    }
    for (const auto& [top, band] : rows)
        update(band);
}

void KeyLightLayer::FaceChanging(size_t key) {
    Key& k = keys_[key];
    if (!k.light) return;
    MarkStale(k);
    update(k.rect);
}

void KeyLightLayer::DrawAllAgain() {
    Place();
    picture_ = QImage();  // the window's picture too
    Reshape();
    update();
}

KeyLightLayer::Face KeyLightLayer::FaceOf(const CPngButton& button) {
    return {button.CurrentSurface(), button.isDown(), button.outlineOn(), button.text()};
}

void KeyLightLayer::CatchFaceChanges() {
    if (!isVisible()) return;
    for (Key& k : keys_) {
        if (k.light && !k.faceStale && k.drawn != FaceOf(*k.button)) {
            MarkStale(k);
            update(k.rect);
        }
    }
}

void KeyLightLayer::hideEvent(QHideEvent*) {
    // Hidden (lights off, or the window gone to the tray) it holds no picture.
    picture_ = QImage();
    for (Key& k : keys_) {
        MarkStale(k);
        k.cap = {};
        k.dimmed = {};
    }
}

void KeyLightLayer::DrawFaces(const QRect& box) {
    std::optional<QPainter> p;
    const qreal ratio = picture_.devicePixelRatio();
    for (Key& k : keys_) {
        if (!k.light || !k.faceStale || !k.rect.intersects(box)) continue;
        if (!p) p.emplace(&picture_);
        p->resetTransform();
        p->setClipRect(k.rect);
        p->translate(k.rect.topLeft());
        k.button->DrawFace(*p);
        k.drawn = FaceOf(*k.button);
        k.faceStale = false;
        k.lightStale = true;
        k.cap.clear();
        k.dimmed.clear();
        // The cap, with its corners cut, in the picture's pixels; the face under it dimmed once here, so a
        // frame only adds the colour.
        const QRect cap = CapRect(k.rect);
        const QRect rows[] = {cap.adjusted(kCapCorner, 0, -kCapCorner, kCapCorner - cap.height()),
                              cap.adjusted(0, kCapCorner, 0, -kCapCorner),
                              cap.adjusted(kCapCorner, cap.height() - kCapCorner, -kCapCorner, 0)};
        for (const QRect& part : rows) {
            const QRect d = DeviceRect(part, ratio) & picture_.rect();
            for (int y = d.top(); y <= d.bottom(); ++y) {
                k.cap.push_back({y, d.left(), d.right() + 1});
                const auto* line = reinterpret_cast<const uint32_t*>(picture_.constScanLine(y));
                for (int x = d.left(); x <= d.right(); ++x)
                    k.dimmed.push_back(Blend().Dim(line[x]));
            }
        }
    }
}

void KeyLightLayer::LayLight(Key& k) {
    k.lightStale = false;
    // A pressed key shows its pressed picture alone.
    if (!k.light || k.faceStale || k.drawn->down) return;
    // Two pixels at a time: no channel's sum carries into the next.
    const uint64_t light = Blend().Light(*k.light) * 0x0000000100000001ull;
    const uint32_t* dimmed = k.dimmed.data();
    uchar* bits = picture_.bits();  // once: each scanLine() would check whether to detach
    const qsizetype stride = picture_.bytesPerLine();
    for (const Span& s : k.cap) {
        auto* line = reinterpret_cast<uint32_t*>(bits + s.y * stride) + s.from;
        const int n = s.to - s.from;
        int x = 0;
        for (; x + 1 < n; x += 2) {
            uint64_t pair;
            std::memcpy(&pair, dimmed + x, sizeof pair);
            pair += light;
            std::memcpy(line + x, &pair, sizeof pair);
        }
        if (x < n) line[x] = dimmed[x] + static_cast<uint32_t>(light);
        dimmed += n;
    }
}

void KeyLightLayer::Refresh(const QRect& box) {
    const qreal ratio = devicePixelRatioF();
    if (picture_.isNull() || picture_.devicePixelRatio() != ratio) {
        picture_ = QImage(DeviceRect(rect(), ratio).size(), QImage::Format_RGB32);
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(Qt::black);
        // Between the keys: the window's own picture.
        parentWidget()->render(&picture_, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
        for (Key& k : keys_)
            MarkStale(k);
    }
    DrawFaces(box);
    for (Key& k : keys_) {
        if (k.lightStale && k.rect.intersects(box)) LayLight(k);
    }
}

void KeyLightLayer::paintEvent(QPaintEvent* event) {
    const QRect box = event->region().boundingRect();
    Refresh(box);
    QPainter p(this);
    const qreal ratio = picture_.devicePixelRatio();
    if (ratio != std::floor(ratio)) {
        p.drawImage(QPoint(0, 0), picture_);
        return;
    }
    // Rectangle by rectangle: under a clip of many rectangles the painter splits one copy over threads,
    // which costs more than the copy.
    for (const QRect& r : event->region())
        p.drawImage(r, picture_, DeviceRect(r, ratio));
}

}  // namespace vornak
