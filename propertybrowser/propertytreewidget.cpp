#include "propertytreewidget_p.h"

#include "qttreepropertybrowser_p.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QSpinBox>

namespace PropertyBrowser::Internal {

PropertyDelegate::PropertyDelegate(QtTreePropertyBrowserPrivate *browser, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_browser(browser)
{
}

QWidget *PropertyDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                        const QModelIndex &index) const
{
    if (index.column() != 1)
        return nullptr;
    const QTreeWidgetItem *treeItem = m_browser->tree->itemFor(index);
    QtBrowserItem *item = m_browser->browserItem(treeItem);
    if (!item || !(treeItem->flags() & Qt::ItemIsEnabled)
        || !(treeItem->flags() & Qt::ItemIsEditable))
        return nullptr;
    QWidget *editor = m_browser->createEditor(item->property(), parent);
    if (!editor)
        return nullptr;
    // The value text below must not shine through.
    editor->setAutoFillBackground(true);
    m_editors.insert(editor, index);
    connect(editor, &QObject::destroyed, this,
            [this](QObject *object) { m_editors.remove(static_cast<QWidget *>(object)); });
    return editor;
}

void PropertyDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    m_editors.remove(editor);
    QStyledItemDelegate::destroyEditor(editor, index);
}

void PropertyDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &) const
{
    editor->setGeometry(option.rect.adjusted(0, 0, 0, -1));
}

QSize PropertyDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Rows leave room for an editor without growing when one opens; a spin box squeezed
    // to its smallest useful height still reads well.
    if (m_editorHeight == 0)
        m_editorHeight = QSpinBox().minimumSizeHint().height();
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height() + 6, m_editorHeight));
    size.setWidth(size.width() + 4);
    return size;
}

void PropertyDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);

    // Thin grid lines keep name and value of a row visibly together.
    const QColor color = QColor::fromRgba(static_cast<QRgb>(
        m_browser->tree->style()->styleHint(QStyle::SH_Table_GridLineColor, &option)));
    painter->save();
    painter->setPen(color);
    const QRect rect = option.rect;
    painter->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    if (index.column() == 0 && !m_browser->tree->isFirstColumnSpanned(index.row(), index.parent()))
        painter->drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    painter->restore();
}

void PropertyDelegate::silence(QWidget *editor)
{
    editor->blockSignals(true);
    const QList<QObject *> children = editor->findChildren<QObject *>();
    for (QObject *child : children)
        child->blockSignals(true);
}

bool PropertyDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        if (auto *editor = qobject_cast<QWidget *>(object))
            silence(editor);
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

PropertyTreeWidget::PropertyTreeWidget(QtTreePropertyBrowserPrivate *browser, QWidget *parent)
    : QTreeWidget(parent)
    , m_browser(browser)
    , m_delegate(new PropertyDelegate(browser, this))
{
    setColumnCount(2);
    setItemDelegate(m_delegate);
    setEditTriggers(EditKeyPressed | SelectedClicked | DoubleClicked);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setAllColumnsShowFocus(true);
    setUniformRowHeights(true);
}

bool PropertyTreeWidget::editValue(const QModelIndex &index)
{
    return edit(index, AllEditTriggers, nullptr);
}

bool PropertyTreeWidget::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!index.isValid() || trigger == NoEditTriggers)
        return QTreeWidget::edit(index, trigger, event);
    const QModelIndex valueIndex = index.sibling(index.row(), 1);
    const QTreeWidgetItem *treeItem = itemFromIndex(valueIndex);
    if (!treeItem || !(treeItem->flags() & Qt::ItemIsEnabled)
        || !(treeItem->flags() & Qt::ItemIsEditable))
        return false;
    return QTreeWidget::edit(valueIndex, trigger, event);
}

void PropertyTreeWidget::mousePressEvent(QMouseEvent *event)
{
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // One click on a value is enough to start changing it.
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid() && index.column() == 1 && !indexWidget(index))
        editAndClick(index);
}

void PropertyTreeWidget::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    if (state() != EditingState && current.isValid()) {
        const int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (editValue(current)) {
                event->accept();
                return;
            }
        } else if (key == Qt::Key_Space) {
            // Space opens a row like F2, and a check box or button also takes the press.
            if (editAndClick(current.sibling(current.row(), 1))) {
                event->accept();
                return;
            }
        }
    }
    QTreeWidget::keyPressEvent(event);
}

bool PropertyTreeWidget::editAndClick(const QModelIndex &index)
{
    if (!editValue(index))
        return false;
    // A check box or push button does what the click asked for right away instead of
    // waiting for a second click.
    if (QWidget *editor = indexWidget(index.sibling(index.row(), 1))) {
        auto *button = qobject_cast<QAbstractButton *>(editor);
        if (!button)
            button = qobject_cast<QAbstractButton *>(editor->focusProxy());
        if (button)
            button->click();
    }
    return true;
}

void PropertyTreeWidget::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeWidget::currentChanged(current, previous);
    const QList<QWidget *> editors = m_delegate->editors();
    for (QWidget *editor : editors) {
        const QModelIndex edited = m_delegate->editedIndex(editor);
        if (!current.isValid() || edited.row() != current.row()
            || edited.parent() != current.parent())
            closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void PropertyTreeWidget::drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QTreeWidget::drawRow(painter, option, index);
    // A coloured row (a group) is coloured from the left edge, indentation included; the view
    // paints that part in the plain row colour, so it is painted over and the branch redrawn.
    const QTreeWidgetItem *item = itemFromIndex(index);
    const QBrush background = item ? item->background(0) : QBrush();
    if (background.style() == Qt::NoBrush || selectionModel()->isSelected(index))
        return;
    const int indent = visualRect(index).left() - option.rect.left();
    if (indent <= 0)
        return;
    const QRect branch(option.rect.left(), option.rect.top(), indent, option.rect.height());
    painter->fillRect(branch, background);
    drawBranches(painter, branch, index);
}

void PropertyTreeWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_browser->retranslate();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_browser->scheduleNameColumnFit();
    QTreeWidget::changeEvent(event);
}

bool PropertyTreeWidget::viewportEvent(QEvent *event)
{
    const bool result = QTreeWidget::viewportEvent(event);
    // The name column's share follows the viewport at once, so no scroll bar flickers up.
    if (event->type() == QEvent::Resize)
        m_browser->fitNameColumn();
    return result;
}

} // namespace PropertyBrowser::Internal
