// The lighting panel's own controls: a picture that can be clicked, a slider drawn as one bitmap per
// position, and a colour button with its colour chooser.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <array>

#include "lighting/lighting_block.h"

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

}  // namespace vornak
