#include "skin/base_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QScreen>

#include "skin/skin_surfaces.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

// Regions compare by their rectangles; these compare by the pixels they cover.
bool SamePixels(const QRegion& a, const QRegion& b) {
    return (a ^ b).isEmpty();
}

class BaseDialog : public ::testing::Test {
  protected:
    void Picture(const char* name, QSize size, QColor fill, QRect black = {}) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(fill);
        for (int y = black.top(); y <= black.bottom() && black.isValid(); ++y) {
            for (int x = black.left(); x <= black.right(); ++x)
                image.setPixel(x, y, qRgb(0, 0, 0));
        }
        ASSERT_TRUE(image.save(QString::fromStdString((dir_ / name).string()), "BMP"));
    }
    void Ini(std::u16string_view screen) {
        test::WriteUtf16File(dir_ / "Dlg.ini", u"[SCREEN]\r\n" + std::u16string(screen));
    }
    std::unique_ptr<CBaseDialog> Dialog() {
        return std::make_unique<CBaseDialog>(131, nullptr, dir_ / "Dlg.ini", dir_.path());
    }
    test::TempDir dir_;
};

TEST_F(BaseDialog, TakesItsSizeFromTheBackgroundAndItsShapeFromTheMask) {
    Picture("back.bmp", QSize(120, 80), QColor(20, 30, 40));
    Picture("shape.bmp", QSize(120, 80), Qt::white, QRect(10, 5, 50, 40));
    Ini(u"Main=back.bmp\r\nMask=shape.bmp\r\n");
    auto dialog = Dialog();
    std::string error;
    ASSERT_TRUE(dialog->TryLoadSkin(&error)) << error;
    EXPECT_EQ(dialog->size(), QSize(120, 80));
    EXPECT_TRUE(SamePixels(dialog->mask(), QRegion(10, 5, 50, 40)));
    EXPECT_EQ(dialog->grab().toImage().pixelColor(60, 60), QColor(20, 30, 40));
}

TEST_F(BaseDialog, WithoutAMaskTheBackgroundShapesTheWindow) {
    Picture("back.bmp", QSize(64, 48), Qt::white, QRect(0, 0, 32, 48));
    Ini(u"Main=back.bmp\r\n");
    auto dialog = Dialog();
    ASSERT_TRUE(dialog->TryLoadSkin(nullptr));
    EXPECT_TRUE(SamePixels(dialog->mask(), QRegion(0, 0, 32, 48)));
}

TEST_F(BaseDialog, AMaskThatKeepsNothingLeavesTheWindowRectangular) {
    Picture("back.bmp", QSize(64, 48), QColor(1, 2, 3));
    Picture("white.bmp", QSize(64, 48), Qt::white);
    Ini(u"Main=back.bmp\r\nMask=white.bmp\r\n");
    auto dialog = Dialog();
    ASSERT_TRUE(dialog->TryLoadSkin(nullptr));
    EXPECT_TRUE(dialog->mask().isEmpty());
    EXPECT_EQ(dialog->size(), QSize(64, 48));
}

TEST_F(BaseDialog, AMissingPictureIsReportedByName) {
    Picture("back.bmp", QSize(64, 48), QColor(1, 2, 3));
    Ini(u"Main=back.bmp\r\nMask=gone.bmp\r\n");
    std::string error;
    EXPECT_FALSE(Dialog()->TryLoadSkin(&error));
    EXPECT_NE(error.find("gone.bmp"), std::string::npos) << error;
    test::WriteText(dir_ / "broken.jpg", "not a picture");
    Ini(u"Main=broken.jpg\r\n");
    EXPECT_FALSE(Dialog()->TryLoadSkin(&error));
    EXPECT_NE(error.find("broken.jpg"), std::string::npos) << error;
    Ini(u"Mask=back.bmp\r\n");
    EXPECT_FALSE(Dialog()->TryLoadSkin(&error));
    EXPECT_NE(error.find("Dlg.ini"), std::string::npos) << error;
}

TEST_F(BaseDialog, AMissingScreenPictureEndsTheProcessWithAFailureStatus) {
    Ini(u"Main=missing_back.jpg\r\n");
    EXPECT_EXIT(
        {
            auto dialog = Dialog();
            dialog->InitDialog();
        },
        ::testing::ExitedWithCode(kSkinPictureFailureExitCode), "missing_back\\.jpg");
}

TEST_F(BaseDialog, ClosingReleasesThePicturesAndTheNextOpeningLoadsThemAgain) {
    Picture("back.bmp", QSize(64, 48), QColor(1, 2, 3));
    Ini(u"Main=back.bmp\r\n");
    auto dialog = Dialog();
    dialog->InitDialog();
    EXPECT_TRUE(dialog->hasPictures());
    dialog->reject();
    EXPECT_FALSE(dialog->hasPictures());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    dialog->InitDialog();
    EXPECT_TRUE(dialog->hasPictures());
    dialog->accept();
    EXPECT_FALSE(dialog->hasPictures());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(BaseDialog, DraggingAnyPointMovesTheWindow) {
    Picture("back.bmp", QSize(64, 48), QColor(1, 2, 3));
    Ini(u"Main=back.bmp\r\n");
    auto dialog = Dialog();
    dialog->InitDialog();
    dialog->move(100, 100);
    const QPoint start = dialog->pos();
    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(10, 10), QPointF(global), QPointF(global), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(dialog.get(), &e);
    };
    send(QEvent::MouseButtonPress, start + QPoint(10, 10), Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(60, 40), Qt::LeftButton);
    EXPECT_EQ(dialog->pos(), start + QPoint(50, 30));
    send(QEvent::MouseButtonRelease, start + QPoint(60, 40), Qt::NoButton);
    send(QEvent::MouseMove, start + QPoint(200, 200), Qt::NoButton);
    EXPECT_EQ(dialog->pos(), start + QPoint(50, 30));
}

TEST_F(BaseDialog, KeepOnScreenBringsAWindowLeftOffScreenBackByTheLeastMove) {
    Picture("back.bmp", QSize(200, 120), QColor(1, 2, 3));
    Ini(u"Main=back.bmp\r\n");
    auto dialog = Dialog();
    dialog->InitDialog();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    dialog->move(area.right() + 400, area.bottom() + 300);
    dialog->KeepOnScreen();
    EXPECT_EQ(dialog->geometry().bottomRight(), area.bottomRight());
    dialog->move(area.left() - 50, area.top() + 20);
    dialog->KeepOnScreen();
    EXPECT_EQ(dialog->pos(), QPoint(area.left(), area.top() + 20));
    dialog->move(area.topLeft() + QPoint(30, 40));
    dialog->KeepOnScreen();
    EXPECT_EQ(dialog->pos(), area.topLeft() + QPoint(30, 40));
}

TEST(MaskToQRegionTest, AMaskOfManyRunsIsExact) {
    // More than one batch of rectangles: a column pattern of 3000 runs.
    QImage mask(300, 20, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QRegion expected;
    for (int y = 0; y < 20; ++y) {
        for (int x = (y % 2); x < 300; x += 2) {
            mask.setPixel(x, y, qRgb(0, 0, 0));
            expected |= QRect(x, y, 1, 1);
        }
    }
    const QRegion region = MaskToQRegion(mask);
    EXPECT_TRUE(SamePixels(region, expected));
    EXPECT_FALSE(SamePixels(region, expected - QRegion(299, 19, 1, 1)));
    EXPECT_TRUE(MaskToQRegion(QImage()).isEmpty());
    // A pixel one step from white in one channel stays in the window.
    QImage nearly(4, 1, QImage::Format_RGB32);
    nearly.fill(Qt::white);
    nearly.setPixel(2, 0, qRgb(255, 254, 255));
    EXPECT_TRUE(SamePixels(MaskToQRegion(nearly), QRegion(2, 0, 1, 1)));
}

TEST(SkinSurfacesTest, APictureIsLoadedOncePerProcess) {
    test::TempDir dir;
    const auto file = dir / "state.bmp";
    QImage red(30, 20, QImage::Format_RGB32);
    red.fill(QColor(200, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString(file.string()), "BMP"));
    const SkinSurface& first = SkinSurfaces::Instance().Get(file, QSize(30, 20));
    EXPECT_TRUE(first.loaded);
    EXPECT_EQ(first.pixmap.size(), QSize(30, 20));
    EXPECT_EQ(first.pixmap.toImage().pixelColor(5, 5), QColor(200, 0, 0));
    std::filesystem::remove(file);
    const SkinSurface& again = SkinSurfaces::Instance().Get(file, QSize(500, 500));
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.pixmap.cacheKey(), first.pixmap.cacheKey());

    const SkinSurface& missing = SkinSurfaces::Instance().Get(dir / "none.jpg", QSize(10, 10));
    EXPECT_FALSE(missing.loaded);
    EXPECT_NE(missing.error.find("none.jpg"), std::string::npos);
    EXPECT_EQ(missing.pixmap.toImage().pixelColor(3, 3).alpha(), 0);
}

// A skin picture is read by the format its name gives; one that is another format inside (a PNG named .bmp, a
// skin's own mix-up) is still read, and one that is no picture at all is reported by name.
TEST(SkinSurfacesTest, APictureIsReadEvenWhenItsNameSaysAnotherFormat) {
    test::TempDir dir;
    QImage green(12, 8, QImage::Format_RGB32);
    green.fill(QColor(0, 160, 0));
    ASSERT_TRUE(green.save(QString::fromStdString((dir / "png_inside.bmp").string()), "PNG"));
    QImage image;
    std::string error;
    ASSERT_TRUE(LoadSkinPicture(dir / "png_inside.bmp", &image, &error)) << error;
    EXPECT_EQ(image.size(), QSize(12, 8));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(0, 160, 0));

    test::WriteUtf16File(dir / "text.jpg", u"not a picture");
    EXPECT_FALSE(LoadSkinPicture(dir / "text.jpg", &image, &error));
    EXPECT_NE(error.find("text.jpg"), std::string::npos) << error;
}

}  // namespace
}  // namespace vornak
