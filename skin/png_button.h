// The image button of the skinned dialogs: for each state it shows the part of that state's picture that lies
// under it, optionally with a caption and a tooltip.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <functional>

#include "skin/core/skin_layout.h"

class QPainter;

namespace vornak {

// Text flags as the skins and dialogs give them (the Windows DrawText values).
inline constexpr unsigned kDtLeft = 0x00;
inline constexpr unsigned kDtCenter = 0x01;
inline constexpr unsigned kDtRight = 0x02;
inline constexpr unsigned kDtVCenter = 0x04;
inline constexpr unsigned kDtBottom = 0x08;
inline constexpr unsigned kDtWordBreak = 0x10;
inline constexpr unsigned kDtSingleLine = 0x20;
inline constexpr unsigned kDtDefaultButtonText = kDtCenter | kDtVCenter | kDtSingleLine;  // 37

// How long a tooltip stays up.
inline constexpr int kToolTipAutoPopMs = 2000;

class CPngButton : public QAbstractButton {
    Q_OBJECT

  public:
    // Called after each paint with the button and whether the surface drawn was the normal one.
    using PaintCallback = std::function<void(CPngButton* button, bool normalShown)>;

    explicit CPngButton(QWidget* parent = nullptr);

    void SetStateSurfaces(int x, int y, const QPixmap& normal, const QPixmap& over, const QPixmap& down,
                          const QPixmap& disabled, const QPixmap& selected, bool redraw = true);
    void SetSurfaces(const QPixmap& normal, const QPixmap& over, const QPixmap& down, const QPixmap& disabled,
                     const QPixmap& selected, bool redraw = true);
    void SetOrigin(int x, int y, bool redraw = true);
    void SetCheckSurfaces(const QPixmap& unchecked, const QPixmap& checked, bool checkMode, bool isChecked,
                          bool redraw = true);
    void SetSelected(bool selected, bool redraw = true);
    // Percent is kept (capped at 100) for callers that grade the outline; the frame itself is solid.
    void SetOutline(QColor colour, int percent, bool on);
    void SetTextStyle(bool textOn, int pointSize, const QString& face, QColor colour,
                      unsigned drawFlags = kDtDefaultButtonText);
    void SetTextMargins(int left, int top, int right, int bottom);
    // Escapement in tenths of a degree, counter-clockwise; rotated text is drawn heavy.
    void SetRotation(int escapement, bool rotated);
    void SetToolTipText(const QString& text, bool activate = true);
    void SetPaintCallback(PaintCallback callback) { paintCallback_ = std::move(callback); }
    // Draws what the button shows (its state's picture or its outline, and its caption) with the painter's
    // origin at the button's top left: its own paint, and a layer that draws many buttons in one paint.
    void DrawFace(QPainter& painter) const;

    ButtonSurface CurrentSurface() const;
    bool selected() const { return selected_; }
    bool hovered() const { return hover_; }
    int originX() const { return originX_; }
    int originY() const { return originY_; }
    bool outlineOn() const { return outlineOn_; }
    int outlinePercent() const { return outlinePercent_; }
    const QString& toolTipText() const { return toolTipText_; }
    bool toolTipActive() const { return toolTipActive_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    const QPixmap& SurfacePixmap(ButtonSurface surface) const;
    void ResetPointerState();
    void ShowToolTipNow();
    void DrawCaption(QPainter& painter) const;

    QPixmap normal_, over_, down_, disabled_, selectedSurface_;
    QPixmap unchecked_, checked_;
    bool checkMode_ = false;
    bool isChecked_ = false;
    int originX_ = 0;
    int originY_ = 0;
    bool hover_ = false;
    bool selected_ = false;

    bool textOn_ = false;
    int pointSize_ = 8;
    QString face_ = QStringLiteral("Tahoma");
    QColor textColour_ = QColor(0, 0, 0);
    unsigned drawFlags_ = kDtDefaultButtonText;
    int marginLeft_ = 0, marginTop_ = 0, marginRight_ = 0, marginBottom_ = 0;
    int escapement_ = 0;
    bool rotated_ = false;

    bool outlineOn_ = false;
    QColor outlineColour_;
    int outlinePercent_ = 0;

    QString toolTipText_;
    bool toolTipActive_ = false;

    PaintCallback paintCallback_;
};

}  // namespace vornak
