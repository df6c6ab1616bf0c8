#include "skin/png_button.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "skin/placement.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

QPixmap Solid(QColor colour) {
    QPixmap p(200, 200);
    p.fill(colour);
    return p;
}

// Each pixel says where it is: red = x, green = y.
QPixmap Coordinates() {
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, y, 0));
    }
    return QPixmap::fromImage(image);
}

QColor PixelOf(QWidget& w, int x = 5, int y = 5) {
    return w.grab().toImage().pixelColor(x, y);
}

const QColor kNormal(10, 0, 0), kOver(20, 0, 0), kDown(30, 0, 0), kDisabled(40, 0, 0), kSelected(50, 0, 0),
    kUnchecked(60, 0, 0), kChecked(70, 0, 0);

class PngButton : public ::testing::Test {
  protected:
    PngButton() {
        button_.resize(20, 10);
        button_.SetStateSurfaces(1, 1, Solid(kNormal), Solid(kOver), Solid(kDown), Solid(kDisabled),
                                 Solid(kSelected));
    }
    void Enter() {
        QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
        QCoreApplication::sendEvent(&button_, &enter);
    }
    void Leave() {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&button_, &leave);
    }
    void Mouse(QEvent::Type type) {
        QMouseEvent e(type, QPointF(4, 4), QPointF(4, 4), QPointF(4, 4), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&button_, &e);
    }
    CPngButton button_;
};

TEST_F(PngButton, ShowsTheSurfaceOfEachState) {
    EXPECT_EQ(PixelOf(button_), kNormal);
    button_.SetSelected(true);
    EXPECT_EQ(PixelOf(button_), kSelected);
    Enter();
    EXPECT_TRUE(button_.hovered());
    EXPECT_EQ(PixelOf(button_), kOver);
    button_.setDown(true);
    EXPECT_EQ(PixelOf(button_), kDown);
    button_.setDown(false);
    Leave();
    EXPECT_EQ(PixelOf(button_), kSelected);
}

TEST_F(PngButton, DisabledShowsItsDisabledSurfaceEvenWhileHoveredOrChecked) {
    Enter();
    button_.SetSelected(true);
    button_.setEnabled(false);
    EXPECT_EQ(PixelOf(button_), kDisabled);
    button_.SetCheckSurfaces(Solid(kUnchecked), Solid(kChecked), true, true);
    Enter();
    EXPECT_EQ(PixelOf(button_), kDisabled);
    button_.setEnabled(true);
    EXPECT_EQ(PixelOf(button_), kChecked);
    button_.SetCheckSurfaces(Solid(kUnchecked), Solid(kChecked), true, false);
    EXPECT_EQ(PixelOf(button_), kUnchecked);
}

TEST_F(PngButton, NewSurfacesForgetHoverAndPress) {
    Enter();
    button_.setDown(true);
    button_.SetSurfaces(Solid(kNormal), Solid(kOver), Solid(kDown), Solid(kDisabled), Solid(kSelected));
    EXPECT_FALSE(button_.hovered());
    EXPECT_FALSE(button_.isDown());
    EXPECT_EQ(PixelOf(button_), kNormal);
}

TEST_F(PngButton, CropsFromOnePixelUpAndLeftOfTheOrigin) {
    const QPixmap map = Coordinates();
    button_.SetStateSurfaces(10, 20, map, map, map, map, map);
    EXPECT_EQ(PixelOf(button_, 0, 0), QColor(9, 19, 0));
    EXPECT_EQ(PixelOf(button_, 19, 9), QColor(28, 28, 0));
    button_.SetOrigin(101, 51);
    EXPECT_EQ(PixelOf(button_, 0, 0), QColor(100, 50, 0));
}

TEST_F(PngButton, OutlineModeDrawsAFrameInsteadOfThePicture) {
    button_.resize(30, 30);
    button_.SetOutline(QColor(0, 200, 0), 150, true);
    EXPECT_EQ(button_.outlinePercent(), 100);
    const QImage shot = button_.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 15), QColor(0, 200, 0));
    EXPECT_NE(shot.pixelColor(15, 15), kNormal);  // the picture is not drawn inside the frame
    button_.SetOutline(QColor(0, 200, 0), 10, false);
    EXPECT_EQ(PixelOf(button_, 15, 15), kNormal);
}

TEST_F(PngButton, CaptionIsDrawnOverThePictureOnlyWhenTextIsOn) {
    button_.resize(60, 24);
    button_.setText(QStringLiteral("WWW"));
    const QImage plain = button_.grab().toImage();
    button_.SetTextStyle(true, 12, QStringLiteral("DejaVu Sans"), QColor(255, 255, 255));
    const QImage captioned = button_.grab().toImage();
    int white = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 60; ++x) {
            EXPECT_EQ(plain.pixelColor(x, y), kNormal);
            if (captioned.pixelColor(x, y).green() > 200) ++white;
        }
    }
    EXPECT_GT(white, 10);
    // Margins push the centred caption aside.
    button_.resize(120, 24);
    button_.SetTextMargins(70, 0, 0, 0);
    const QImage pushed = button_.grab().toImage();
    int leftWhite = 0, rightWhite = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 120; ++x)
            (x < 60 ? leftWhite : rightWhite) += pushed.pixelColor(x, y).green() > 200;
    }
    EXPECT_EQ(leftWhite, 0);
    EXPECT_GT(rightWhite, 10);
}

TEST_F(PngButton, PaintCallbackSaysWhetherTheNormalSurfaceWasShown) {
    std::vector<bool> calls;
    button_.SetPaintCallback([&](CPngButton* b, bool normal) {
        EXPECT_EQ(b, &button_);
        calls.push_back(normal);
    });
    button_.grab();
    button_.SetSelected(true);
    button_.grab();
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
}

TEST_F(PngButton, DoubleClickFiresTwoClicks) {
    int clicks = 0;
    QObject::connect(&button_, &QAbstractButton::clicked, [&] { ++clicks; });
    // As Windows reports it: down, up, double click, up.
    Mouse(QEvent::MouseButtonPress);
    Mouse(QEvent::MouseButtonRelease);
    Mouse(QEvent::MouseButtonDblClick);
    Mouse(QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 2);
    // As Qt reports it: down, up, down, double click, up.
    Mouse(QEvent::MouseButtonPress);
    Mouse(QEvent::MouseButtonRelease);
    Mouse(QEvent::MouseButtonPress);
    Mouse(QEvent::MouseButtonDblClick);
    Mouse(QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 4);
}

TEST_F(PngButton, ToolTipKeepsItsTextAndIgnoresEmptyOnes) {
    button_.SetToolTipText(QStringLiteral("Help"));
    EXPECT_EQ(button_.toolTipText(), QStringLiteral("Help"));
    EXPECT_TRUE(button_.toolTipActive());
    button_.SetToolTipText(QString(), false);
    EXPECT_EQ(button_.toolTipText(), QStringLiteral("Help"));
    EXPECT_TRUE(button_.toolTipActive());
    button_.SetToolTipText(QStringLiteral("Close"), false);
    EXPECT_FALSE(button_.toolTipActive());
}

class Placement : public ::testing::Test {
  protected:
    SkinLayout Layout(std::u16string_view text) {
        test::WriteUtf16File(dir_ / "Main.ini", text);
        return SkinLayout::Load(dir_ / "Main.ini");
    }
    test::TempDir dir_;
};

TEST_F(Placement, ImageButtonGoesToItsRectangleWithItsOrigin) {
    const QPixmap map = Coordinates();
    const SkinLayout layout = Layout(u"[BUTTONINFO]\r\nKEY_01E=10,20,30,40\r\nKEY_030=1,1,50,20\r\n");
    CPngButton a, b, c;
    PlaceImageButton(a, layout, kButtonInfoSection, u"KEY_01E", {map, map, map, map, map});
    EXPECT_EQ(a.geometry(), QRect(10, 20, 30, 40));
    EXPECT_TRUE(a.isEnabled());
    EXPECT_EQ(PixelOf(a, 0, 0), QColor(9, 19, 0));
    PlaceImageButton(b, layout, kButtonInfoSection, u"KEY_030", {map, map, map, map, map});
    EXPECT_EQ(b.geometry(), QRect(1, 1, 50, 20));
    EXPECT_FALSE(b.isEnabled());
    PlaceImageButton(c, layout, kButtonInfoSection, u"KEY_999", {map, map, map, map, map});
    EXPECT_EQ(c.geometry(), QRect(1, 1, 1, 1));
    EXPECT_FALSE(c.isEnabled());
}

TEST_F(Placement, ControlsMoveWithOrWithoutTheirSize) {
    const SkinLayout layout = Layout(u"[BUTTONINFO]\r\nCONTROL_LightSlider=30,40,120,24\r\n");
    QWidget moved, kept;
    moved.resize(5, 5);
    kept.resize(77, 33);
    PlaceControl(moved, layout, kButtonInfoSection, u"CONTROL_LightSlider");
    PlaceControlKeepSize(kept, layout, kButtonInfoSection, u"CONTROL_LightSlider");
    EXPECT_EQ(moved.geometry(), QRect(30, 40, 120, 24));
    EXPECT_EQ(kept.geometry(), QRect(30, 40, 77, 33));
}

TEST_F(Placement, ArrowTakesPlaceFromOneKeyAndOriginFromAnother) {
    const QPixmap map = Coordinates();
    const SkinLayout layout =
        Layout(u"[BUTTONINFO]\r\nLEFT_ARROW=100,120,12,16\r\n[BUTTONINFO2]\r\nUP_ARROW_LEFT2=41,9,12,16\r\n");
    CPngButton arrow;
    PlaceImageButtonFrom(arrow, layout, u"LEFT_ARROW", kButtonInfo2Section, u"UP_ARROW_LEFT2", map);
    EXPECT_EQ(arrow.geometry(), QRect(100, 120, 12, 16));
    EXPECT_EQ(PixelOf(arrow, 0, 0), QColor(40, 8, 0));
    arrow.setDown(true);
    EXPECT_EQ(PixelOf(arrow, 0, 0), QColor(40, 8, 0));
}

}  // namespace
}  // namespace vornak
