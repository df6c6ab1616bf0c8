// The key dialog on the generated skin, offscreen: where its controls are, which page shows what, the key
// capture through the window's own key events, where it opens, and pictures of each page.
#include "assign/view/vornak_dlg_composite.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "assign/dialog_placement.h"
#include "tests/support/config_builders.h"
#include "tests/support/fake_macro_page.h"
#include "tests/support/shots.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

std::filesystem::path Skins() {
    return std::filesystem::path(VORNAK_BIN_DIR) / "Skins";
}

// The macro page's widgets as the dialog sees them: a label where the macro list goes.
class StandInMacroWidgets : public MacroPageWidgets {
  public:
    explicit StandInMacroWidgets(const MacroPageContext& context) : label(new QLabel(&context.dialog)) {
        PlaceControl(*label, context.dialog.layout(), kButtonInfoSection, u"FUNC_MACRO_LIST");
        label->setStyleSheet("color: #e4e4e4; background: transparent;");
        label->hide();
        edited = context.edited;
    }
    void SetShown(bool shown) override {
        label->setVisible(shown);
        shownCalls.push_back(shown);
    }
    void Refresh() override { ++refreshes; }
    QLabel* label;
    std::function<void()> edited;
    std::vector<bool> shownCalls;
    int refreshes = 0;
};

class CompositeDialogTest : public ::testing::Test {
  protected:
    CompositeDialogTest() {
        texts.LoadLanguageTexts(Skins() / "language.ini");
        dialog = std::make_unique<Vornak_DlgComposite>(
            model, texts, CompositeDialogFiles{Skins() / "Composite.ini", Skins(), {}}, nullptr,
            [this](const MacroPageContext& context) {
                auto widgets = std::make_unique<StandInMacroWidgets>(context);
                macroWidgets = widgets.get();
                return widgets;
            });
        dialog->SetHelpOpener([this] { ++helpOpened; });
        dialog->SetOnScreenKeyboard(std::filesystem::path("/usr/bin/onboard"));
    }
    ~CompositeDialogTest() override { dialog->CloseAsCancel(); }

    bool Open(uint16_t buttonId, bool layerB = false, QRect button = QRect(40, 40, 36, 36)) {
        if (!dialog->OpenFor(buttonId, layerB, button)) return false;
        QApplication::setActiveWindow(dialog.get());
        return QTest::qWaitForWindowActive(dialog.get());
    }
    void Click(uint16_t id) { QTest::mouseClick(dialog->button(id), Qt::LeftButton); }
    void Type(Qt::Key key) { QTest::keyClick(dialog->windowHandle(), key); }
    ConfigEntry Entry(int slot) {
        std::lock_guard lock(store.lockA());
        return store.edit().image.entry(0, slot);
    }
    void Shot(const char* name) { test::SaveShot(*dialog, QStringLiteral("keydlg_") + name); }

    ConfigStore store;
    StoreDialogHost host{store};
    test::FakeMacroPage macroPage;
    LanguageTexts texts;
    KeyDialogModel model{host, macroPage, texts};
    std::unique_ptr<Vornak_DlgComposite> dialog;
    StandInMacroWidgets* macroWidgets = nullptr;
    int helpOpened = 0;
};

TEST_F(CompositeDialogTest, ControlsSitWhereTheSkinPutsThem) {
    ASSERT_TRUE(Open(1058));
    const SkinLayout& layout = dialog->layout();
    const std::pair<uint16_t, std::u16string_view> buttons[] = {
        {1033, u"CONTROL_MASK"},  {1131, u"CONTROL_TITLE"},    {1132, u"CONTROL_OSK"},
        {1032, u"CONTROL_CLEAR"}, {1028, u"CONTROL_KEY"},      {1029, u"CONTROL_MACRO"},
        {1030, u"CONTROL_MEDIA"}, {1031, u"CONTROL_FUNCTION"}, {1015, u"CONTROL2_APPLY"},
        {1, u"CONTROL_OK"},       {2, u"CONTROL_CANCEL"}};
    for (const auto& [id, key] : buttons) {
        const SkinRect r = layout.Rect(key);
        ASSERT_NE(r, SkinRect{}) << QString::fromStdU16String(std::u16string(key)).toStdString();
        EXPECT_EQ(dialog->button(id)->geometry(), QRect(r.x, r.y, r.w, r.h)) << id;
        EXPECT_EQ(dialog->button(id)->originX(), r.x);
    }
    auto at = [&](std::u16string_view key) {
        const SkinRect r = layout.Rect(key);
        return QRect(r.x, r.y, r.w, r.h);
    };
    EXPECT_EQ(dialog->capturedKeyBox()->geometry(), at(u"FUNC_KEY_INPUT"));
    EXPECT_EQ(dialog->mediaList()->geometry(), at(u"FUNC_MEDIA_SELECT"));
    EXPECT_EQ(dialog->functionList()->geometry(), at(u"FUNC_FUNCTION_SELECT"));
    EXPECT_EQ(dialog->label(1201)->geometry(), at(u"TISHI_SINGLE_STATIC"));
    EXPECT_EQ(dialog->label(1199)->text(), QString::fromStdU16String(texts[TextId::KEY_SETTING_TISHI]));
    EXPECT_EQ(dialog->button(1)->text(), QString::fromStdU16String(texts[TextId::MACRO_OK]));
    EXPECT_EQ(dialog->size(), QSize(560, 440));
}

TEST_F(CompositeDialogTest, EachPageShowsOnlyItsControls) {
    ASSERT_TRUE(Open(1058));
    auto shown = [&] {
        return std::vector<bool>{dialog->capturedKeyBox()->isVisible(), dialog->mediaList()->isVisible(),
                                 dialog->functionList()->isVisible(), macroWidgets->label->isVisible()};
    };
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false, false}));
    EXPECT_TRUE(dialog->keyHook().installed());
    Shot("page_single_key.png");
    Click(kCtlMacroPage);
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, true}));
    EXPECT_FALSE(dialog->keyHook().installed());
    EXPECT_TRUE(dialog->button(kCtlApply)->isEnabled());
    Shot("page_macro.png");
    Click(kCtlMediaPage);
    EXPECT_EQ(shown(), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(dialog->mediaList()->count(), 18);
    EXPECT_EQ(dialog->mediaList()->itemText(1), QString::fromStdU16String(texts[TextId::MEDIA_PALY_PAUSE_2]));
    EXPECT_TRUE(dialog->mediaList()->hasFocus());
    Shot("page_media.png");
    Click(kCtlFunctionPage);
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(dialog->functionList()->count(), 11);
    Shot("page_function.png");
    Click(kCtlClear);
    EXPECT_EQ(model.page(), DialogPage::Default);
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false, false}));
    EXPECT_TRUE(dialog->capturedKeyBox()->text().isEmpty());
}

TEST_F(CompositeDialogTest, AKeyPressedIntoTheWindowIsCapturedAndOkWritesIt) {
    ASSERT_TRUE(Open(1058));
    EXPECT_FALSE(dialog->button(kCtlApply)->isEnabled());
    Type(Qt::Key_Escape);  // captured like any other key; it does not close the dialog
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(model.capturedKey(), 0x001);
    Type(Qt::Key_B);
    EXPECT_EQ(dialog->capturedKeyBox()->text(), "B");
    EXPECT_TRUE(dialog->button(kCtlApply)->isEnabled());
    Shot("captured_key.png");
    Click(kCtlApply);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Entry(0x01E), MakeEntry(AssignmentKind::Key, 0x030));
    Type(Qt::Key_F5);
    Click(kCtlOk);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Entry(0x01E), MakeEntry(AssignmentKind::Key, 0x03F));
    EXPECT_FALSE(dialog->keyHook().installed());
    EXPECT_TRUE(host.modified());
}

TEST_F(CompositeDialogTest, EnterAndEscapeNeverCloseAndF1OpensHelpOffTheCapture) {
    ASSERT_TRUE(Open(1058));
    Click(kCtlMediaPage);
    Type(Qt::Key_Escape);
    Type(Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(dialog.get(), Qt::Key_F1);
    EXPECT_EQ(helpOpened, 1);
    macroPage.StartRecording();
    QTest::keyClick(dialog.get(), Qt::Key_F1);
    EXPECT_EQ(helpOpened, 1);
    macroPage.StopRecording();
    // On the single-key page F1 is a key to capture, not the help.
    Click(kCtlSingleKeyPage);
    Type(Qt::Key_F1);
    EXPECT_EQ(helpOpened, 1);
    EXPECT_EQ(model.capturedKey(), 0x03B);
}

TEST_F(CompositeDialogTest, MediaAndFunctionListsWriteTheirRows) {
    ASSERT_TRUE(Open(1075));
    Click(kCtlMediaPage);
    dialog->mediaList()->setCurrentIndex(7);
    emit dialog->mediaList()->activated(7);
    Click(kCtlOk);
    EXPECT_EQ(Entry(0x030), MakeEntry(AssignmentKind::Media, 7));
    ASSERT_TRUE(Open(1075));
    EXPECT_EQ(dialog->mediaList()->currentIndex(), 7);
    EXPECT_TRUE(dialog->mediaList()->isVisible());
    Click(kCtlFunctionPage);
    emit dialog->functionList()->activated(4);
    Click(kCtlOk);
    EXPECT_EQ(Entry(0x030), MakeEntry(AssignmentKind::Function, 4));
}

TEST_F(CompositeDialogTest, TheMacroEditorShowsOnlyItsPage) {
    {
        std::lock_guard lock(store.lockA());
        store.edit().macros = {MakeMacro(u"Combo", 1)};
    }
    ASSERT_TRUE(Open(kMacroOnlyButtonId));
    EXPECT_TRUE(macroWidgets->label->isVisible());
    for (uint16_t id : {kCtlSingleKeyPage, kCtlMediaPage, kCtlFunctionPage, kCtlClear, uint16_t(1131)})
        EXPECT_FALSE(dialog->button(id)->isEnabled()) << id;
    EXPECT_TRUE(dialog->button(kCtlMacroPage)->isEnabled());
    for (uint16_t id : {1201, 1202, 1203})
        EXPECT_FALSE(dialog->label(id)->isVisible()) << id;
    EXPECT_EQ(dialog->label(1199)->text(), QString::fromStdU16String(texts[TextId::MACRO_EDIT_TISHI]));
    EXPECT_FALSE(dialog->keyHook().installed());
    Shot("macro_only.png");
    Click(kCtlMediaPage);  // disabled: nothing happens
    EXPECT_EQ(model.page(), DialogPage::Macro);
    Click(kCtlOk);
    EXPECT_EQ(Entry(264), MakeEntry(AssignmentKind::Macro, 1, 1));
}

TEST_F(CompositeDialogTest, TheMacroPagesEditsEnableApply) {
    ASSERT_TRUE(Open(1058));
    Click(kCtlMacroPage);
    Click(kCtlApply);
    EXPECT_FALSE(dialog->button(kCtlApply)->isEnabled());
    macroWidgets->edited();
    EXPECT_TRUE(dialog->button(kCtlApply)->isEnabled());
    EXPECT_GE(macroWidgets->refreshes, 2);
}

TEST_F(CompositeDialogTest, OpensBesideTheButtonNearEachCornerOfItsScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size(560, 440);
    const QRect corners[] = {
        QRect(screen.left() + 10, screen.top() + 10, 36, 36),
        QRect(screen.right() - 45, screen.top() + 10, 36, 36),
        QRect(screen.left() + 10, screen.bottom() - 45, 36, 36),
        QRect(screen.right() - 45, screen.bottom() - 45, 36, 36),
    };
    for (const QRect& b : corners) {
        ASSERT_TRUE(Open(1058, false, b));
        const ScreenPoint expected =
            PlaceKeyDialog({b.x(), b.y(), b.width(), b.height()}, size.width(), size.height(),
                           {screen.x(), screen.y(), screen.width(), screen.height()});
        EXPECT_EQ(dialog->placedAt(), QPoint(expected.x, expected.y));
        EXPECT_EQ(dialog->pos(), dialog->placedAt());
        if (screen.width() >= 2 * size.width() && screen.height() >= 2 * size.height()) {
            // On a screen with room on every side the dialog touches the button's corner and stays inside.
            EXPECT_TRUE(screen.contains(QRect(dialog->pos(), size)));
            EXPECT_FALSE(QRect(dialog->pos(), size).intersects(b));
        }
        dialog->CloseAsCancel();
    }
}

TEST_F(CompositeDialogTest, ClosingAsCancelDropsTheChoiceAndTellsTheWindow) {
    ASSERT_TRUE(Open(1058));
    std::vector<uint16_t> closed;
    QObject::connect(dialog.get(), &Vornak_DlgComposite::keyDialogClosed,
                     [&](uint16_t id) { closed.push_back(id); });
    Type(Qt::Key_C);
    dialog->CloseAsCancel();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(model.isOpen());
    EXPECT_EQ(closed, std::vector<uint16_t>{1058});
    EXPECT_EQ(Entry(0x01E), MakeEntry(AssignmentKind::Default, 0));
    EXPECT_FALSE(dialog->keyHook().installed());
    EXPECT_FALSE(dialog->keyHook().grabbing());
}

TEST(HookKeyEvent, EvdevCodesGiveTheSetOneKeys) {
    auto event = [](int qtKey, quint32 evdev, QEvent::Type type = QEvent::KeyPress, bool repeat = false) {
        const QKeyEvent e(type, qtKey, Qt::NoModifier, evdev + 8, 0, 0, QString(), repeat);
        return HookKeyEventFrom(e, true);
    };
    EXPECT_EQ(KeyEventToKeyCode(event(Qt::Key_AltGr, 100).vk, event(Qt::Key_AltGr, 100).flags), 0x138);
    EXPECT_EQ(KeyEventToKeyCode(0xFF, event(Qt::Key_Control, 97).flags), 0x11D);
    EXPECT_EQ(KeyEventToKeyCode(0xFF, event(Qt::Key_Home, 102).flags), 0x147);
    // Right Super is told from left Super by its scan code, whatever Qt calls it.
    EXPECT_EQ(event(Qt::Key_Meta, 126).vk, 0x5C);
    EXPECT_EQ(event(Qt::Key_Meta, 125).vk, 0x5B);
    const HookKeyEvent release = event(Qt::Key_A, 30, QEvent::KeyRelease);
    EXPECT_TRUE(release.released());
    // X11's auto-repeat sends a release before each repeated press: both are repeats.
    const HookKeyEvent repeatRelease = event(Qt::Key_A, 30, QEvent::KeyRelease, true);
    EXPECT_FALSE(repeatRelease.released());
    EXPECT_TRUE(repeatRelease.autoRepeat());
    // Without a scan code the Qt key gives the virtual key.
    const QKeyEvent bare(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    EXPECT_EQ(KeyEventToKeyCode(HookKeyEventFrom(bare, true).vk, HookKeyEventFrom(bare, true).flags), 0x14B);
    const QKeyEvent keypad(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier);
    EXPECT_EQ(HookKeyEventFrom(keypad, false).vk, 0x67);
}

}  // namespace
}  // namespace vornak
