#include "skin/base_dialog.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "skin/core/mask_region.h"
#include "skin/skin_surfaces.h"

namespace vornak {

QRegion MaskToQRegion(const QImage& mask, QColor key, int tolerance) {
    if (mask.isNull()) return {};
    const QImage pixels = mask.convertToFormat(QImage::Format_RGB32);
    MaskPixels view;
    view.width = pixels.width();
    view.height = pixels.height();
    view.stride = static_cast<size_t>(pixels.bytesPerLine()) / sizeof(uint32_t);
    view.pixels = {reinterpret_cast<const uint32_t*>(pixels.constBits()), view.stride * view.height};
    const Rgb keyColour{static_cast<uint8_t>(key.red()), static_cast<uint8_t>(key.green()),
                        static_cast<uint8_t>(key.blue())};
    QRegion region;
    for (const auto& batch :
         MaskToRegion(view, keyColour, static_cast<uint8_t>(std::clamp(tolerance, 0, 255)))) {
        std::vector<QRect> rects;
        rects.reserve(batch.size());
        for (const auto& r : batch)
            rects.emplace_back(r.x, r.y, r.w, r.h);
        QRegion part;
        part.setRects(rects.data(), static_cast<int>(rects.size()));
        region |= part;
    }
    return region;
}

CBaseDialog::CBaseDialog(int templateId, QWidget* parent, std::filesystem::path skinIni,
                         std::filesystem::path skinFolder)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      templateId_(templateId),
      skinFolder_(std::move(skinFolder)),
      ini_(std::move(skinIni)) {
    // The background picture covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void CBaseDialog::ShapeByAlphaWhereNeeded() {
    // Wayland honours no window shape, and an X11 window shown by a Wayland desktop may lose its own: there
    // the mask holds only as transparent pixels. A plain X11 display cuts the window by its shape, and there
    // an opaque window spares each paint the clear of its pixels to transparent (a fifth of the lighting
    // preview's time).
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb") &&
                     qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!x11) setAttribute(Qt::WA_TranslucentBackground);
}

void CBaseDialog::InitDialog() {
    if (initialised_) return;
    initialised_ = true;
    OnInitDialog();
}

void CBaseDialog::OnInitDialog() {
    LoadSkin();
}

void CBaseDialog::LoadSkin() {
    std::string error;
    if (!TryLoadSkin(&error)) EndForSkinFailure(error);
}

bool CBaseDialog::TryLoadSkin(std::string* error) {
    loading_ = true;
    layout_ = SkinLayout::Load(ini_.path());
    const SkinScreen screen = layout_.Screen();

    auto load = [&](const std::u16string& name, const char* what, QImage* image, int scale) {
        if (name.empty()) {
            if (error) *error = std::string("no ") + what + " picture named in " + ini_.path().string();
            return false;
        }
        return LoadSkinPicture(JoinSkinPath(skinFolder_, name), image, error, scale);
    };
    // The background at the screen's scale; the shape always from the 1x mask, because the window's mask
    // and the area that takes the mouse are in window pixels at every scale.
    QImage back;
    QImage mask;
    if (!load(screen.main, "background", &back, SkinPictureScale()) || !load(screen.mask, "mask", &mask, 1)) {
        loading_ = false;
        return false;
    }
    background_ = QPixmap::fromImage(back);
    mask_ = std::move(mask);

    const QPoint keep = pos();
    setFixedSize(background_.deviceIndependentSize().toSize());
    move(keep);

    fineShape_ = QRegion();
    fineScale_ = 0;
    if (const int scale = SkinPictureScale(); scale > 1) {
        QImage fine;
        if (LoadSkinPicture(JoinSkinPath(skinFolder_, screen.mask), &fine, nullptr, scale) &&
            fine.devicePixelRatio() == scale) {
            fineShape_ = MaskToQRegion(fine);
            fineScale_ = scale;
        }
    }

    // A mask that keeps no pixel would make the window invisible and unreachable: keep it rectangular then.
    const QRegion shape = MaskToQRegion(mask_);
    if (shape.isEmpty()) {
        clearMask();
    } else {
        setMask(shape);
    }
    loading_ = false;
    return true;
}

void CBaseDialog::setVisible(bool visible) {
    QDialog::setVisible(visible);
    // A Wayland window is made again at each show, and there it takes the shape in the program's pixels,
    // not the screen's: under a scale factor of the program's own (QT_SCALE_FACTOR=2) the pointer reached
    // only the top left part of the window. The shape is given again once the window exists.
    if (!visible || !isVisible() || mask().isEmpty()) return;
    if (QWindow* w = windowHandle()) w->setMask(w->mask());
}

void CBaseDialog::KeepOnScreen() {
    QScreen* on = QGuiApplication::screenAt(geometry().center());
    if (!on) on = screen();
    if (!on) return;
    const QRect area = on->availableGeometry();
    const SkinRect fit =
        FitWindowInArea({x(), y(), width(), height()}, {area.x(), area.y(), area.width(), area.height()});
    if (fit.x != x() || fit.y != y()) move(fit.x, fit.y);
}

void CBaseDialog::ReleasePictures() {
    background_ = QPixmap();
    mask_ = QImage();
    fineShape_ = QRegion();
    fineScale_ = 0;
}

void CBaseDialog::done(int result) {
    ReleasePictures();
    initialised_ = false;
    dragOffset_.reset();
    QDialog::done(result);
}

void CBaseDialog::showEvent(QShowEvent* event) {
    InitDialog();
    QDialog::showEvent(event);
}

void CBaseDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (testAttribute(Qt::WA_TranslucentBackground)) {
        // The window system shapes a translucent window by its alpha, not by an X11 shape alone (Wayland has
        // none): clear everything, then draw the picture inside the mask only.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (!mask().isEmpty()) painter.setClipRegion(mask());
        if (!mask().isEmpty() && !fineShape_.isEmpty() && devicePixelRatioF() == fineScale_) {
            // The 2x mask is in device pixels here; a clip keeps the transform it was set under.
            painter.setTransform(QTransform::fromScale(1.0 / fineScale_, 1.0 / fineScale_));
            painter.setClipRegion(fineShape_, Qt::IntersectClip);
            painter.resetTransform();
        }
    } else if (background_.isNull() || background_.hasAlphaChannel()) {
        // An opaque window would show what its last paint left under a picture's transparent parts.
        painter.fillRect(rect(), Qt::black);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          background_.devicePixelRatio() != devicePixelRatioF());
    if (!background_.isNull()) painter.drawPixmap(0, 0, background_);
}

void CBaseDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    event->accept();
    if (!isWindow()) return;  // a dialog shown inside another window stays where it was placed
    if (QWindow* window = windowHandle(); window && window->startSystemMove()) return;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void CBaseDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *dragOffset_);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CBaseDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragOffset_.reset();
    QDialog::mouseReleaseEvent(event);
}

}  // namespace vornak
