#include "widgets/report_list.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTimer>

namespace vornak {

namespace {

constexpr int kGreyRole = Qt::UserRole + 1;

}  // namespace

void CellDropDown::hidePopup() {
    QComboBox::hidePopup();
    emit popupClosed();
}

ReportList::ReportList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsMovable(false);
    // The last column takes the room the others leave, so the header has no blank end.
    header()->setStretchLastSection(true);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QTreeWidget::itemClicked, this, &ReportList::OnItemClicked);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &ReportList::OnSelectionChanged);
    // An editor belongs to the place of its cell: a scroll ends it, keeping what was typed.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ReportList::CommitEditor);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &ReportList::CommitEditor);
}

void ReportList::SetColumns(const QStringList& headers, const QList<int>& widths) {
    setColumnCount(static_cast<int>(headers.size()));
    setHeaderLabels(headers);
    for (int c = 0; c < widths.size() && c < headers.size(); ++c)
        header()->resizeSection(c, widths[c]);
}

void ReportList::SetRowCount(int rows) {
    CloseEditor();
    while (topLevelItemCount() > rows)
        delete takeTopLevelItem(topLevelItemCount() - 1);
    while (topLevelItemCount() < rows)
        addTopLevelItem(new QTreeWidgetItem);
}

void ReportList::InsertRow(int row) {
    CloseEditor();
    insertTopLevelItem(std::clamp(row, 0, topLevelItemCount()), new QTreeWidgetItem);
}

void ReportList::RemoveRow(int row) {
    CloseEditor();
    delete takeTopLevelItem(row);
}

void ReportList::SetCell(int row, int column, const QString& text, bool grey) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) return;
    item->setText(column, text);
    item->setData(column, kGreyRole, grey);
    if (grey) {
        item->setForeground(column, GreyBrush());
    } else {
        item->setData(column, Qt::ForegroundRole, QVariant());
    }
}

QBrush ReportList::GreyBrush() const {
    return greyColor_.isValid() ? QBrush(greyColor_) : palette().brush(QPalette::Disabled, QPalette::Text);
}

QString ReportList::cellText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->text(column) : QString();
}

bool ReportList::cellGrey(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->data(column, kGreyRole).toBool();
}

QRect ReportList::cellRect(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) return {};
    const QRect line = visualItemRect(item);
    return {header()->sectionViewportPosition(column), line.y(), header()->sectionSize(column),
            line.height()};
}

void ReportList::SelectRow(int row) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) {
        clearSelection();
        setCurrentItem(nullptr);
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

int ReportList::selectedRow() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.front());
}

void ReportList::mousePressEvent(QMouseEvent* event) {
    selectedBeforePress_ = selectedRow();
    QTreeWidget::mousePressEvent(event);
}

void ReportList::OnItemClicked(QTreeWidgetItem* item, int column) {
    const int row = indexOfTopLevelItem(item);
    if (row >= 0) emit cellClicked(row, column, row == selectedBeforePress_);
}

void ReportList::OnSelectionChanged() {
    emit rowSelected(selectedRow());
}

void ReportList::OpenDropDown(int row, int column, const QStringList& choices, int current, int visibleRows) {
    CloseEditor();
    if (topLevelItem(row) == nullptr) return;
    auto* box = new CellDropDown(viewport());
    box->addItems(choices);
    box->setMaxVisibleItems(visibleRows);
    box->setCurrentIndex(current);
    box->setGeometry(cellRect(row, column));
    editor_ = box;
    editRow_ = row;
    editColumn_ = column;
    connect(box, &QComboBox::activated, this, [this, row, column, current](int index) {
        CloseEditor();
        if (index != current) emit choiceMade(row, column, index);
    });
    // The list closes before it reports the choice: let that report come first.
    connect(box, &CellDropDown::popupClosed, this, [this, box] {
        QTimer::singleShot(0, this, [this, box] {
            if (editor_ == box) CloseEditor();
        });
    });
    box->show();
    box->showPopup();
}

void ReportList::OpenNumberEditor(int row, int column, const QString& text) {
    CloseEditor();
    if (topLevelItem(row) == nullptr) return;
    auto* box = new QLineEdit(viewport());
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), box));
    box->setText(text);
    box->selectAll();
    box->setGeometry(cellRect(row, column));
    box->installEventFilter(this);
    editor_ = box;
    editRow_ = row;
    editColumn_ = column;
    connect(box, &QLineEdit::editingFinished, this, &ReportList::Commit);
    box->show();
    box->setFocus(Qt::OtherFocusReason);
}

void ReportList::Commit() {
    auto* box = qobject_cast<QLineEdit*>(editor_.data());
    if (box == nullptr || committing_) return;
    committing_ = true;
    const QString text = box->text();
    const int row = editRow_, column = editColumn_;
    CloseEditor();
    emit numberCommitted(row, column, text);
    committing_ = false;
}

void ReportList::CommitEditor() {
    if (qobject_cast<QLineEdit*>(editor_.data()) != nullptr) {
        Commit();
    } else {
        CloseEditor();
    }
}

void ReportList::CloseEditor() {
    if (editor_.isNull()) return;
    QWidget* box = editor_;
    editor_ = nullptr;
    box->disconnect(this);
    box->removeEventFilter(this);
    box->hide();
    box->deleteLater();
    editRow_ = editColumn_ = -1;
}

bool ReportList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        CloseEditor();
        setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QTreeWidget::eventFilter(watched, event);
}

}  // namespace vornak
