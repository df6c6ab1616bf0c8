#include "skin/png_button.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace vornak {

namespace {

Qt::Alignment AlignmentOf(unsigned flags) {
    Qt::Alignment a;
    if (flags & kDtCenter) {
        a |= Qt::AlignHCenter;
    } else if (flags & kDtRight) {
        a |= Qt::AlignRight;
    } else {
        a |= Qt::AlignLeft;
    }
    if (flags & kDtVCenter) {
        a |= Qt::AlignVCenter;
    } else if (flags & kDtBottom) {
        a |= Qt::AlignBottom;
    } else {
        a |= Qt::AlignTop;
    }
    return a;
}

int TextFlagsOf(unsigned flags) {
    int f = static_cast<int>(AlignmentOf(flags));
    if (flags & kDtSingleLine) f |= Qt::TextSingleLine;
    if (flags & kDtWordBreak) f |= Qt::TextWordWrap;
    return f;
}

}  // namespace

CPngButton::CPngButton(QWidget* parent) : QAbstractButton(parent) {}

void CPngButton::SetStateSurfaces(int x, int y, const QPixmap& normal, const QPixmap& over,
                                  const QPixmap& down, const QPixmap& disabled, const QPixmap& selected,
                                  bool redraw) {
    originX_ = x;
    originY_ = y;
    SetSurfaces(normal, over, down, disabled, selected, redraw);
}

void CPngButton::SetSurfaces(const QPixmap& normal, const QPixmap& over, const QPixmap& down,
                             const QPixmap& disabled, const QPixmap& selected, bool redraw) {
    normal_ = normal;
    over_ = over;
    down_ = down;
    disabled_ = disabled;
    selectedSurface_ = selected;
    ResetPointerState();
    if (redraw) update();
}

void CPngButton::SetOrigin(int x, int y, bool redraw) {
    originX_ = x;
    originY_ = y;
    if (redraw) update();
}

void CPngButton::SetCheckSurfaces(const QPixmap& unchecked, const QPixmap& checked, bool checkMode,
                                  bool isChecked, bool redraw) {
    unchecked_ = unchecked;
    checked_ = checked;
    checkMode_ = checkMode;
    isChecked_ = isChecked;
    ResetPointerState();
    if (redraw) update();
}

void CPngButton::SetSelected(bool selected, bool redraw) {
    selected_ = selected;
    if (redraw) update();
}

void CPngButton::SetOutline(QColor colour, int percent, bool on) {
    outlineColour_ = colour;
    if (on) outlinePercent_ = std::min(percent, 100);
    outlineOn_ = on;
    update();
}

void CPngButton::SetTextStyle(bool textOn, int pointSize, const QString& face, QColor colour,
                              unsigned drawFlags) {
    textOn_ = textOn;
    pointSize_ = pointSize;
    face_ = face;
    textColour_ = colour;
    drawFlags_ = drawFlags;
    update();
}

void CPngButton::SetTextMargins(int left, int top, int right, int bottom) {
    marginLeft_ = left;
    marginTop_ = top;
    marginRight_ = right;
    marginBottom_ = bottom;
    update();
}

void CPngButton::SetRotation(int escapement, bool rotated) {
    escapement_ = escapement;
    rotated_ = rotated;
    update();
}

void CPngButton::SetToolTipText(const QString& text, bool activate) {
    if (text.isEmpty()) return;
    toolTipText_ = text;
    toolTipActive_ = activate;
    if (!activate) QToolTip::hideText();
}

ButtonSurface CPngButton::CurrentSurface() const {
    ButtonStateFlags state;
    state.enabled = isEnabled();
    state.checkMode = checkMode_;
    state.checked = isChecked_;
    state.pressed = isDown();
    state.hover = hover_;
    state.selected = selected_;
    return ChooseSurface(state);
}

const QPixmap& CPngButton::SurfacePixmap(ButtonSurface surface) const {
    switch (surface) {
        case ButtonSurface::Over:
            return over_;
        case ButtonSurface::Down:
            return down_;
        case ButtonSurface::Disabled:
            return disabled_;
        case ButtonSurface::Selected:
            return selectedSurface_;
        case ButtonSurface::Unchecked:
            return unchecked_;
        case ButtonSurface::Checked:
            return checked_;
        case ButtonSurface::Normal:
            break;
    }
    return normal_;
}

void CPngButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawFace(painter);
    painter.end();
    if (paintCallback_) paintCallback_(this, CurrentSurface() == ButtonSurface::Normal);
}

void CPngButton::DrawFace(QPainter& painter) const {
    if (outlineOn_) {
        painter.setPen(QPen(outlineColour_, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(1, 1), QPoint(width() - 2, height() - 2)));
    } else {
        const QPixmap& pixmap = SurfacePixmap(CurrentSurface());
        if (!pixmap.isNull()) {
            // The crop is in window pixels; a 2x surface holds two device pixels for each.
            const CropOrigin crop = SurfaceCropOrigin(originX_, originY_);
            const qreal ratio = pixmap.devicePixelRatio();
            // Between the 2x set and a screen of 1.25 or 1.5 Qt scales: smoothly, or the legends break up.
            painter.setRenderHint(QPainter::SmoothPixmapTransform, ratio != devicePixelRatioF());
            painter.drawPixmap(QRectF(0, 0, width(), height()), pixmap,
                               QRectF(crop.x * ratio, crop.y * ratio, width() * ratio, height() * ratio));
        }
    }
    if (textOn_) DrawCaption(painter);
}

void CPngButton::DrawCaption(QPainter& painter) const {
    QFont font(face_);
    font.setPointSize(std::max(1, pointSize_));
    font.setWeight(rotated_ ? QFont::Black : QFont::Normal);
    painter.setFont(font);
    painter.setPen(textColour_);
    const QRect box = rect().adjusted(marginLeft_, marginTop_, -marginRight_, -marginBottom_);
    if (!rotated_ && escapement_ == 0) {
        painter.drawText(box, TextFlagsOf(drawFlags_), text());
        return;
    }
    // Turned text is centred by its own extent, whatever the alignment flags say.
    const QFontMetrics metrics(font);
    const QSize extent = metrics.size(Qt::TextSingleLine, text());
    painter.save();
    painter.translate(box.center() + QPointF(0.5, 0.5));
    painter.rotate(-escapement_ / 10.0);
    painter.drawText(QRectF(-extent.width() / 2.0, -extent.height() / 2.0, extent.width(), extent.height()),
                     Qt::AlignCenter | Qt::TextSingleLine, text());
    painter.restore();
}

void CPngButton::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    ShowToolTipNow();
    QAbstractButton::enterEvent(event);
}

void CPngButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CPngButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click is a click of its own. Qt usually sends a press before the double
    // click event; when it did, the button is already down and the release completes the click.
    if (isDown()) {
        event->accept();
        return;
    }
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(), event->modifiers());
    mousePressEvent(&press);
    event->setAccepted(press.isAccepted());
}

bool CPngButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        ShowToolTipNow();
        return true;
    }
    return QAbstractButton::event(event);
}

void CPngButton::ResetPointerState() {
    hover_ = false;
    setDown(false);
}

void CPngButton::ShowToolTipNow() {
    if (!toolTipActive_ || toolTipText_.isEmpty()) return;
    QToolTip::showText(mapToGlobal(QPoint(width() / 2, height())), toolTipText_, this, rect(),
                       kToolTipAutoPopMs);
}

}  // namespace vornak
