// skingen: renders the default skin (pictures and layout files) from its layout table, and previews of the
// dialogs put together from the files it wrote.
//
//   skingen --out <Skins folder>
//   skingen --preview <folder> [--skins <Skins folder>]
//   skingen --app-icons <folder> <name>     the application icon for an icon theme (hicolor)
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "icons.h"
#include "preview.h"
#include "skin_model.h"
#include "skin_writer.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: skingen --out <Skins folder>\n"
                 "       skingen --preview <folder> [--skins <Skins folder>]\n"
                 "       skingen --app-icons <folder> <name>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path out, preview, skins;
    if (argc == 4 && !std::strcmp(argv[1], "--app-icons")) {
        QApplication app(argc, argv);
        std::string error;
        if (!vornak::skingen::WriteAppIcons(argv[2], argv[3], &error)) {
            std::fprintf(stderr, "skingen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--out") && hasValue) {
            out = argv[++i];
        } else if (!std::strcmp(argv[i], "--preview") && hasValue) {
            preview = argv[++i];
        } else if (!std::strcmp(argv[i], "--skins") && hasValue) {
            skins = argv[++i];
        } else {
            return Usage();
        }
    }
    if (out.empty() == preview.empty()) return Usage();

    QApplication app(argc, argv);
    const auto& model = vornak::skingen::DefaultSkin();
    std::string error;
    if (!out.empty()) {
        if (!vornak::skingen::WriteSkin(model, out, &error)) {
            std::fprintf(stderr, "skingen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    // By default the previews show the skin that lies beside this program.
    if (skins.empty())
        skins = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "Skins";
    if (!vornak::skingen::RenderPreviews(model, skins, preview, &error)) {
        std::fprintf(stderr, "skingen: %s\n", error.c_str());
        return 1;
    }
    std::printf("previews written to %s\n", preview.string().c_str());
    return 0;
}
