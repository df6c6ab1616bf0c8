#include "app/qt_prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "app/ui_thread.h"

namespace vornak {

QString QtFileFilter(std::u16string_view filter) {
    const QStringList parts = ToQt(filter).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(
            parts[i], QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    return out.join(QStringLiteral(";;"));
}

PromptAnswer QtPrompts::Message(std::u16string_view message, PromptButtons buttons,
                                PromptAnswer defaultAnswer) {
    const QString text = ToQt(message);
    // The Windows program's message boxes carry no caption; ours carry the program's name instead of none.
    QMessageBox box(parent_);
    box.setWindowTitle(QStringLiteral("Vornak"));
    box.setText(text.trimmed());
    if (buttons == PromptButtons::Ok) {
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return PromptAnswer::Ok;
    }
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(defaultAnswer == PromptAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    const int r = box.exec();
    if (r == QMessageBox::Yes) return PromptAnswer::Yes;
    if (r == QMessageBox::No) return PromptAnswer::No;
    return defaultAnswer;
}

std::optional<std::filesystem::path> QtPrompts::ChooseFile(const FileChoice& choice) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFileFilter(choice.filter));
    dialog.setDefaultSuffix(ToQt(choice.defaultExtension));
    if (!choice.initialFolder.empty())
        dialog.setDirectory(QString::fromStdString(choice.initialFolder.string()));
    if (!choice.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString initial = ToQt(choice.initialName);
    if (!initial.isEmpty() && !initial.contains(QLatin1Char('*'))) dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}

}  // namespace vornak
