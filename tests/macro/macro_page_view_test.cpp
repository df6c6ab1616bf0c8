#include "macro/view/macro_page_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include "assign/assignment.h"
#include "platform/tick_count.h"
#include "skin/base_dialog.h"
#include "skin/skin_surfaces.h"
#include "tests/support/config_builders.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using test::MakeMacro;

constexpr KeyCode kA = 0x01E, kB = 0x030, kLeftWin = 0x15B;

// The tests' key events carry their set-1 key as the native scan code.
std::optional<RecordedKeyStroke> ScanCodeStroke(const QKeyEvent& event) {
    if (event.nativeScanCode() == 0) return std::nullopt;
    RecordedKeyStroke stroke;
    stroke.flags = event.nativeScanCode() << 16;
    if (event.type() == QEvent::KeyRelease) stroke.flags |= 3u << 30;
    if (event.type() == QEvent::KeyPress && event.isAutoRepeat()) stroke.flags |= 1u << 30;
    return stroke;
}

std::filesystem::path Skins() {
    return test::BinDir() / "Skins";
}

class MacroPageView : public ::testing::Test {
  protected:
    MacroPageView() {
        texts.LoadLanguageTexts(Skins() / "language.ini");
        std::string error;
        EXPECT_TRUE(dialog.TryLoadSkin(&error)) << error;
        MacroPageSkin skin;
        skin.layout = &dialog.layout();
        skin.buttons = Surfaces("macro_disable.jpg");
        skin.record = Surfaces("macro_other.jpg");
        // The page's background, as the key dialog shows it under the macro page.
        PlaceImageButton(mask, dialog.layout(), kButtonInfoSection, u"CONTROL_MASK", skin.buttons);
        page = std::make_unique<CMacroPageView>(dialog, editor, texts, skin, ScanCodeStroke);
        const std::vector<MacroRecord> list = {MakeMacro(u"Combo", 1, {{30, 0x01D, 0}, {0, 0x01D, 1}}),
                                               MakeMacro(u"Burst", 2)};
        editor.Load(list);
        editor.Enter(1, true);
        page->SetVisible(true);
        dialog.show();
        ticks.Set(1000);
    }

    ButtonSurfaces Surfaces(const char* disabled) {
        auto get = [this](const char* name) {
            return SkinSurfaces::Instance().Get(Skins() / name, dialog.size()).pixmap;
        };
        return {get("macro_normal.jpg"), get("macro_over.jpg"), get("macro_down.jpg"),
                get("macro_disable.jpg"), get(disabled)};
    }

    // A key event to the page's action list, the way the window system delivers it.
    void Key(QEvent::Type type, KeyCode code, uint32_t tick, QWidget* to = nullptr) {
        ticks.Set(tick);
        QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, code, 0, 0);
        QApplication::sendEvent(to != nullptr ? to : page->actionList(), &event);
    }
    void Tap(KeyCode code, uint32_t down, uint32_t up) {
        Key(QEvent::KeyPress, code, down);
        Key(QEvent::KeyRelease, code, up);
    }
    CPngButton* Button(int id) const { return static_cast<CPngButton*>(page->control(id)); }
    QString Cell(int row, int column) const { return page->actionList()->cellText(row, column); }

    LanguageTexts texts;
    test::ScriptedPrompts prompts;
    ManualTicks ticks;
    MacroEditor editor{texts, prompts, nullptr, [this] { return ticks.now(); }, IsMultimediaKey};
    CBaseDialog dialog{0, nullptr, Skins() / "Composite.ini", Skins()};
    CPngButton mask{&dialog};
    std::unique_ptr<CMacroPageView> page;
};

TEST_F(MacroPageView, ControlsSitWhereTheSkinPutsThem) {
    const struct {
        int id;
        const char16_t* key;
    } places[] = {{kCtlMacroAdd, u"FUNC_MACRO_ADD"},
                  {kCtlMacroDelete, u"FUNC_MACRO_DELETE"},
                  {kCtlMacroActions, u"FUNC_MACRO_LIST2"},
                  {kCtlMacroRecord, u"FUNC_MACRO_RECORD"},
                  {kCtlMacroDeleteAction, u"FUNC_MACRO_DELETE2"},
                  {kCtlMacroClearActions, u"FUNC_MACRO_CLEAR"},
                  {kCtlMacroTop, u"FUNC_MACRO_UP_TOP"},
                  {kCtlMacroUp, u"FUNC_MACRO_UP"},
                  {kCtlMacroDown, u"FUNC_MACRO_DOWN"},
                  {kCtlMacroBottom, u"FUNC_MACRO_DOWN_BOTTOM"},
                  {kCtlMacroRecordDelay, u"FUNC_MACRO_RECORD_DELAY"},
                  {kCtlMacroCycles, u"FUNC_MACRO_CYCLES"},
                  {kCtlMacroList, u"FUNC_MACRO_LIST"},
                  {kCtlMacroCyclesLabel, u"FUNC_MACRO_CYCLES_PROMPT"},
                  {kCtlMacroRecordDelayLabel, u"FUNC_MACRO_RECORD_DELAY2"},
                  {kCtlMacroNameLabel, u"MARCO_NAME_SETTING"}};
    for (const auto& p : places) {
        SCOPED_TRACE(QString::fromStdU16String(p.key).toStdString());
        const std::optional<SkinRect> r = dialog.layout().FindRect(kButtonInfoSection, p.key);
        ASSERT_TRUE(r) << "the default skin places every control of the page";
        QWidget* control = page->control(p.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), QRect(r->x, r->y, r->w, r->h));
        EXPECT_TRUE(control->isVisible());
    }
    const SkinRect meter = dialog.layout().Rect(u"FUNC_MACRO_MEMORY");
    EXPECT_EQ(page->memoryMeter()->geometry(), QRect(meter.x, meter.y, meter.w, meter.h));
    EXPECT_EQ(Button(kCtlMacroRecord)->text(), QString::fromStdU16String(texts[TextId::A_RECORD]));
    EXPECT_EQ(Button(kCtlMacroBottom)->text(), QString::fromStdU16String(texts[TextId::A_BOTTOM]));
    EXPECT_EQ(static_cast<QLabel*>(page->control(kCtlMacroCyclesLabel))->text(),
              QString::fromStdU16String(texts[TextId::MACRO_CYCLES]));
    EXPECT_EQ(page->actionList()->headerItem()->text(2),
              QString::fromStdU16String(texts[TextId::MACRO_DELAY_MS]));
    EXPECT_EQ(page->macroList()->currentText(), QStringLiteral("Combo"));
    EXPECT_EQ(page->cyclesBox()->text(), QStringLiteral("1"));
    ASSERT_EQ(page->actionList()->rowCount(), 2);
    EXPECT_TRUE(page->actionList()->cellGrey(0, 0));
    EXPECT_FALSE(page->actionList()->cellGrey(0, 2));

    page->SetVisible(false);
    for (const auto& p : places)
        EXPECT_FALSE(page->control(p.id)->isVisible());
}

TEST_F(MacroPageView, RecordsTheDialogsKeysIntoTheShownMacro) {
    page->actionList()->SelectRow(1);
    QTest::mouseClick(Button(kCtlMacroRecord), Qt::LeftButton);
    ASSERT_TRUE(editor.recording());
    EXPECT_EQ(Button(kCtlMacroRecord)->text(),
              QString::fromStdU16String(texts[TextId::MACRO_ACTION_STOP_RECORD]));
    EXPECT_TRUE(Button(kCtlMacroRecord)->selected());
    EXPECT_FALSE(page->macroList()->isEnabled());
    EXPECT_FALSE(Button(kCtlMacroAdd)->isEnabled());
    EXPECT_EQ(QWidget::keyboardGrabber(), &dialog);

    Tap(kA, 1100, 1200);
    Key(QEvent::KeyPress, kLeftWin, 1300);
    Key(QEvent::KeyRelease, kLeftWin, 1400);
    ASSERT_EQ(page->actionList()->rowCount(), 6);
    EXPECT_EQ(Cell(2, 0), QStringLiteral("A"));
    EXPECT_EQ(Cell(3, 1), QString::fromUtf8("  \u2191"));
    EXPECT_EQ(editor.rows()[4].action.keyCode, kLeftWin);
    // Fixed delays: every row but the last waits 50 ms, the old trailing delay moves to the end.
    for (int row = 1; row < 5; ++row)
        EXPECT_EQ(Cell(row, 2), QStringLiteral("50")) << row;
    EXPECT_EQ(Cell(5, 2), QStringLiteral("0"));
    EXPECT_EQ(page->actionList()->selectedRow(), 5);
    EXPECT_TRUE(page->actionList()->cellGrey(5, 0));

    QDir().mkpath(QStringLiteral("/work/shots/macro"));
    dialog.grab().save(QStringLiteral("/work/shots/macro/page_recording.png"));

    QTest::mouseClick(Button(kCtlMacroRecord), Qt::LeftButton);
    EXPECT_FALSE(editor.recording());
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    EXPECT_TRUE(page->macroList()->isEnabled());
    Tap(kB, 2000, 2100);  // reaches the list as an ordinary key
    EXPECT_EQ(page->actionList()->rowCount(), 6);
}

TEST_F(MacroPageView, RecordingStopsWhenTheDialogLosesTheFocusIsHiddenOrTheScreenLocks) {
    const auto start = [this] {
        editor.ToggleRecording();
        ASSERT_TRUE(editor.recording());
        Tap(kA, 1010, 1020);
    };
    start();
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&dialog, &deactivate);
    EXPECT_FALSE(editor.recording());
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    EXPECT_EQ(Button(kCtlMacroRecord)->text(), QString::fromStdU16String(texts[TextId::MACRO_ACTION_RECORD]));
    const size_t rows = editor.rows().size();
    Tap(kB, 1100, 1200);  // typed after the focus went elsewhere: not recorded
    EXPECT_EQ(editor.rows().size(), rows);

    start();
    page->guard().ScreenLocked();
    EXPECT_FALSE(editor.recording());
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);

    start();
    dialog.hide();
    EXPECT_FALSE(editor.recording());
    dialog.show();

    start();
    page->SetVisible(false);  // another page
    EXPECT_FALSE(editor.recording());
}

TEST_F(MacroPageView, KeysOfAnotherWindowAreNeverRecorded) {
    QWidget other;
    other.show();
    editor.ToggleRecording();
    const size_t rows = editor.rows().size();
    Tap(kA, 1010, 1020);
    ASSERT_EQ(editor.rows().size(), rows + 2);
    Key(QEvent::KeyPress, kB, 1030, &other);
    Key(QEvent::KeyRelease, kB, 1040, &other);
    EXPECT_EQ(editor.rows().size(), rows + 2);
}

TEST_F(MacroPageView, DelayCellOpensOnTheSelectedRowAndStoresTheRoundedValue) {
    CReportList* list = page->actionList();
    const QPoint cell = list->cellRect(0, 2).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);  // selects
    EXPECT_FALSE(list->editorOpen());
    editor.ToggleRecording();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);  // opens, and ends the recording
    ASSERT_TRUE(list->editorOpen());
    EXPECT_FALSE(editor.recording());
    auto* box = qobject_cast<QLineEdit*>(list->editor());
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("12345"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(list->editorOpen());
    EXPECT_EQ(editor.rows()[0].action.delay, 12340u);
    EXPECT_EQ(Cell(0, 2), QStringLiteral("12340"));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
    box = qobject_cast<QLineEdit*>(list->editor());
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("99x"));  // only digits get in
    EXPECT_EQ(box->text(), QStringLiteral("99"));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(list->editorOpen());
    EXPECT_EQ(editor.rows()[0].action.delay, 12340u);
}

TEST_F(MacroPageView, KeyCellDropDownChangesTheRowsKey) {
    CReportList* list = page->actionList();
    list->SelectRow(0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellRect(0, 0).center());
    auto* box = qobject_cast<QComboBox*>(list->editor());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), static_cast<int>(kListPositionCount));
    EXPECT_EQ(box->currentIndex(), editor.KeyChoice(0));
    EXPECT_EQ(box->maxVisibleItems(), 20);
    const int a = KeyCodeToListPosition(kA);
    box->activated(a);  // as if the user picked A in the open list
    QApplication::processEvents();
    EXPECT_EQ(editor.rows()[0].action.keyCode, kA);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("A"));
}

TEST_F(MacroPageView, RepeatBoxAndMeterFollowTheEdits) {
    QLineEdit* cycles = page->cyclesBox();
    cycles->selectAll();
    QTest::keyClicks(cycles, QStringLiteral("300"));
    EXPECT_EQ(cycles->text(), QStringLiteral("255"));
    EXPECT_EQ(editor.repeatCount(), 255);

    page->SetMacroCapacity(64);
    CLevelMeter* meter = page->memoryMeter();
    const MacroMemoryUse before = editor.memoryUse();
    EXPECT_EQ(meter->level(), CLevelMeter::Level::Normal);
    EXPECT_EQ(meter->amount().toStdU16String(), DescribeMacroMemory(before, texts).amount);
    // Adding a macro with a long name leaves no room for names.
    QTest::mouseClick(Button(kCtlMacroAdd), Qt::LeftButton);
    page->macroList()->lineEdit()->selectAll();
    QTest::keyClicks(page->macroList()->lineEdit(), QStringLiteral("A name too long to keep"));
    EXPECT_EQ(editor.macros().back().Name(), u"A name too long to keep");
    EXPECT_EQ(page->macroList()->itemText(2), QStringLiteral("A name too long to keep"));
    EXPECT_EQ(meter->level(), CLevelMeter::Level::Warning);
    EXPECT_EQ(meter->state().toStdU16String(), texts[TextId::MACRO_MEMORY_NO_NAMES]);

    QDir().mkpath(QStringLiteral("/work/shots/macro"));
    dialog.grab().save(QStringLiteral("/work/shots/macro/page_meter_warning.png"));
}

}  // namespace
}  // namespace vornak
