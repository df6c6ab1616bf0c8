// The lighting panel's own controls: a picture that can be clicked, a slider drawn as one bitmap per
// position, a colour button with its colour chooser, and the layer that draws the lit keys.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <array>
#include <optional>
#include <vector>

#include "lighting/key_lights.h"
#include "lighting/lighting_block.h"
#include "skin/png_button.h"

namespace vornak {

// A skin bitmap that acts on a click (the switch, the direction, toggle, preset and tool pictures).
class PanelPicture : public QLabel {
    Q_OBJECT

  public:
    explicit PanelPicture(QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    // The press is the picture's: passed on, it would reach the window, which starts moving itself and takes
    // the release away (Wayland compositors and X11 window managers alike).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Six positions, each shown as its own bitmap; a press or drag moves the picture, the release picks.
class BitmapSlider : public QWidget {
    Q_OBJECT

  public:
    explicit BitmapSlider(QWidget* parent = nullptr);
    void SetPictures(const std::array<QPixmap, kSliderPositions>& pictures);
    // The stored position, shown (no signal).
    void SetPosition(int position);
    int position() const { return position_; }
    // The position shown now: the stored one, or the one under a drag.
    int shownPosition() const { return shown_; }

  signals:
    void positionPicked(int position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void Show(int position);
    std::array<QPixmap, kSliderPositions> pictures_;
    int position_ = 0;
    int shown_ = 0;
};

// A colour swatch; a click offers the common colours and "other", which opens the full chooser.
class ColourButton : public QPushButton {
    Q_OBJECT

  public:
    explicit ColourButton(QWidget* parent = nullptr);
    void SetColour(Colour colour);
    Colour colour() const { return colour_; }

  signals:
    void colourPicked(Colour colour);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Choose();
    Colour colour_ = kRed;
};

// The lit keys, drawn in one paint: a layer over the key buttons, shaped to the lit ones, that shows each
// key's face as its button draws it with the key's light over the cap. It keeps the keys as shown in a
// picture of its own, each lit cap there dimmed as the light's blend leaves it; a paint copies the picture to
// the screen and adds each key's colour to its cap on the way, and a preview frame repaints the changed caps
// only, where a widget per key cost a paint and two painters each, twenty times a second. The pointer and
// clicks pass through to the buttons beneath; their own repaints are hidden under the layer, so it draws
// again a key whose face changed (pointer over it, pressed, relabelled).
class KeyLightLayer : public QWidget {
  public:
    // The buttons in KeyLights order (null for one the window does not have).
    KeyLightLayer(QWidget& window, std::vector<CPngButton*> buttons);

    // Draws what changed in lights since it was last drawn.
    void Show(const KeyLights& lights, const KeyLights::Changes& changes);
    // The key of a button, if it is one of the layer's.
    std::optional<size_t> KeyOf(const QObject* button) const;
    // The key's face is about to change (an event reached its button): draw it again.
    void FaceChanging(size_t key);
    // The buttons' pictures changed: every lit key is drawn again.
    void DrawAllAgain();
    // Draws again the lit keys whose face changed since they were drawn, whoever changed it (the window
    // presses, relabels and marks keys).
    void CatchFaceChanges();

    // A light over a face pixel, as the painter blends it (tests).
    static uint32_t LitPixel(uint32_t face, Colour colour);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    struct Face {
        ButtonSurface surface = ButtonSurface::Normal;
        bool down = false;
        bool outline = false;
        QString text;
        friend bool operator==(const Face&, const Face&) = default;
    };
    struct Span {
        int y, from, to;  // one row of the cap, in the picture's pixels
    };
    struct Key {
        CPngButton* button = nullptr;
        QRect rect;  // in the layer
        std::optional<Colour> light;
        std::optional<Face> drawn;
        bool faceStale = true;  // its face is to be drawn again into the picture
        uint32_t add = 0;       // what its light adds to each channel of the dimmed cap
        // The cap's rows (corners cut), in the picture's pixels; empty unless the picture holds the cap
        // dimmed for the light (a lit key not pressed).
        std::vector<Span> cap;
    };
    // One row of a cap, in a line of the picture.
    struct CapSpan {
        int from, to;
        size_t key;
    };
    static Face FaceOf(const CPngButton& button);
    void Place();
    void Reshape();
    // Brings the picture up to date for the keys in box: their faces drawn, their caps dimmed.
    void Refresh(const QRect& box);
    void DrawFaces(const QRect& box);
    void ForgetCaps();
    // Copies the picture's pixels in area (its own pixels) to an image where its pixel (0, 0) lies at at,
    // each lit cap with its light added.
    void CopyLit(QImage& to, QPoint at, const QRect& area);
    // A preview frame: the lit caps in caps drawn again on screen.
    void PaintFrame(const QRegion& caps);
    QRegion CapsOf(const std::vector<size_t>& keys) const;

    std::vector<Key> keys_;
    QImage picture_;
    QImage lit_;  // for a device the picture cannot be copied to pixel for pixel
    // Each line of the picture's caps, left to right.
    std::vector<std::vector<CapSpan>> capLines_;
    bool capLinesStale_ = true;
    // The last frame's changed keys and the region of their caps: effect after effect moves the same keys.
    std::vector<size_t> updatedKeys_;
    QRegion updatedCaps_;
};
}  // namespace vornak
