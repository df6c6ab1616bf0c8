#include "lighting/view/panel_widgets.h"

#include <QColorDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "lighting/panel_look.h"
#include "skin/palette.h"

namespace vornak {

namespace {

// How strongly a key's light covers its cap, and the corners left out of the rounded cap.
constexpr int kLightAlpha = 160;
constexpr int kCapCorner = 2;

// The key's light over its cap, blended at a fixed strength: the legend stays as much lighter than the cap
// as it was, whatever the colour. Plain rectangles with the corners cut keep this on the painter's fast
// path.
void DrawKeyLight(QPainter& p, QSize key, Colour colour) {
    const QColor light(ColourR(colour), ColourG(colour), ColourB(colour), kLightAlpha);
    const QRect cap = QRect(QPoint(0, 0), key).adjusted(3, 2, -3, -5);
    p.fillRect(cap.adjusted(0, kCapCorner, 0, -kCapCorner), light);
    p.fillRect(QRect(cap.left() + kCapCorner, cap.top(), cap.width() - 2 * kCapCorner, kCapCorner), light);
    p.fillRect(QRect(cap.left() + kCapCorner, cap.bottom() - kCapCorner + 1, cap.width() - 2 * kCapCorner,
                     kCapCorner),
               light);
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
    for (CPngButton* b : buttons)
        keys_.push_back({b, {}, {}, {}});
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
    QRegion shape;
    for (const Key& k : keys_) {
        if (k.light) shape += k.rect;
    }
    if (shape.isEmpty()) {
        hide();
        clearMask();
        return;
    }
    setMask(shape);
    show();
}

void KeyLightLayer::Show(const KeyLights& lights, const KeyLights::Changes& changes) {
    if (changes.keys.empty()) return;
    for (const size_t key : changes.keys)
        keys_[key].light = keys_[key].button != nullptr ? lights.colour(key) : std::nullopt;
    if (changes.litChanged) Reshape();
    if (!isVisible()) return;
    // One rectangle per row of keys, not one per key; the shape cuts each down to the lit keys in it.
    std::vector<std::pair<int, QRect>> rows;
    for (const size_t key : changes.keys) {
        const Key& k = keys_[key];
        if (!k.light) continue;
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.first == k.rect.top(); });
        if (row == rows.end()) {
            rows.emplace_back(k.rect.top(), k.rect);
        } else {
            row->second |= k.rect;
        }
    }
    for (const auto& [top, band] : rows)
        update(band);
}

void KeyLightLayer::FaceChanging(size_t key) {
    if (keys_[key].light) update(keys_[key].rect);
}

void KeyLightLayer::DrawAllAgain() {
    Place();
    Reshape();
    update();
}

KeyLightLayer::Face KeyLightLayer::FaceOf(const CPngButton& button) {
    return {button.CurrentSurface(), button.isDown(), button.outlineOn(), button.text()};
}

void KeyLightLayer::CatchFaceChanges() {
    if (!isVisible()) return;
    for (Key& k : keys_) {
        if (k.light && k.drawn != FaceOf(*k.button)) update(k.rect);
    }
}

void KeyLightLayer::paintEvent(QPaintEvent* event) {
    const QRegion& region = event->region();
    const QRect box = region.boundingRect();
    QPainter p(this);
    for (Key& k : keys_) {
        if (!k.light || !k.rect.intersects(box) || !region.intersects(k.rect)) continue;
        p.resetTransform();
        p.translate(k.rect.topLeft());
        k.button->DrawFace(p);
        k.drawn = FaceOf(*k.button);
        // A pressed key shows its pressed picture alone.
        if (!k.drawn->down) DrawKeyLight(p, k.rect.size(), *k.light);
    }
}

}  // namespace vornak
