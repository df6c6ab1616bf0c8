// Screenshots from the gui tests, for a person to look at: saved only when VORNAK_SHOTS names a folder, so a
// test run writes nothing outside its own temporary folders.
#pragma once

#include <QDir>
#include <QString>
#include <QWidget>
#include <cstdlib>

namespace vornak::test {

inline void SaveShot(QWidget& widget, const QString& name) {
    const char* folder = std::getenv("VORNAK_SHOTS");
    if (folder == nullptr || *folder == 0) return;
    const QDir dir(QString::fromLocal8Bit(folder));
    dir.mkpath(QStringLiteral("."));
    widget.grab().save(dir.filePath(name));
}

}  // namespace vornak::test
