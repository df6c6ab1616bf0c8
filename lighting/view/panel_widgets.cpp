#include "lighting/view/panel_widgets.h"

#include <QBackingStore>
#include <QColorDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Each cap's light added to its dimmed pixels: nothing carries from one channel into the next.
void AddLight(uint32_t* to, const uint32_t* from, int n, uint32_t light) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i add = _mm_set1_epi32(static_cast<int>(light));
    for (; x + 4 <= n; x += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_add_epi32(pixels, add));
    }
#endif
    for (; x < n; ++x)
        to[x] = from[x] + light;
}

// The window's picture, when the layer is painted there pixel for pixel: an image of 32-bit pixels where an
// opaque colour is 0xffRRGGBB, at the layer's whole scale.
QImage* PixelsOf(QPaintDevice* device, qreal ratio) {
    if (device == nullptr || device->devType() != QInternal::Image || ratio != std::floor(ratio))
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    switch (image->format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            return image->devicePixelRatio() == ratio ? image : nullptr;
        default:
            return nullptr;
    }
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
    updatedKeys_.clear();
}

void KeyLightLayer::Reshape() {
    // Row by row, from the first lit key to the last with the window's picture between them. Left out: the
    // keys not lit, and what else of the window lies under the layer.
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

QRegion KeyLightLayer::CapsOf(const std::vector<size_t>& keys) const {
    // The caps only (the rest of a key does not change with its colour), a row of them as one rectangle:
    // each rectangle costs a clear, a copy and a request to the window system of its own, which weighs more
    // than the window's picture between the caps.
    std::vector<QRect> rows;
    for (const size_t key : keys) {
        if (keys_[key].button == nullptr) continue;
        const QRect cap = CapRect(keys_[key].rect);
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const QRect& r) {
            return r.top() == cap.top() && r.bottom() == cap.bottom();
        });
        if (row == rows.end()) {
            rows.push_back(cap);
        } else {
            *row |= cap;
        }
    }
    QRegion region;
    for (const QRect& row : rows)
        region += row;
    return region;
}

void KeyLightLayer::Show(const KeyLights& lights, const KeyLights::Changes& changes) {
    if (changes.keys.empty()) return;
    for (const size_t key : changes.keys) {
        Key& k = keys_[key];
        const bool wasLit = k.light.has_value();
        k.light = k.button != nullptr ? lights.colour(key) : std::nullopt;
        if (k.light) k.add = Blend().Light(*k.light);
        // Its face may have changed while it was not lit.
        if (!wasLit) k.faceStale = true;
    }
    if (changes.litChanged) Reshape();
    if (!isVisible()) return;
    // The shape cuts the caps of keys not lit away.
    if (changes.keys != updatedKeys_) {
        updatedKeys_ = changes.keys;
        updatedCaps_ = CapsOf(updatedKeys_);
    }
    PaintFrame(updatedCaps_);
}

void KeyLightLayer::PaintFrame(const QRegion& caps) {
    // Where the layer shows: its shape, less the widgets stacked above it, which a paint of the window's
    // would draw over it.
    const QRegion shown = caps & mask();
    QRegion region = shown;
    // The siblings after it in the list are the ones above it: from the end, few are looked at.
    const QObjectList& siblings = parentWidget()->children();
    for (auto it = siblings.crbegin(); it != siblings.crend() && *it != this; ++it) {
        auto* w = qobject_cast<QWidget*>(*it);
        if (w != nullptr && !w->isHidden() && !w->isWindow()) region -= w->geometry().translated(-pos());
    }
    QWidget* top = window();
    QWindow* handle = top->windowHandle();
    QBackingStore* store = backingStore();
    const qreal ratio = devicePixelRatioF();
    if (region.isEmpty() || store == nullptr || handle == nullptr || !handle->isExposed() ||
        ratio != std::floor(ratio) || parentWidget() != top) {
        // At once: a frame comes from a timer, and a posted update would cost the event loop a round of its
        // own.
        repaint(shown);
        return;
    }
    // Straight to the window's backing store: the layer draws every pixel of these rows, so a paint of the
    // window's (each widget's clip and the shapes, a paint event) has nothing to add to them.
    if (region != shown) repaint(shown - region);
    Refresh(region.boundingRect());
    const QRegion inWindow = region.translated(pos());
    store->beginPaint(inWindow);
    QImage* screen = PixelsOf(store->paintDevice(), ratio);
    if (screen != nullptr) {
        const QPoint at = pos() * static_cast<int>(ratio);
        const QRect inside = picture_.rect() & screen->rect().translated(-at);
        for (const QRect& r : region)
            CopyLit(*screen, at, DeviceRect(r, ratio) & inside);
    }
    store->endPaint();
    if (screen == nullptr) {
        repaint(region);
        return;
    }
    store->flush(inWindow, handle);
}

void KeyLightLayer::FaceChanging(size_t key) {
    Key& k = keys_[key];
    if (!k.light) return;
    k.faceStale = true;
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
            k.faceStale = true;
            update(k.rect);
        }
    }
}

void KeyLightLayer::hideEvent(QHideEvent*) {
    // Hidden (lights off, or the window gone to the tray) it holds no picture.
    picture_ = QImage();
    lit_ = QImage();
    ForgetCaps();
    capLines_ = {};
}

void KeyLightLayer::ForgetCaps() {
    for (Key& k : keys_) {
        k.faceStale = true;
        k.cap = {};
    }
    capLinesStale_ = true;
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
        k.cap.clear();
        capLinesStale_ = true;
        // A pressed key shows its pressed picture alone.
        if (k.drawn->down) continue;
        // The cap, with its corners cut, in the picture's pixels, dimmed once here: a paint adds the colour.
        const QRect cap = CapRect(k.rect);
        const QRect rows[] = {cap.adjusted(kCapCorner, 0, -kCapCorner, kCapCorner - cap.height()),
                              cap.adjusted(0, kCapCorner, 0, -kCapCorner),
                              cap.adjusted(kCapCorner, cap.height() - kCapCorner, -kCapCorner, 0)};
        for (const QRect& part : rows) {
            const QRect d = DeviceRect(part, ratio) & picture_.rect();
            for (int y = d.top(); y <= d.bottom(); ++y) {
                k.cap.push_back({y, d.left(), d.right() + 1});
                auto* line = reinterpret_cast<uint32_t*>(picture_.scanLine(y));
                for (int x = d.left(); x <= d.right(); ++x)
                    line[x] = Blend().Dim(line[x]);
            }
        }
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
        lit_ = QImage();
        ForgetCaps();
    }
    DrawFaces(box);
}

void KeyLightLayer::CopyLit(QImage& to, QPoint at, const QRect& area) {
    if (capLinesStale_) {
        capLines_.assign(static_cast<size_t>(picture_.height()), {});
        for (size_t key = 0; key < keys_.size(); ++key) {
            for (const Span& s : keys_[key].cap)
                capLines_[static_cast<size_t>(s.y)].push_back({s.from, s.to, key});
        }
        for (auto& line : capLines_)
            std::sort(line.begin(), line.end(),
                      [](const CapSpan& a, const CapSpan& b) { return a.from < b.from; });
        capLinesStale_ = false;
    }
    const uchar* source = picture_.constBits();
    const qsizetype sourceStride = picture_.bytesPerLine();
    uchar* bits = to.bits();  // once: each scanLine() would check whether to detach
    const qsizetype stride = to.bytesPerLine();
    const int right = area.right() + 1;
    // Line by line, each pixel once: copied, or on a lit cap, its light added on the way.
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(source + y * sourceStride);
        auto* out = reinterpret_cast<uint32_t*>(bits + (y + at.y()) * stride) + at.x();
        int x = area.left();
        for (const CapSpan& s : capLines_[static_cast<size_t>(y)]) {
            if (s.to <= x) continue;
            if (s.from >= right) break;
            const Key& k = keys_[s.key];
            if (!k.light) continue;
            const int from = std::max(s.from, x);
            const int end = std::min(s.to, right);
            std::memcpy(out + x, in + x, sizeof(uint32_t) * static_cast<size_t>(from - x));
            AddLight(out + from, in + from, end - from, k.add);
            x = end;
        }
        if (x < right) std::memcpy(out + x, in + x, sizeof(uint32_t) * static_cast<size_t>(right - x));
    }
}

void KeyLightLayer::paintEvent(QPaintEvent* event) {
    const QRegion& region = event->region();
    Refresh(region.boundingRect());
    const qreal ratio = picture_.devicePixelRatio();
    QPoint offset;
    if (QImage* screen = PixelsOf(redirected(&offset), ratio)) {
        // Straight into the window's picture, where the paint goes: one pass over the pixels, and no painter
        // to set up for them.
        const QPoint at = -offset * static_cast<int>(ratio);
        const QRect inside = picture_.rect() & screen->rect().translated(-at);
        for (const QRect& r : region)
            CopyLit(*screen, at, DeviceRect(r, ratio) & inside);
        return;
    }
    // Any other device (a grab's pixmap, a fractional scale): a lit copy, drawn by a painter.
    if (lit_.size() != picture_.size()) lit_ = QImage(picture_.size(), QImage::Format_RGB32);
    lit_.setDevicePixelRatio(ratio);
    const QRect box = DeviceRect(region.boundingRect(), ratio).adjusted(-1, -1, 1, 1) & picture_.rect();
    CopyLit(lit_, QPoint(), box);
    QPainter p(this);
    if (ratio != std::floor(ratio)) {
        p.drawImage(QPoint(0, 0), lit_);
        return;
    }
    // Rectangle by rectangle: under a clip of many rectangles the painter splits one copy over threads,
    // which costs more than the copy.
    for (const QRect& r : region)
        p.drawImage(r, lit_, DeviceRect(r, ratio));
}

}  // namespace vornak
