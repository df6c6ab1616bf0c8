// The generated skin on a screen whose device pixel ratio is 2: the 2x pictures are loaded and shown pixel
// for pixel, while the window's size, its shape and the buttons' places stay those of the 1x skin in window
// pixels.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "skin/base_dialog.h"
#include "skin/core/skin_layout.h"
#include "skin/png_button.h"
#include "skin/skin_surfaces.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

std::filesystem::path Skins() {
    return test::BinDir() / "Skins";
}

QImage Read(const std::filesystem::path& file) {
    return QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
}

QImage Pixels(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(HighDpiSkin, EachDialogShowsIts2xBackgroundUnscaledInsideThe1xShape) {
    ASSERT_EQ(qGuiApp->devicePixelRatio(), 2.0);
    ASSERT_EQ(SkinPictureScale(), 2);
    for (const char* ini :
         {"Main.ini", "Composite.ini", "Profile.ini", "UpdateDlg.ini", "Applications.ini"}) {
        SCOPED_TRACE(ini);
        CBaseDialog dialog(0, nullptr, Skins() / ini, Skins());
        std::string error;
        ASSERT_TRUE(dialog.TryLoadSkin(&error)) << error;
        const SkinScreen screen = dialog.layout().Screen();
        const auto background = JoinSkinPath(Skins(), screen.main);
        const QImage one = Read(background);
        const QImage two = Read(ScaledPictureFile(background, 2));
        const QImage mask = Read(JoinSkinPath(Skins(), screen.mask));

        EXPECT_EQ(dialog.background().devicePixelRatio(), 2.0);
        EXPECT_EQ(dialog.size(), one.size());
        // The shape, and with it the area that takes the mouse, is the 1x mask's in window pixels.
        EXPECT_TRUE((dialog.mask() ^ MaskToQRegion(mask)).isEmpty());
        // Drawn pixel for pixel: what the window shows is the 2x picture itself, not a stretched 1x one.
        const QPixmap shot = dialog.grab();
        EXPECT_EQ(shot.devicePixelRatio(), 2.0);
        EXPECT_TRUE(Pixels(shot) == two);
    }
}

// Where alpha shapes the window (Wayland, a compositing X11), the 2x mask cuts the outline finer than the 1x
// shape can, which stays the window's mask and the area that takes the mouse.
TEST(HighDpiSkin, ATranslucentDialogIsCutByThe2xMaskInsideThe1xShape) {
    CBaseDialog dialog(0, nullptr, Skins() / "Main.ini", Skins());
    dialog.setAttribute(Qt::WA_TranslucentBackground);
    ASSERT_TRUE(dialog.TryLoadSkin(nullptr));
    const QImage fine = Read(Skins() / "main_mask@2x.bmp");
    // Painted onto a surface with alpha, as the window system's buffer of a translucent window is.
    QImage shot(fine.size(), QImage::Format_ARGB32_Premultiplied);
    shot.setDevicePixelRatio(2);
    shot.fill(Qt::transparent);
    dialog.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    ASSERT_EQ(shot.size(), fine.size());
    // The 1x shape as a picture, one lookup per pixel.
    QImage coarse(dialog.size(), QImage::Format_RGB32);
    coarse.fill(Qt::black);
    {
        QPainter p(&coarse);
        p.setClipRegion(dialog.mask());
        p.fillRect(coarse.rect(), Qt::white);
    }
    int finer = 0, mismatches = 0;
    for (int y = 0; y < fine.height(); ++y) {
        for (int x = 0; x < fine.width(); ++x) {
            const bool inShape = coarse.pixel(x / 2, y / 2) == qRgb(255, 255, 255);
            const bool kept = inShape && fine.pixel(x, y) != qRgb(255, 255, 255);
            if (inShape && !kept) ++finer;
            if ((qAlpha(shot.pixel(x, y)) == 255) != kept) ++mismatches;
        }
    }
    EXPECT_GT(finer, 0);  // the cut corners: device pixels the 1x shape keeps and the 2x mask cuts
    EXPECT_EQ(mismatches, 0);
}

TEST(HighDpiSkin, AnImageButtonShowsItsCropOfThe2xSurfaceUnscaled) {
    const QSize dialogSize = Read(Skins() / "main_back.jpg").size();
    const SkinSurface& over = SkinSurfaces::Instance().Get(Skins() / "main_over.jpg", dialogSize);
    ASSERT_TRUE(over.loaded) << over.error;
    EXPECT_EQ(over.pixmap.devicePixelRatio(), 2.0);
    // The 1x surface is another entry, loaded only when asked for.
    const SkinSurface& flat = SkinSurfaces::Instance().Get(Skins() / "main_over.jpg", dialogSize, 1);
    EXPECT_EQ(flat.pixmap.devicePixelRatio(), 1.0);

    const SkinLayout layout = SkinLayout::Load(Skins() / "Main.ini");
    const SkinRect r = layout.Rect(u"FUNC_PROFILE1");
    ASSERT_GT(r.w, 1);
    CPngButton button;
    button.setGeometry(r.x, r.y, r.w, r.h);
    button.SetStateSurfaces(r.x, r.y, over.pixmap, over.pixmap, over.pixmap, over.pixmap, over.pixmap);
    const QImage shot = Pixels(button.grab());
    const CropOrigin crop = SurfaceCropOrigin(r.x, r.y);
    const QImage expected = Read(Skins() / "main_over@2x.jpg").copy(crop.x * 2, crop.y * 2, r.w * 2, r.h * 2);
    EXPECT_EQ(shot.size(), QSize(r.w, r.h) * 2);
    EXPECT_TRUE(shot == expected);
}

}  // namespace
}  // namespace vornak
