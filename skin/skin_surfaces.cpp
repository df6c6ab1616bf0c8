#include "skin/skin_surfaces.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "skin/core/skin_layout.h"

namespace vornak {

namespace {

void ReleaseSurfaces() {
    SkinSurfaces::Instance().Clear();
}

QString PathText(const std::filesystem::path& file) {
    return QString::fromStdString(file.string());
}

}  // namespace

SkinSurfaces& SkinSurfaces::Instance() {
    static SkinSurfaces* instance = [] {
        // Pixmaps must go before the application object does, not at static destruction.
        qAddPostRoutine(ReleaseSurfaces);
        return new SkinSurfaces;
    }();
    return *instance;
}

int SkinPictureScale() {
    return PictureScaleFor(qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

const SkinSurface& SkinSurfaces::Get(const std::filesystem::path& file, QSize dialogSize, int scale) {
    scale = std::max(scale, 1);
    auto found = surfaces_.find({file, scale});
    if (found != surfaces_.end()) return found->second;

    SkinSurface surface;
    QImage picture;
    surface.loaded = LoadSkinPicture(file, &picture, &surface.error, scale);
    if (surface.loaded) {
        surface.pixmap = QPixmap::fromImage(std::move(picture));
    } else {
        surface.pixmap = QPixmap(dialogSize.expandedTo(QSize(1, 1)) * scale);
        surface.pixmap.setDevicePixelRatio(scale);
        if (!surface.pixmap.isNull()) surface.pixmap.fill(Qt::transparent);
    }
    if (surface.pixmap.isNull()) EndForSkinFailure("cannot create the surface of " + file.string());
    return surfaces_.emplace(std::pair(file, scale), std::move(surface)).first->second;
}

void SkinSurfaces::Trim() {
    std::erase_if(surfaces_, [](const auto& entry) { return entry.second.pixmap.isDetached(); });
}

void EndForSkinFailure(const std::string& message) {
    std::fprintf(stderr, "vornak: cannot load the skin: %s\n", message.c_str());
    std::fflush(stderr);
    // No unwinding: this runs inside window initialisation, where nothing can be cleaned up usefully.
    std::_Exit(kSkinPictureFailureExitCode);
}

namespace {

// By the format its name gives first: left to guess, Qt loads every picture plug-in to ask whether it can
// read the file. A file whose content is another format than its name says is still read by guessing.
QImage ReadPicture(const std::filesystem::path& file, QString* why = nullptr) {
    QByteArray format = QByteArray::fromStdString(file.extension().string()).mid(1).toLower();
    if (format == "jpg") format = "jpeg";
    if (!format.isEmpty()) {
        QImageReader reader(PathText(file), format);
        reader.setAutoDetectImageFormat(false);
        if (QImage decoded = reader.read(); !decoded.isNull()) return decoded;
    }
    QImageReader reader(PathText(file));
    QImage decoded = reader.read();
    if (decoded.isNull() && why) *why = reader.errorString();
    return decoded;
}

}  // namespace

bool LoadSkinPicture(const std::filesystem::path& file, QImage* image, std::string* error, int scale) {
    std::error_code ec;
    if (scale > 1) {
        // A skin without a 2x set, or with a broken one, still shows: Qt stretches the 1x picture.
        const std::filesystem::path scaled = ScaledPictureFile(file, scale);
        if (std::filesystem::is_regular_file(scaled, ec)) {
            QImage decoded = ReadPicture(scaled);
            if (!decoded.isNull()) {
                decoded.setDevicePixelRatio(scale);
                *image = std::move(decoded);
                return true;
            }
        }
    }
    if (!std::filesystem::is_regular_file(file, ec)) {
        if (error) *error = "cannot open " + file.string() + ": no such file";
        return false;
    }
    QString why;
    QImage decoded = ReadPicture(file, &why);
    if (decoded.isNull()) {
        if (error) *error = "cannot decode " + file.string() + ": " + why.toStdString();
        return false;
    }
    *image = std::move(decoded);
    return true;
}

}  // namespace vornak
