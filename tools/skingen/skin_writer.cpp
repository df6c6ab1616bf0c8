#include "skin_writer.h"

#include <QBuffer>
#include <QImageWriter>

#include "icons.h"
#include "paint.h"
#include "platform/file_io.h"
#include "platform/utf.h"
#include "skin/core/skin_layout.h"

namespace vornak::skingen {

namespace {

class IniText {
  public:
    void Comment(std::u16string_view text) { Line(u"; " + std::u16string(text)); }
    void Section(std::u16string_view name) {
        if (!text_.empty()) Line(u"");
        Line(u"[" + std::u16string(name) + u"]");
    }
    void Key(std::u16string_view key, std::u16string_view value) {
        Line(std::u16string(key) + u"=" + std::u16string(value));
    }
    void Key(const std::string& key, const QString& value) { Key(Utf8ToUtf16(key), value.toStdU16String()); }
    void Rect(const std::string& key, const QRect& r) {
        Key(key, QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
    }
    const std::u16string& text() const { return text_; }

  private:
    void Line(const std::u16string& line) { text_ += line + u"\r\n"; }
    std::u16string text_;
};

// UTF-16LE with its byte-order mark, as the program's other INI files.
std::vector<uint8_t> Utf16LeWithMark(const std::u16string& text) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    bytes.reserve(2 + text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

bool WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes, std::string* error) {
    return WriteFileAtomic(file, bytes, error);
}

bool WriteImage(const std::filesystem::path& file, const QImage& image, std::string* error) {
    const bool jpeg = file.extension() == ".jpg";
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, jpeg ? "jpeg" : "bmp");
    if (jpeg) writer.setQuality(95);
    // 24-bit pixels for pictures, one bit for masks: every picture decoder reads both, and a mask stays
    // exact.
    const QImage pixels = file.filename().string().find("_mask") != std::string::npos
                              ? image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)
                              : image.convertToFormat(QImage::Format_RGB888);
    if (!writer.write(pixels)) {
        if (error) *error = "cannot encode " + file.string() + ": " + writer.errorString().toStdString();
        return false;
    }
    return WriteBytes(file, std::vector<uint8_t>(data.begin(), data.end()), error);
}

}  // namespace

std::u16string LayoutText(const SkinModel& model, const Dialog& d) {
    IniText ini;
    ini.Comment(
        u"Vornak default skin, made by skingen from its layout table: change the table, not this file.");
    ini.Comment(
        u"BUTTONINFO: x,y,w,h of each control in window pixels; a control that is missing sits at 1,1 and is "
        u"disabled.");
    ini.Section(u"SCREEN");
    ini.Key("Main", QString::fromStdString(d.background));
    ini.Key("Mask", QString::fromStdString(d.mask));
    if (d.id == DialogId::Main) ini.Key("Link", QString::fromStdString(model.link));
    ini.Section(u"BUTTONINFO");
    for (const auto& c : d.controls)
        ini.Rect(c.key, c.rect);
    if (d.id == DialogId::Main) {
        ini.Section(u"BUTTONINFO2");
        for (const auto& f : model.arrowFrames) {
            const Control* arrow = FindControl(d, f.arrowKey);
            ini.Rect(f.key, QRect(f.origin, arrow ? arrow->rect.size() : QSize(1, 1)));
        }
        // Chinese names are read with language 0, English with language 1.
        ini.Section(u"Mode");
        for (const auto& e : model.effectNames)
            ini.Key(e[0].toStdString(), e[1]);
        ini.Section(u"Mode1");
        for (const auto& e : model.effectNames)
            ini.Key(e[0].toStdString(), e[2]);
        ini.Section(u"Control_Name");
        for (const auto& n : model.controlNames)
            ini.Key(n[0].toStdString(), n[1]);
        ini.Section(u"Control_Name1");
        for (const auto& n : model.controlNames)
            ini.Key(n[0].toStdString(), n[2]);
    }
    return ini.text();
}

bool WriteSkin(const SkinModel& model, const std::filesystem::path& folder, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        if (error) *error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    for (const Dialog& d : model.dialogs) {
        if (!WriteBytes(folder / d.ini, Utf16LeWithMark(LayoutText(model, d)), error)) return false;
    }
    // Every picture, mask and bitmap once for each scale, "name@2x.jpg" beside "name.jpg".
    for (const int scale : kSkinScales) {
        const auto file = [&](const std::string& name) { return ScaledPictureFile(folder / name, scale); };
        QImage mainBackground;
        for (const Dialog& d : model.dialogs) {
            const QImage background = RenderPicture(model, d, nullptr, scale);
            if (d.id == DialogId::Main) mainBackground = background;
            if (!WriteImage(file(d.background), background, error)) return false;
            if (!WriteImage(file(d.mask), RenderMask(d, scale), error)) return false;
            for (const Picture& picture : d.pictures) {
                if (!WriteImage(file(picture.file), RenderPicture(model, d, &picture, scale), error))
                    return false;
            }
        }
        if (!WriteImage(file("Arrow.jpg"), RenderArrowSheet(model, mainBackground, scale), error))
            return false;
        for (const Bitmap& b : model.bitmaps) {
            if (!WriteImage(file(b.file), RenderBitmap(b, scale), error)) return false;
        }
    }
    return WriteIcons(folder, error);
}

}  // namespace vornak::skingen
