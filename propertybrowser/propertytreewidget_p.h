#pragma once

#include <QtCore/QHash>
#include <QtCore/QPersistentModelIndex>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QTreeWidget>

class QtTreePropertyBrowserPrivate;

namespace PropertyBrowser::Internal {

// Asks the browser's factories for editors. Editors write to their managers themselves, so
// there is no model data to commit; Escape and removal of a row silence the editor first so
// that closing it cannot write a half-typed value.
class PropertyDelegate : public QStyledItemDelegate
{
public:
    PropertyDelegate(QtTreePropertyBrowserPrivate *browser, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *, const QModelIndex &) const override { }
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override { }
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // Open editors and the rows they edit.
    QList<QWidget *> editors() const { return m_editors.keys(); }
    QModelIndex editedIndex(QWidget *editor) const { return m_editors.value(editor); }
    static void silence(QWidget *editor);

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    QtTreePropertyBrowserPrivate *m_browser;
    mutable QHash<QWidget *, QPersistentModelIndex> m_editors;
    mutable int m_editorHeight = 0;
};

// The tree of the browser: editing always happens in the value column, whichever cell of the
// row was used to start it, and moving to another row closes the open editor.
class PropertyTreeWidget : public QTreeWidget
{
public:
    PropertyTreeWidget(QtTreePropertyBrowserPrivate *browser, QWidget *parent);

    PropertyDelegate *propertyDelegate() const { return m_delegate; }
    bool editValue(const QModelIndex &index);
    QTreeWidgetItem *itemFor(const QModelIndex &index) const { return itemFromIndex(index); }
    QModelIndex indexFor(const QTreeWidgetItem *item, int column) const
    {
        return indexFromItem(item, column);
    }
    void closeEditorOf(QWidget *editor) { closeEditor(editor, QAbstractItemDelegate::NoHint); }

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                 const QModelIndex &index) const override;

private:
    // Opens the editor and clicks it when it is a button; true when an editor opened.
    bool editAndClick(const QModelIndex &index);

    QtTreePropertyBrowserPrivate *m_browser;
    PropertyDelegate *m_delegate;
};

} // namespace PropertyBrowser::Internal
