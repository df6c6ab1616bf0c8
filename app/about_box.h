// The About box: the program's description and copyright from the language file, the version and the link.
// Unlike every other window it is a plain dialog, not skinned.
#pragma once

#include <QDialog>
#include <QString>

#include "texts/language_texts.h"

class QLabel;

namespace vornak {

class AboutBox : public QDialog {
    Q_OBJECT

  public:
    AboutBox(const LanguageTexts& texts, const QString& link, QWidget* parent = nullptr);

    QString description() const;
    QString copyright() const;

  private:
    QLabel* description_ = nullptr;
    QLabel* copyright_ = nullptr;
};

}  // namespace vornak
