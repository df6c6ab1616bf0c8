// The key assignment, profile, update and applications dialogs in the layout table.
#include <tuple>

#include "layout_rows.h"

namespace vornak::skingen::layout {

Dialog CompositeDialog() {
    Dialog d;
    d.id = DialogId::Composite;
    d.ini = "Composite.ini";
    d.background = "composite_back.jpg";
    d.mask = "composite_mask.bmp";
    d.size = QSize(560, 440);
    auto& c = d.controls;
    const unsigned general = kSetKey | kSetMacro2;
    const std::array<Look, 5> tabLooks = {L::Normal, L::Over, L::Down, L::Disabled, L::Normal};
    const std::array<Look, 5> titleLooks = {L::Normal, L::Normal, L::Normal, L::Selected, L::Normal};

    c.push_back(WithGlyph(
        ImageButton("CONTROL_TITLE", QRect(22, 12, 34, 32), Face::Title, kKeySet, titleLooks, general),
        Glyph::Keycap));
    c.push_back(
        WithText(Placed("KEY_SETTING", QRect(66, 17, 300, 24), Widget::Heading), "KEY_SETTING_TISHI"));
    c.push_back(WithGlyph(
        ImageButton("CONTROL_OSK", QRect(462, 13, 32, 30), Face::Icon, kKeySet, kLooksApply, general),
        Glyph::Keyboard));
    c.push_back(WithGlyph(
        ImageButton("CONTROL_CLEAR", QRect(502, 13, 32, 30), Face::Icon, kKeySet, kLooksApply, general),
        Glyph::Eraser));
    const char* tabs[4][2] = {{"CONTROL_KEY", "Key"},
                              {"CONTROL_MACRO", "Macro"},
                              {"CONTROL_MEDIA", "Media"},
                              {"CONTROL_FUNCTION", "Function"}};
    for (int i = 0; i < 4; ++i) {
        c.push_back(WithCaption(
            ImageButton(tabs[i][0], QRect(24 + i * 126, 58, 124, 34), Face::Tab, kKeySet, tabLooks, general),
            tabs[i][1]));
    }
    {
        Control mask = ImageButton("CONTROL_MASK", QRect(20, 92, 520, 290), Face::PageMask, kKeySet,
                                   kLooksStill, kSetKey | kSetMacro | kSetMacro2 | kSetMedia | kSetFunction);
        c.push_back(mask);
    }

    // Single key, multimedia and function pages.
    c.push_back(
        WithText(Placed("TISHI_SINGLE_STATIC", QRect(40, 116, 320, 22), Widget::Label), "SINGLE_STATIC"));
    c.push_back(WithText(Placed("FUNC_KEY_INPUT", QRect(40, 144, 320, 36), Widget::Edit), "Left Ctrl"));
    c.push_back(
        WithText(Placed("MEDIA_SETTING_TISHI", QRect(40, 116, 320, 22), Widget::Label), "MEDIA_EDIT_TISHI"));
    c.push_back(
        WithText(Placed("FUNC_MEDIA_SELECT", QRect(40, 144, 320, 32), Widget::Combo), "Play / Pause"));
    c.push_back(WithText(Placed("FUNCTION_KEY_SETTING_TISHI", QRect(40, 116, 320, 22), Widget::Label),
                         "FUNCTION_TISHI"));
    c.push_back(WithText(Placed("FUNC_FUNCTION_SELECT", QRect(40, 144, 320, 32), Widget::Combo), "Copy"));

    // Macro page.
    const std::array<Look, 5> recordLooks = {L::Normal, L::Over, L::Down, L::Disabled, L::Selected};
    c.push_back(
        WithText(Placed("MARCO_NAME_SETTING", QRect(36, 106, 70, 24), Widget::Label), "MACRO_NAME_SETTING"));
    c.push_back(WithText(Placed("FUNC_MACRO_LIST", QRect(108, 104, 250, 28), Widget::EditCombo), "Macro1"));
    c.push_back(WithGlyph(ImageButton("FUNC_MACRO_ADD", QRect(366, 104, 28, 28), Face::TextButton, kMacroSet,
                                      kLooksApply, kSetMacro | kSetOther),
                          Glyph::Plus));
    c.push_back(WithGlyph(ImageButton("FUNC_MACRO_DELETE", QRect(398, 104, 28, 28), Face::TextButton,
                                      kMacroSet, kLooksApply, kSetMacro | kSetOther),
                          Glyph::Minus));
    c.push_back(Placed("FUNC_MACRO_LIST2", QRect(36, 140, 240, 230), Widget::List));
    c.push_back(WithCaption(ImageButton("FUNC_MACRO_RECORD", QRect(288, 140, 104, 32), Face::PrimaryButton,
                                        kMacroRecordSet, recordLooks, kSetMacro | kSetOther),
                            "Record"));
    const char* actions[6][3] = {
        {"FUNC_MACRO_DELETE2", "Delete", "9"}, {"FUNC_MACRO_CLEAR", "Clear", "9"},
        {"FUNC_MACRO_UP_TOP", "Top", "9"},     {"FUNC_MACRO_UP", "Up", "9"},
        {"FUNC_MACRO_DOWN", "Down", "8"},      {"FUNC_MACRO_DOWN_BOTTOM", "Bottom", "8"}};
    for (int i = 0; i < 6; ++i) {
        c.push_back(WithCaption(ImageButton(actions[i][0], QRect(288, 180 + i * 32, 104, 28),
                                            Face::TextButton, kMacroSet, kLooksApply, kSetMacro | kSetOther),
                                actions[i][1], std::atoi(actions[i][2])));
    }
    for (auto& control : c) {
        if (control.key.rfind("FUNC_MACRO_", 0) == 0 && control.place == Place::ImageButton) control.page = 1;
    }
    c.push_back(WithText(Placed("FUNC_MACRO_CYCLES_PROMPT", QRect(406, 140, 122, 20), Widget::Label),
                         "MACRO_CYCLES"));
    c.push_back(WithText(Placed("FUNC_MACRO_CYCLES", QRect(406, 162, 90, 28), Widget::Edit), "1"));
    c.push_back(Placed("FUNC_MACRO_RECORD_DELAY", QRect(406, 207, 18, 18), Widget::CheckBox));
    c.push_back(WithText(Placed("FUNC_MACRO_RECORD_DELAY2", QRect(428, 206, 104, 20), Widget::Label),
                         "RECORD_DELAY"));
    c.push_back(Placed("FUNC_MACRO_MEMORY", QRect(406, 290, 126, 78), Widget::None));

    // The dialog's Apply (control 1015) writes the key without closing; skins without it show none.
    c.push_back(WithCaption(ImageButton("CONTROL2_APPLY", QRect(220, 394, 100, 34), Face::TextButton, kKeySet,
                                        kLooksApply, general),
                            "Apply"));
    c.push_back(WithCaption(ImageButton("CONTROL_OK", QRect(330, 394, 100, 34), Face::PrimaryButton, kKeySet,
                                        kLooksApply, general),
                            "OK"));
    c.push_back(WithCaption(ImageButton("CONTROL_CANCEL", QRect(440, 394, 100, 34), Face::TextButton, kKeySet,
                                        kLooksApply, general),
                            "Cancel"));

    d.pictures = {
        {"key_normal.jpg", kSetKey, 0, 0},
        {"key_over.jpg", kSetKey, 1, 0},
        {"key_down.jpg", kSetKey, 2, 0},
        {"key_disable.jpg", kSetKey, 3, 0},
        {"macro_normal.jpg", kSetMacro, 0, 1},
        {"macro_over.jpg", kSetMacro, 1, 1},
        {"macro_down.jpg", kSetMacro, 2, 1},
        {"macro_disable.jpg", kSetMacro, 3, 1},
        {"macro_other.jpg", kSetOther, 4, 1},
        {"macro2_normal.jpg", kSetMacro2, 0, 1},
        {"macro2_over.jpg", kSetMacro2, 1, 1},
        {"macro2_down.jpg", kSetMacro2, 2, 1},
        {"macro2_disable.jpg", kSetMacro2, 3, 1},
        {"media_normal.jpg", kSetMedia, 0, 2},
        {"media_over.jpg", kSetMedia, 1, 2},
        {"media_down.jpg", kSetMedia, 2, 2},
        {"function_normal.jpg", kSetFunction, 0, 3},
        {"function_over.jpg", kSetFunction, 1, 3},
        {"function_down.jpg", kSetFunction, 2, 3},
    };
    return d;
}

Dialog ProfileDialog() {
    Dialog d;
    d.id = DialogId::Profile;
    d.ini = "Profile.ini";
    d.background = "profile_back.jpg";
    d.mask = "profile_mask.bmp";
    d.size = QSize(600, 350);
    auto& c = d.controls;
    c.push_back(Placed("PROGRAM_LIST", QRect(24, 62, 436, 220), Widget::List));
    const char* side[3][2] = {{"FUNC_ADD", "Add..."}, {"FUNC_LOAD", "Load..."}, {"FUNC_DELETE", "Delete"}};
    for (int i = 0; i < 3; ++i) {
        c.push_back(WithCaption(ImageButton(side[i][0], QRect(476, 62 + i * 40, 100, 32), Face::TextButton,
                                            kProfileSet, kLooksPlain),
                                side[i][1]));
    }
    c.push_back(WithCaption(
        ImageButton("CONTROL2_APPLY", QRect(260, 298, 100, 34), Face::TextButton, kProfileSet, kLooksPlain),
        "Apply"));
    c.push_back(WithCaption(
        ImageButton("CONTROL_OK", QRect(368, 298, 100, 34), Face::PrimaryButton, kProfileSet, kLooksPlain),
        "OK"));
    c.push_back(WithCaption(
        ImageButton("CONTROL_CANCEL", QRect(476, 298, 100, 34), Face::TextButton, kProfileSet, kLooksPlain),
        "Cancel"));
    d.pictures = {{"Profile_normal.jpg", 1, 0}, {"Profile_over.jpg", 1, 1}, {"Profile_down.jpg", 1, 2}};
    return d;
}

Dialog UpdateDialog() {
    Dialog d;
    d.id = DialogId::Update;
    d.ini = "UpdateDlg.ini";
    d.background = "update_back.jpg";
    d.mask = "update_mask.bmp";
    d.size = QSize(480, 214);
    auto& c = d.controls;
    c.push_back(WithText(Placed("CONTROL_UPStatic", QRect(24, 70, 336, 32), Widget::Label),
                         QStringLiteral("~/Vornak/Package/kx1-update")));
    c.push_back(WithCaption(
        ImageButton("CONTROL_OPENButton", QRect(372, 69, 84, 34), Face::TextButton, kUpdateSet, kLooksPlain),
        "Open"));
    Control combo = Placed("CONTROL_UPCombox", QRect(24, 112, 336, 28), Widget::Combo, Group::Hidden);
    c.push_back(combo);
    c.push_back(WithCaption(ImageButton("CONTROL_BACKUPButton", QRect(24, 158, 120, 36), Face::TextButton,
                                        kUpdateSet, kLooksPlain),
                            "Backup"));
    c.push_back(WithCaption(ImageButton("CONTROL_UPButton", QRect(208, 158, 120, 36), Face::PrimaryButton,
                                        kUpdateSet, kLooksPlain),
                            "Update"));
    c.push_back(WithCaption(
        ImageButton("CONTROL_CUPButton", QRect(336, 158, 120, 36), Face::TextButton, kUpdateSet, kLooksPlain),
        "Cancel update"));
    d.pictures = {{"update_normal.jpg", 1, 0}, {"update_over.jpg", 1, 1}};
    return d;
}

// The rules that give an application a profile: the list, the row that adds one (application, title text,
// profile), the default, the on/off switch and how GNOME Shell is made to tell the program its windows.
Dialog ApplicationsDialog() {
    Dialog d;
    d.id = DialogId::Applications;
    d.ini = "Applications.ini";
    d.background = "apps_back.jpg";
    d.mask = "apps_mask.bmp";
    d.size = QSize(600, 420);
    auto& c = d.controls;
    c.push_back(WithText(Placed("APPS_HEADING", QRect(190, 18, 380, 24), Widget::Heading), "APPS_TITLE"));
    c.push_back(Placed("RULE_LIST", QRect(24, 62, 436, 172), Widget::List));
    c.push_back(WithCaption(
        ImageButton("FUNC_REMOVE", QRect(476, 62, 100, 32), Face::TextButton, kAppsSet, kLooksApply),
        "Remove"));
    c.push_back(WithText(Placed("RULE_APP", QRect(24, 246, 180, 28), Widget::EditCombo), "firefox"));
    c.push_back(WithText(Placed("RULE_TITLE", QRect(212, 246, 160, 28), Widget::Edit), "APPS_TITLE_HINT"));
    c.push_back(WithText(Placed("RULE_PROFILE", QRect(380, 246, 80, 28), Widget::Combo), "Profile 2"));
    c.push_back(WithCaption(
        ImageButton("FUNC_ADD", QRect(476, 244, 100, 32), Face::PrimaryButton, kAppsSet, kLooksApply),
        "Add"));
    c.push_back(WithText(Placed("DEFAULT_TEXT", QRect(24, 290, 140, 22), Widget::Label), "APPS_DEFAULT"));
    c.push_back(WithText(Placed("DEFAULT_SELECT", QRect(168, 287, 180, 28), Widget::Combo), "APPS_LEAVE"));
    c.push_back(Placed("FOLLOW_ON", QRect(372, 292, 18, 18), Widget::CheckBox));
    c.push_back(WithText(Placed("FOLLOW_ON_TEXT", QRect(396, 290, 180, 22), Widget::Label), "APPS_ON"));
    c.push_back(WithText(Placed("GNOME_TEXT", QRect(24, 326, 436, 74), Widget::Label), "APPS_GNOME"));
    c.push_back(WithCaption(
        ImageButton("CONTROL_OK", QRect(476, 366, 100, 34), Face::TextButton, kAppsSet, kLooksPlain),
        "Close"));
    d.pictures = {{"apps_normal.jpg", 1, 0}, {"apps_over.jpg", 1, 1}, {"apps_down.jpg", 1, 2}};
    return d;
}

}  // namespace vornak::skingen::layout
