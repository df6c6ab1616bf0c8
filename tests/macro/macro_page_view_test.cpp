#include "macro/view/macro_page_view.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include "assign/assignment.h"
#include "assign/view/vornak_dlg_composite.h"
#include "platform/tick_count.h"
#include "tests/support/config_builders.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/shots.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

constexpr KeyCode kA = 0x01E, kLeftWin = 0x15B;
constexpr uint16_t kKeyButtonQ = 1044;

std::filesystem::path Skins() {
    return test::BinDir() / "Skins";
}

// The macro page in the key dialog, offscreen: the dialog's model drives the editor, the page renders it.
// Offscreen events carry no native scan code, so keys are known by their Qt key.
class MacroPageView : public ::testing::Test {
  protected:
    MacroPageView() {
        texts.LoadLanguageTexts(Skins() / "language.ini");
        {
            std::lock_guard lock(store.lockA());
            store.edit().macros = {MakeMacro(u"Combo", 1, {{30, 0x01D, 0}, {0, 0x01D, 1}}),
                                   MakeMacro(u"Burst", 2)};
            store.edit().image.setEntry(0, 0x10, MakeEntry(AssignmentKind::Macro, 1, 1));  // Q plays Combo
        }
        settings.profile = &profile;
        settings.capacity = [this] { return capacity; };
        dialog = std::make_unique<Vornak_DlgComposite>(
            model, texts, CompositeDialogFiles{Skins() / "Composite.ini", Skins(), {}}, nullptr,
            [this](const MacroPageContext& context) {
                auto widgets = MacroEditorPageFactory(editor, settings)(context);
                page = static_cast<vornak::MacroPageView*>(widgets.get());
                return widgets;
            });
        ticks.Set(1000);
    }
    ~MacroPageView() override { dialog->CloseAsCancel(); }

    void Open() {
        ASSERT_TRUE(dialog->OpenFor(kKeyButtonQ, false, QRect(40, 40, 36, 36)));
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(model.page(), DialogPage::Macro);
    }
    void Key(QEvent::Type type, Qt::Key key, uint32_t tick) {
        ticks.Set(tick);
        QKeyEvent event(type, key, Qt::NoModifier);
        QApplication::sendEvent(dialog->windowHandle(), &event);
    }
    void Tap(Qt::Key key, uint32_t down, uint32_t up) {
        Key(QEvent::KeyPress, key, down);
        Key(QEvent::KeyRelease, key, up);
    }
    CPngButton* Button(int id) const { return static_cast<CPngButton*>(page->control(id)); }
    QString Cell(int row, int column) const { return page->actionList()->cellText(row, column); }
    // The lightness of the brightest pixel of a cell's text, as the list draws it.
    int BrightestInk(int row, int column) const {
        ReportList* list = page->actionList();
        const QImage image = list->viewport()->grab().toImage();
        const QRect cell = list->cellRect(row, column).adjusted(2, 2, -2, -2);
        int brightest = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                brightest = std::max(brightest, image.pixelColor(x, y).lightness());
        return brightest;
    }
    void Shot(const char* name) { test::SaveShot(*dialog, QStringLiteral("macro_") + name); }

    test::TempDir dir;
    AppProfile profile{dir / "Vornak_Pellam.ini"};
    uint32_t capacity = 0;
    MacroPageSettings settings;
    LanguageTexts texts;
    test::ScriptedPrompts prompts;
    ManualTicks ticks;
    MacroEditor editor{texts, prompts, nullptr, [this] { return ticks.now(); }, IsMultimediaKey};
    ConfigStore store;
    StoreDialogHost host{store};
    KeyDialogModel model{host, editor, texts};
    std::unique_ptr<Vornak_DlgComposite> dialog;
    vornak::MacroPageView* page = nullptr;
};

TEST_F(MacroPageView, ControlsSitWhereTheSkinPutsThem) {
    Open();
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
        const std::optional<SkinRect> r = dialog->layout().FindRect(kButtonInfoSection, p.key);
        ASSERT_TRUE(r) << "the default skin places every control of the page";
        QWidget* control = page->control(p.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), QRect(r->x, r->y, r->w, r->h));
        EXPECT_TRUE(control->isVisible());
    }
    const SkinRect meter = dialog->layout().Rect(u"FUNC_MACRO_MEMORY");
    EXPECT_EQ(page->memoryMeter()->geometry(), QRect(meter.x, meter.y, meter.w, meter.h));
    EXPECT_EQ(Button(kCtlMacroRecord)->text(), QString::fromStdU16String(texts[TextId::A_RECORD]));
    EXPECT_EQ(Button(kCtlMacroBottom)->text(), QString::fromStdU16String(texts[TextId::A_BOTTOM]));
    EXPECT_EQ(static_cast<QLabel*>(page->control(kCtlMacroCyclesLabel))->text(),
              QString::fromStdU16String(texts[TextId::MACRO_CYCLES]));
    EXPECT_EQ(page->actionList()->headerItem()->text(2),
              QString::fromStdU16String(texts[TextId::MACRO_DELAY_MS]));
    // The key's macro is shown, with its rows.
    EXPECT_EQ(page->macroList()->currentText(), QStringLiteral("Combo"));
    EXPECT_EQ(page->cyclesBox()->text(), QStringLiteral("1"));
    ASSERT_EQ(page->actionList()->rowCount(), 2);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("Ctrl"));
    EXPECT_TRUE(page->actionList()->cellGrey(0, 0));
    EXPECT_FALSE(page->actionList()->cellGrey(0, 2));
    // And it looks grey: the list's style sheet must not paint it in the normal text colour.
    EXPECT_LT(BrightestInk(0, 0), BrightestInk(0, 2) - 40);
    // The record-delays setting was read, normalised and written back.
    EXPECT_FALSE(page->recordDelayBox()->isChecked());
    EXPECT_EQ(profile.GetString(u"RecordDelay", u""), u"0");
    Shot("page_macro.png");

    QTest::mouseClick(dialog->button(kCtlMediaPage), Qt::LeftButton);
    for (const auto& p : places)
        EXPECT_FALSE(page->control(p.id)->isVisible());
}

TEST_F(MacroPageView, RecordsTheDialogsKeysIntoTheShownMacro) {
    Open();
    page->actionList()->SelectRow(1);
    QTest::mouseClick(Button(kCtlMacroRecord), Qt::LeftButton);
    ASSERT_TRUE(editor.recording());
    EXPECT_EQ(Button(kCtlMacroRecord)->text(),
              QString::fromStdU16String(texts[TextId::MACRO_ACTION_STOP_RECORD]));
    EXPECT_TRUE(Button(kCtlMacroRecord)->selected());
    EXPECT_FALSE(page->macroList()->isEnabled());
    EXPECT_FALSE(Button(kCtlMacroAdd)->isEnabled());
    EXPECT_TRUE(dialog->keyHook().installed());
    EXPECT_TRUE(dialog->keyHook().grabbing());
    EXPECT_FALSE(model.helpAllowed());

    Tap(Qt::Key_A, 1100, 1200);
    Key(QEvent::KeyPress, Qt::Key_Super_L, 1300);
    Key(QEvent::KeyPress, Qt::Key_Super_L, 1350);  // held: a repeat of the press
    Key(QEvent::KeyRelease, Qt::Key_Super_L, 1400);
    Tap(Qt::Key_F1, 1500, 1600);  // recorded, not the help
    QTest::qWait(static_cast<int>(kReleaseHoldMs) +
                 100);  // the last release goes in once no repeat can follow
    ASSERT_EQ(page->actionList()->rowCount(), 8);
    EXPECT_EQ(Cell(2, 0), QStringLiteral("A"));
    EXPECT_EQ(Cell(3, 1), QString::fromUtf8("  \u2191"));
    EXPECT_EQ(editor.rows()[4].action.keyCode, kLeftWin);
    EXPECT_EQ(editor.rows()[5].action.keyCode, kLeftWin);
    EXPECT_EQ(editor.rows()[5].action.release, 1);
    // Fixed delays: every row but the last waits 50 ms, the old trailing delay moves to the end.
    for (int row = 1; row < 7; ++row)
        EXPECT_EQ(Cell(row, 2), QStringLiteral("50")) << row;
    EXPECT_EQ(Cell(7, 2), QStringLiteral("0"));
    EXPECT_EQ(page->actionList()->selectedRow(), 7);
    EXPECT_TRUE(page->actionList()->cellGrey(7, 0));
    EXPECT_TRUE(model.applyEnabled());
    Shot("page_recording.png");

    QTest::mouseClick(Button(kCtlMacroRecord), Qt::LeftButton);
    EXPECT_FALSE(editor.recording());
    EXPECT_FALSE(dialog->keyHook().installed());
    EXPECT_TRUE(page->macroList()->isEnabled());
    Tap(Qt::Key_B, 2000, 2100);  // an ordinary key again
    EXPECT_EQ(page->actionList()->rowCount(), 8);

    // Apply writes the recorded macro back into the edit copy, and the key plays it.
    QTest::mouseClick(dialog->button(kCtlApply), Qt::LeftButton);
    std::lock_guard lock(store.lockA());
    ASSERT_EQ(store.edit().macros.size(), 2u);
    EXPECT_EQ(store.edit().macros[0].actionCount, 8);
    EXPECT_EQ(store.edit().macros[0].actions[2].keyCode, kA);
    EXPECT_EQ(store.edit().image.entry(0, 0x10), MakeEntry(AssignmentKind::Macro, 1, 1));
}

TEST_F(MacroPageView, RecordingStopsWhenTheDialogLosesTheFocusIsHiddenOrTheScreenLocks) {
    Open();
    const auto start = [this] {
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QTest::mouseClick(Button(kCtlMacroRecord), Qt::LeftButton);
        ASSERT_TRUE(editor.recording());
        Tap(Qt::Key_A, 1010, 1020);
    };
    start();
    const size_t rows = editor.rows().size() + 1;  // with the release held back, which happened before
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);  // the user went to another window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(editor.recording());
    EXPECT_FALSE(dialog->keyHook().installed());
    EXPECT_EQ(Button(kCtlMacroRecord)->text(), QString::fromStdU16String(texts[TextId::MACRO_ACTION_RECORD]));
    Tap(Qt::Key_B, 1100, 1200);  // typed after the focus went elsewhere: not recorded
    QApplication::setActiveWindow(dialog.get());
    Tap(Qt::Key_C, 1300, 1400);
    EXPECT_EQ(editor.rows().size(), rows);

    start();
    page->guard().ScreenLocked();
    EXPECT_FALSE(editor.recording());
    EXPECT_FALSE(dialog->keyHook().installed());

    start();
    QTest::mouseClick(dialog->button(kCtlFunctionPage), Qt::LeftButton);  // another page
    EXPECT_FALSE(editor.recording());
    QTest::mouseClick(dialog->button(kCtlMacroPage), Qt::LeftButton);

    start();
    dialog->hide();
    EXPECT_FALSE(editor.recording());
}

TEST_F(MacroPageView, DelayCellOpensOnTheSelectedRowAndStoresTheRoundedValue) {
    Open();
    ReportList* list = page->actionList();
    const QPoint cell = list->cellRect(0, 2).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);  // selects
    EXPECT_FALSE(list->editorOpen());
    QTest::mouseClick(Button(kCtlMacroRecord), Qt::LeftButton);
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
    EXPECT_TRUE(dialog->isVisible());  // Esc in the cell did not close the dialog
}

// OK and another macro chosen in the list take what a cell still holds, and the macro chosen is the key's.
TEST_F(MacroPageView, OkKeepsATypedDelayAndTheMacroChosenInTheList) {
    const auto stored = [this] {
        std::lock_guard lock(store.lockA());
        return std::pair{store.edit().macros, store.edit().image.entry(0, 0x10)};
    };
    Open();
    ReportList* list = page->actionList();
    list->SelectRow(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellRect(1, 2).center());
    auto* box = qobject_cast<QLineEdit*>(list->editor());
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("99999"));
    QTest::mouseClick(dialog->button(kCtlOk), Qt::LeftButton);  // the box is still open
    ASSERT_FALSE(model.isOpen());
    auto [macros, q] = stored();
    EXPECT_EQ(macros[0].actions[1].delay, kMaxMacroDelayMs);
    EXPECT_EQ(prompts.messages.size(), 1u) << "the maximum is said";
    EXPECT_EQ(q, MakeEntry(AssignmentKind::Macro, 1, 1));

    Open();
    list->SelectRow(0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellRect(0, 2).center());
    box = qobject_cast<QLineEdit*>(list->editor());
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("12345"));
    page->macroList()->activated(1);  // Burst, as the open list reports a pick
    EXPECT_TRUE(dialog->button(kCtlApply)->isEnabled());
    QTest::mouseClick(dialog->button(kCtlOk), Qt::LeftButton);
    std::tie(macros, q) = stored();
    EXPECT_EQ(macros[0].actions[0].delay, 12340u) << "stored back as Burst was shown";
    EXPECT_EQ(q, MakeEntry(AssignmentKind::Macro, 2, 1)) << "Q plays the macro chosen";
}

TEST_F(MacroPageView, KeyCellDropDownChangesTheRowsKey) {
    Open();
    ReportList* list = page->actionList();
    list->SelectRow(0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellRect(0, 0).center());
    auto* box = qobject_cast<QComboBox*>(list->editor());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), static_cast<int>(kListPositionCount));
    EXPECT_EQ(box->currentIndex(), editor.KeyChoice(0));
    EXPECT_EQ(box->maxVisibleItems(), 20);
    Shot("page_key_cell.png");
    box->activated(KeyCodeToListPosition(kA));  // as the open list reports a pick
    QApplication::processEvents();
    EXPECT_EQ(editor.rows()[0].action.keyCode, kA);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("A"));
}

TEST_F(MacroPageView, RepeatBoxAndMeterFollowTheEdits) {
    capacity = 64;
    Open();
    QLineEdit* cycles = page->cyclesBox();
    cycles->selectAll();
    QTest::keyClicks(cycles, QStringLiteral("300"));
    EXPECT_EQ(cycles->text(), QStringLiteral("255"));
    EXPECT_EQ(editor.repeatCount(), 255);

    LevelMeter* meter = page->memoryMeter();
    EXPECT_EQ(meter->level(), LevelMeter::Level::Normal);
    EXPECT_EQ(meter->amount().toStdU16String(), DescribeMacroMemory(editor.memoryUse(), texts).amount);
    // A macro with a long name leaves no room for the names.
    QTest::mouseClick(Button(kCtlMacroAdd), Qt::LeftButton);
    page->macroList()->lineEdit()->selectAll();
    QTest::keyClicks(page->macroList()->lineEdit(), QStringLiteral("A name too long to keep"));
    EXPECT_EQ(editor.macros().back().Name(), u"A name too long to keep");
    EXPECT_EQ(page->macroList()->itemText(2), QStringLiteral("A name too long to keep"));
    EXPECT_EQ(meter->level(), LevelMeter::Level::Warning);
    EXPECT_EQ(meter->state().toStdU16String(), texts[TextId::MACRO_MEMORY_NO_NAMES]);
    Shot("page_meter_warning.png");
}

}  // namespace
}  // namespace vornak
