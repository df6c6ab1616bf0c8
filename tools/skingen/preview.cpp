#include "preview.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTreeWidget>
#include <map>
#include <memory>
#include <set>

#include "platform/file_io.h"
#include "skin/base_dialog.h"
#include "skin/placement.h"
#include "skin/skin_surfaces.h"
#include "texts/language_texts.h"

namespace vornak::skingen {

namespace {

struct View {
    std::string file;
    DialogId dialog;
    std::set<Group> groups;
    int page = 0;  // key dialog: 0 single key, 1 macro, 2 media, 3 function
    bool macroOnly = false;
    bool colourMode = false;
    int effect = 1;
};

const char* const kFieldStyle =
    "QComboBox, QLineEdit { background: #0c0e12; color: #e6e8ee; border: 1px solid #2c313a; border-radius: "
    "5px;"
    " padding-left: 8px;"
    " font-family: 'DejaVu Sans'; font-size: 12px; }"
    "QComboBox::drop-down { border: none; width: 26px; }"
    "QComboBox::down-arrow { image: none; }"
    "QTreeWidget { background: transparent; color: #c9ced6; border: none; font-family: 'DejaVu Sans';"
    " font-size: 11px; alternate-background-color: #121519; }"
    "QTreeWidget::item { height: 22px; }"
    "QTreeWidget::item:selected { background: #0e4a58; color: #ffffff; }"
    "QHeaderView::section { background: #1f232a; color: #9aa1ae; border: none; border-right: 1px solid "
    "#2c313a;"
    " padding: 4px 6px; font-family: 'DejaVu Sans'; font-size: 11px; }"
    "QCheckBox::indicator { width: 16px; height: 16px; border: 1px solid #3a3f49; border-radius: 4px;"
    " background: #0c0e12; }"
    "QCheckBox::indicator:checked { background: #0891b2; border-color: #22d3ee; }";

class Previewer {
  public:
    Previewer(const SkinModel& model, std::filesystem::path skins) : model_(model), skins_(std::move(skins)) {
        texts_.LoadLanguageTexts(skins_ / "language.ini");
    }

    bool Render(const View& view, const std::filesystem::path& out, std::string* error) {
        const Dialog& table = DialogOf(model_, view.dialog);
        CBaseDialog dialog(0, nullptr, skins_ / table.ini, skins_);
        if (!dialog.TryLoadSkin(error)) return false;
        dialog.setStyleSheet(kFieldStyle);
        const SkinLayout& layout = dialog.layout();
        const QSize size = dialog.size();

        for (const Control& c : table.controls) {
            if (!Shown(c, view)) continue;
            const std::u16string key = QString::fromStdString(c.key).toStdU16String();
            if (c.place == Place::ImageButton || c.place == Place::Arrow) {
                auto* button = new CPngButton(&dialog);
                buttons_[c.key] = button;
                if (c.place == Place::Arrow) {
                    const std::u16string frame =
                        c.key == "LEFT_ARROW" ? u"UP_ARROW_LEFT1" : u"UP_ARROW_RIGHT2";
                    PlaceImageButtonFrom(*button, layout, key, kButtonInfo2Section, frame,
                                         Surface("Arrow.jpg", size));
                    continue;
                }
                PlaceImageButton(*button, layout, kButtonInfoSection, key, Surfaces(c, view, size));
                if (!c.caption.isEmpty()) {
                    button->setText(CaptionOf(c));
                    const bool version = c.key == "TORVEL_VER";
                    button->SetTextStyle(
                        true, c.captionPoints, version ? "Verdana" : "Tahoma",
                        version ? palette::kTextDim : palette::kWhite,
                        version ? (kDtLeft | kDtVCenter | kDtSingleLine) : kDtDefaultButtonText);
                    if (c.key == "FUNC_PROFILES") button->SetTextMargins(22, 0, 0, 0);
                    if (c.key == "FUNC_MACRO_RECORD") button->SetTextMargins(14, 0, 0, 0);
                }
                continue;
            }
            QWidget* w = MakeWidget(c, view, &dialog, layout);
            if (!w) continue;
            if (c.place == Place::KeepSize) {
                w->resize(c.rect.size());
                PlaceControlKeepSize(*w, layout, kButtonInfoSection, key);
            } else {
                PlaceControl(*w, layout, kButtonInfoSection, key);
            }
        }
        ShowStates(view);

        QImage shot = dialog.grab().toImage();
        const QRegion shape = dialog.mask().isEmpty() ? QRegion(dialog.rect()) : dialog.mask();
        const int margin = 28;
        // In window pixels; at QT_SCALE_FACTOR 2 the shot and the canvas have twice as many device pixels.
        const qreal ratio = shot.devicePixelRatio();
        const QSize area = dialog.size() + QSize(2 * margin, 2 * margin);
        QImage canvas((QSizeF(area) * ratio).toSize(), QImage::Format_RGB32);
        canvas.setDevicePixelRatio(ratio);
        QPainter p(&canvas);
        QLinearGradient desk(0, 0, area.width(), area.height());
        desk.setColorAt(0, palette::kDeskTop);
        desk.setColorAt(1, palette::kDeskBottom);
        p.fillRect(QRect(QPoint(0, 0), area), desk);
        p.setRenderHint(QPainter::Antialiasing);
        QColor shadowInk = palette::kBlack;
        shadowInk.setAlpha(10);
        for (int i = 12; i > 0; --i) {
            QPainterPath shadow;
            shadow.addRegion(shape.translated(margin, margin + 6));
            p.setPen(QPen(shadowInk, i * 2));
            p.drawPath(shadow);
        }
        p.setClipRegion(shape.translated(margin, margin));
        p.drawImage(margin, margin, shot);
        p.end();

        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        canvas.save(&buffer, "PNG");
        buttons_.clear();
        return WriteFileAtomic(out / view.file, std::vector<uint8_t>(png.begin(), png.end()), error);
    }

  private:
    bool Shown(const Control& c, const View& view) const {
        if (c.group == Group::Hidden) return false;
        if (c.group != Group::Always && !view.groups.count(c.group)) return false;
        if (view.dialog == DialogId::Composite) {
            static const std::set<std::string> single = {"TISHI_SINGLE_STATIC", "FUNC_KEY_INPUT"};
            static const std::set<std::string> media = {"MEDIA_SETTING_TISHI", "FUNC_MEDIA_SELECT"};
            static const std::set<std::string> function = {"FUNCTION_KEY_SETTING_TISHI",
                                                           "FUNC_FUNCTION_SELECT"};
            const bool macro = c.key.rfind("FUNC_MACRO", 0) == 0 || c.key == "MARCO_NAME_SETTING";
            if (single.count(c.key)) return view.page == 0;
            if (media.count(c.key)) return view.page == 2;
            if (function.count(c.key)) return view.page == 3;
            if (macro) return view.page == 1;
        }
        return true;
    }

    QPixmap Surface(const std::string& file, QSize size) {
        return SkinSurfaces::Instance().Get(skins_ / file, size).pixmap;
    }

    ButtonSurfaces Surfaces(const Control& c, const View& view, QSize size) {
        std::array<std::string, 5> files = c.surfaces;
        if (view.dialog == DialogId::Composite) {
            static const char* pageSets[4][3] = {
                {"key_normal.jpg", "key_over.jpg", "key_down.jpg"},
                {"macro_normal.jpg", "macro_over.jpg", "macro_down.jpg"},
                {"media_normal.jpg", "media_over.jpg", "media_down.jpg"},
                {"function_normal.jpg", "function_over.jpg", "function_down.jpg"}};
            if (c.key == "CONTROL_MASK") {
                files = {pageSets[view.page][0], pageSets[view.page][1], pageSets[view.page][2],
                         pageSets[view.page][0], pageSets[view.page][0]};
            }
            const bool pageButton =
                c.face == Face::Tab || c.key == "CONTROL_TITLE" || c.key == "CONTROL_CLEAR";
            if (view.macroOnly && pageButton) {
                files = {"macro2_normal.jpg", "macro2_over.jpg", "macro2_down.jpg", "macro2_disable.jpg",
                         "macro2_normal.jpg"};
            }
            // The page button of the page shown looks pressed.
            static const char* tabs[4] = {"CONTROL_KEY", "CONTROL_MACRO", "CONTROL_MEDIA",
                                          "CONTROL_FUNCTION"};
            if (c.key == tabs[view.page]) files = {files[2], files[2], files[2], files[3], files[2]};
        }
        if (view.colourMode && c.face == Face::KeyCap) {
            files = {"main_color0.jpg", "main_color1.jpg", "main_down.jpg", "main_color0.jpg",
                     "main_disable.jpg"};
        }
        return {Surface(files[0], size), Surface(files[1], size), Surface(files[2], size),
                Surface(files[3], size), Surface(files[4], size)};
    }

    QString Text(const QString& name, const SkinLayout& layout, DialogId dialog) const {
        if (dialog == DialogId::Main) {
            const std::u16string label = layout.Text(u"Control_Name1", name.toStdU16String(), u"");
            if (!label.empty()) return QString::fromStdU16String(label);
        }
        if (auto id = FindTextId(name.toStdString())) return QString::fromStdU16String(texts_[*id]);
        return name;
    }

    QString CaptionOf(const Control& c) const { return c.caption; }

    QWidget* MakeWidget(const Control& c, const View& view, QWidget* parent, const SkinLayout& layout) {
        QString text = Text(c.widgetText, layout, view.dialog);
        if (view.macroOnly && c.key == "KEY_SETTING") text = Text("MACRO_EDIT_TISHI", layout, view.dialog);
        switch (c.widget) {
            case Widget::Label:
            case Widget::Heading: {
                auto* label = new QLabel(text, parent);
                QFont font(QStringLiteral("Tahoma"));
                const bool pageLabel =
                    view.dialog == DialogId::Composite && c.key.find("MACRO") == std::string::npos;
                font.setPointSizeF(c.widget == Widget::Heading ? 11 : (pageLabel ? 10.8 : 9));
                if (c.widget == Widget::Heading) font.setBold(true);
                label->setFont(font);
                label->setWordWrap(c.rect.height() > 40);
                label->setAlignment(Qt::AlignLeft | (c.rect.height() > 40 ? Qt::AlignTop : Qt::AlignVCenter));
                label->setStyleSheet(c.widget == Widget::Heading
                                         ? "color: #ffffff; background: transparent;"
                                         : "color: #e4e4e4; background: transparent;");
                if (view.dialog == DialogId::Update) {
                    label->setStyleSheet("color: #c9ced6; background: transparent; padding-left: 10px;");
                }
                return label;
            }
            case Widget::Combo:
            case Widget::EditCombo: {
                auto* combo = new QComboBox(parent);
                // Where the skin draws a field under the list, the stand-in lets it show.
                if (view.dialog != DialogId::Main) {
                    combo->setStyleSheet("QComboBox { background: transparent; border: none; }");
                }
                combo->setEditable(c.widget == Widget::EditCombo);
                QString item = text;
                if (c.key == "CONTROL_XGcombox") {
                    item = QString::fromStdU16String(
                        layout.Text(u"Mode1", QString::number(view.effect).toStdU16String(), u"1"));
                }
                combo->addItem(item);
                return combo;
            }
            case Widget::Edit: {
                auto* edit = new QLineEdit(text, parent);
                edit->setReadOnly(true);
                return edit;
            }
            case Widget::List:
                return MakeList(c, parent);
            case Widget::Picture: {
                auto* picture = new QLabel(parent);
                QImage image;
                std::string ignored;
                if (LoadSkinPicture(skins_ / c.bitmap, &image, &ignored))
                    picture->setPixmap(QPixmap::fromImage(image));
                return picture;
            }
            case Widget::ColourButton: {
                auto* button = new QPushButton(parent);
                button->setStyleSheet(
                    QStringLiteral("QPushButton { background: %1; border: 2px solid #0c0e12;"
                                   " border-radius: 6px; outline: 1px solid #3a3f49; }")
                        .arg(c.colour.name()));
                return button;
            }
            case Widget::CheckBox: {
                auto* box = new QCheckBox(parent);
                box->setChecked(true);
                return box;
            }
            case Widget::None:
                break;
        }
        return nullptr;
    }

    QWidget* MakeList(const Control& c, QWidget* parent) {
        auto* list = new QTreeWidget(parent);
        list->setRootIsDecorated(false);
        list->setAlternatingRowColors(true);
        list->setFrameShape(QFrame::NoFrame);
        list->setContentsMargins(2, 2, 2, 2);
        if (c.key == "PROGRAM_LIST") {
            // The program's headers are fixed Chinese texts; the preview machine has no Chinese font.
            list->setHeaderLabels({"Active", "Name", "Folder"});
            const QString folder = QStringLiteral("/home/user/Documents/Vornak_R2T/");
            for (int i = 0; i < 3; ++i) {
                auto* row = new QTreeWidgetItem(list, {QString(), QStringLiteral("$Profile0"), folder});
                row->setCheckState(0, i == 0 ? Qt::Checked : Qt::Unchecked);
            }
            list->setColumnWidth(0, 60);
            list->setColumnWidth(1, 120);
        } else if (c.key == "RULE_LIST") {
            list->setHeaderLabels({QString::fromStdU16String(texts_[TextId::APPS_COLUMN_APP]),
                                   QString::fromStdU16String(texts_[TextId::APPS_COLUMN_TITLE]),
                                   QString::fromStdU16String(texts_[TextId::APPS_COLUMN_PROFILE])});
            const char* rows[3][3] = {{"steam_app_570", "", "Profile 2"},
                                      {"firefox", "YouTube", "Profile 3"},
                                      {"code", "", "Profile 1"}};
            for (auto& r : rows)
                new QTreeWidgetItem(list, {r[0], r[1], r[2]});
            list->setColumnWidth(0, 170);
            list->setColumnWidth(1, 170);
        } else {
            list->setHeaderLabels({QString::fromStdU16String(texts_[TextId::MACRO_KEYS_TISHI]),
                                   QString::fromStdU16String(texts_[TextId::MACRO_ACTION_TISHI]),
                                   QString::fromStdU16String(texts_[TextId::MACRO_DELAY_MS])});
            const char* rows[6][3] = {{"Ctrl", "\u2193", "0"}, {"C", "\u2193", "40"},
                                      {"C", "  \u2191", "60"}, {"Ctrl", "  \u2191", "30"},
                                      {"V", "\u2193", "120"},  {"V", "  \u2191", "50"}};
            for (auto& r : rows)
                new QTreeWidgetItem(list, {r[0], QString::fromUtf8(r[1]), r[2]});
            list->setColumnWidth(0, 80);
            list->setColumnWidth(1, 56);
            list->setCurrentItem(list->topLevelItem(1));
        }
        return list;
    }

    void Hover(const std::string& key) {
        if (CPngButton* b = Find(key)) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QCoreApplication::sendEvent(b, &enter);
        }
    }
    void Select(const std::string& key) {
        if (CPngButton* b = Find(key)) b->SetSelected(true);
    }
    void Press(const std::string& key) {
        if (CPngButton* b = Find(key)) b->setDown(true);
    }
    void Disable(const std::string& key) {
        if (CPngButton* b = Find(key)) b->setEnabled(false);
    }
    CPngButton* Find(const std::string& key) {
        auto it = buttons_.find(key);
        return it == buttons_.end() ? nullptr : it->second;
    }

    void ShowStates(const View& view) {
        switch (view.dialog) {
            case DialogId::Main:
                Select("FUNC_PROFILE1");
                Select("LOCK_NUM");
                Select("FLIP_1");
                Disable("CONTROL2_APPLY");
                if (!view.colourMode) {
                    // WASD and G1 carry assignments; P is under the mouse, Space held down.
                    for (const char* k : {"KEY_011", "KEY_01E", "KEY_01F", "KEY_020", "FUNC_G1", "FUNC_G7"})
                        Select(k);
                    Hover("KEY_019");
                    Press("KEY_039");
                    Hover("FUNC_MACRO");
                } else {
                    Hover("KEY_023");
                    Select("FUNC_SWITCH");
                }
                break;
            case DialogId::Composite:
                if (view.macroOnly) {
                    for (const char* k : {"CONTROL_KEY", "CONTROL_MEDIA", "CONTROL_FUNCTION", "CONTROL_CLEAR",
                                          "CONTROL_TITLE"}) {
                        Disable(k);
                    }
                    Hover("FUNC_MACRO_RECORD");
                } else {
                    Hover("CONTROL_OK");
                    if (view.page == 1) Select("FUNC_MACRO_RECORD");
                    if (view.page == 0) Hover("CONTROL_CLEAR");
                }
                break;
            case DialogId::Profile:
                Hover("FUNC_ADD");
                break;
            case DialogId::Update:
                Hover("CONTROL_UPButton");
                break;
            case DialogId::Applications:
                Hover("FUNC_ADD");
                break;
        }
    }

    const SkinModel& model_;
    std::filesystem::path skins_;
    LanguageTexts texts_;
    std::map<std::string, CPngButton*> buttons_;
};

}  // namespace

bool RenderPreviews(const SkinModel& model, const std::filesystem::path& skinsFolder,
                    const std::filesystem::path& outFolder, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(outFolder, ec);
    if (ec) {
        if (error) *error = "cannot create " + outFolder.string() + ": " + ec.message();
        return false;
    }
    const std::vector<View> views = {
        {"main.png", DialogId::Main, {Group::Speed, Group::Direction2, Group::Hx}},
        {"main_user_mode.png", DialogId::Main, {Group::User}, 0, false, true, 20},
        {"main_presets.png", DialogId::Main, {Group::Presets}, 0, false, false, 17},
        {"key_single.png", DialogId::Composite, {}, 0},
        {"key_macro.png", DialogId::Composite, {}, 1},
        {"key_media.png", DialogId::Composite, {}, 2},
        {"key_function.png", DialogId::Composite, {}, 3},
        {"key_macro_only.png", DialogId::Composite, {}, 1, true},
        {"profile.png", DialogId::Profile, {}},
        {"update.png", DialogId::Update, {}},
        {"applications.png", DialogId::Applications, {}},
    };
    Previewer previewer(model, skinsFolder);
    for (const View& v : views) {
        if (!previewer.Render(v, outFolder, error)) return false;
    }
    return true;
}

}  // namespace vornak::skingen
