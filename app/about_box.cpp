#include "app/about_box.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/ui_thread.h"

namespace vornak {

AboutBox::AboutBox(const LanguageTexts& texts, const QString& link, QWidget* parent) : QDialog(parent) {
    setWindowTitle(LanguageText(texts, TextId::MENU_3).trimmed());
    auto* layout = new QVBoxLayout(this);
    auto* title =
        new QLabel(QStringLiteral("<b>Vornak %1</b>").arg(QCoreApplication::applicationVersion()), this);
    description_ = new QLabel(LanguageText(texts, TextId::GUANYU_JIESHAO), this);
    copyright_ = new QLabel(LanguageText(texts, TextId::GUANYU_BANQUAN), this);
    auto* address = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(link.toHtmlEscaped()), this);
    address->setOpenExternalLinks(true);
    for (QLabel* l : {description_, copyright_}) {
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(title);
    layout->addWidget(description_);
    layout->addWidget(copyright_);
    layout->addWidget(address);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

QString AboutBox::description() const {
    return description_->text();
}

QString AboutBox::copyright() const {
    return copyright_->text();
}

}  // namespace vornak
