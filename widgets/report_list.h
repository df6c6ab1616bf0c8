// A report-style list: a header over columns of text, one row per item, cells drawn in the system's grey on
// request, and editors opened inside a cell (a drop-down list, or a box for a number).
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QTreeWidget>

namespace vornak {

class ReportList : public QTreeWidget {
    Q_OBJECT

  public:
    explicit ReportList(QWidget* parent = nullptr);

    // Headers and widths in pixels, left to right; every column is left-aligned.
    void SetColumns(const QStringList& headers, const QList<int>& widths);

    int rowCount() const { return topLevelItemCount(); }
    void SetRowCount(int rows);
    void InsertRow(int row);
    void RemoveRow(int row);
    void SetCell(int row, int column, const QString& text, bool grey = false);
    QString cellText(int row, int column) const;
    bool cellGrey(int row, int column) const;
    QRect cellRect(int row, int column) const;
    // The colour of grey cells. A style sheet's text colour stands for every colour group, so under one the
    // palette's disabled text is no longer grey: a styled list names its grey here.
    void SetGreyColor(const QColor& color) { greyColor_ = color; }

    // -1 clears the selection. The row is scrolled into view.
    void SelectRow(int row);
    int selectedRow() const;

    // Opens a drop-down over the cell, as many rows high as asked, with the current choice (-1 for none)
    // marked; choiceMade is sent when a different one is taken.
    void OpenDropDown(int row, int column, const QStringList& choices, int current, int visibleRows);
    // Opens a box for digits over the cell; numberCommitted is sent on Enter, when the box loses the focus or
    // the list scrolls, and on CommitEditor; nothing on Esc.
    void OpenNumberEditor(int row, int column, const QString& text);
    void CloseEditor();
    // A number box commits what it holds (numberCommitted); a drop-down closes without a choice.
    void CommitEditor();
    bool editorOpen() const { return !editor_.isNull(); }
    QWidget* editor() const { return editor_; }

  signals:
    // A click on a cell: its owner decides which editor, if any, to open. wasSelected: the row was the
    // selected one before the click (a first click usually only selects).
    void cellClicked(int row, int column, bool wasSelected);
    void rowSelected(int row);
    void choiceMade(int row, int column, int index);
    void numberCommitted(int row, int column, const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void OnItemClicked(QTreeWidgetItem* item, int column);
    void OnSelectionChanged();
    void Commit();
    QBrush GreyBrush() const;

    QPointer<QWidget> editor_;
    QColor greyColor_;  // invalid: the palette's disabled text
    int editRow_ = -1;
    int editColumn_ = -1;
    bool committing_ = false;
    int selectedBeforePress_ = -1;
};

// The drop-down of a cell: it tells when its list closes, chosen or not.
class CellDropDown : public QComboBox {
    Q_OBJECT

  public:
    using QComboBox::QComboBox;
    void hidePopup() override;

  signals:
    void popupClosed();
};

}  // namespace vornak
