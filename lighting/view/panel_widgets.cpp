#include "lighting/view/panel_widgets.h"

#include <QColorDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "lighting/panel_look.h"
#include "skin/palette.h"

namespace vornak {

namespace {

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

}  // namespace vornak
