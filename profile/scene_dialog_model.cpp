#include "profile/scene_dialog_model.h"

#include "config/config_image.h"
#include "platform/file_io.h"
#include "platform/text_format.h"
#include "platform/utf.h"
#include "profile/scene_menu.h"

namespace vornak {

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kProfileFilter = u"(*.fwc)|*.fwc|(*.*)|*.*||";

FileChoice ProfileChoice(bool save, const fs::path& userFolder) {
    FileChoice c;
    c.save = save;
    c.defaultExtension = u"fwc";
    c.filter = std::u16string(kProfileFilter);
    c.overwritePrompt = save;
    c.initialFolder = userFolder;
    return c;
}

}  // namespace

SceneRow SceneRowOf(const fs::path& file) {
    SceneRow row;
    row.name = Utf8ToUtf16(file.stem().string());
    std::string folder = file.parent_path().string();
    if (folder.empty() || folder.back() != fs::path::preferred_separator)
        folder += fs::path::preferred_separator;
    row.folder = Utf8ToUtf16(folder);
    return row;
}

SceneDialogModel::SceneDialogModel(const AppProfile& appProfile, const LanguageTexts& texts, Prompts& prompts)
    : appProfile_(appProfile), texts_(texts), prompts_(prompts) {}

void SceneDialogModel::Open(const fs::path& workingFile, int currentProfile) {
    ++openCount_;
    rows_.clear();
    for (int i = 0; i < kSceneCount; ++i)
        Append(workingFile);
    checked_ = currentProfile >= 0 && currentProfile < kSceneCount ? currentProfile : -1;
    applyEnabled_ = false;
}

void SceneDialogModel::Close() {
    if (openCount_ > 0) --openCount_;
}

void SceneDialogModel::SetChecked(int row, bool checked) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    const int before = checked_;
    if (checked) {
        checked_ = row;
    } else if (checked_ == row) {
        checked_ = -1;
    }
    if (checked_ != before) applyEnabled_ = true;
}

void SceneDialogModel::CheckOnly(int row) {
    checked_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

FileChoice SceneDialogModel::AddChoice(const fs::path& userFolder) const {
    FileChoice c = ProfileChoice(true, userFolder);
    // PROFILE_NEW begins with the folder separator the Windows program joined it with.
    std::u16string name = texts_[TextId::PROFILE_NEW];
    while (!name.empty() && (name.front() == u'\\' || name.front() == u'/'))
        name.erase(0, 1);
    c.initialName = Utf8ToUtf16((userFolder / Utf16ToUtf8(name)).string());
    return c;
}

bool SceneDialogModel::Add(const fs::path& file) {
    const ConfigImage image = ConfigImage::Default(0);
    std::string why;
    if (!WriteFileAtomic(file, image.bytes(), &why)) {
        prompts_.Inform(
            FormatText(texts_[TextId::PROFILE_NEW_ERROR], {std::u16string_view(Utf8ToUtf16(why))}));
        return false;
    }
    Append(file);
    applyEnabled_ = true;
    return true;
}

FileChoice SceneDialogModel::LoadChoice(const fs::path& userFolder) const {
    FileChoice c = ProfileChoice(false, userFolder);
    c.initialName = u"*.fwc";
    return c;
}

void SceneDialogModel::Load(const fs::path& file) {
    Append(file);
    applyEnabled_ = true;
}

int SceneDialogModel::Delete(int selectedRow) {
    const int count = static_cast<int>(rows_.size());
    if (selectedRow < 0 || selectedRow >= count) return -1;
    rows_.erase(rows_.begin() + selectedRow);
    if (checked_ == selectedRow) {
        checked_ = -1;
    } else if (checked_ > selectedRow) {
        --checked_;
    }
    applyEnabled_ = true;
    if (rows_.empty()) return -1;
    return selectedRow < count - 1 ? selectedRow : selectedRow - 1;
}

int SceneDialogModel::WriteProfileKeys() {
    lastError_.clear();
    std::string why;
    for (size_t r = 0; r < rows_.size(); ++r) {
        const std::u16string key = FormatText(u"%s%02d", {std::u16string_view(u"PROFILE"), int64_t(r + 1)});
        if (!appProfile_.WriteString(key, rows_[r].folder + rows_[r].name + u".fwc", &why) &&
            lastError_.empty())
            lastError_ = why;
    }
    if (!appProfile_.WriteInt(u"PROFILE00", static_cast<int>(rows_.size()), &why) && lastError_.empty())
        lastError_ = why;
    return ClampSceneIndex(checked_);
}

void SceneDialogModel::Append(const fs::path& file) {
    rows_.push_back(SceneRowOf(file));
}

}  // namespace vornak
