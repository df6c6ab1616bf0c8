// A plain window whose application id (Wayland) is the first argument, for the focus tests on sway.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString id = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("window");
    QGuiApplication::setDesktopFileName(id);
    QLabel label(id);
    label.setWindowTitle(id);
    label.resize(300, 100);
    label.show();
    return app.exec();
}
