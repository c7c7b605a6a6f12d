#include "qttreepropertybrowser.h"

#include "propertytreewidget_p.h"
#include "qttreepropertybrowser_p.h"

#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>

#include <algorithm>
#include <functional>

using PropertyBrowser::Internal::PropertyDelegate;
using PropertyBrowser::Internal::PropertyTreeWidget;

QtTreePropertyBrowserPrivate::QtTreePropertyBrowserPrivate(QtTreePropertyBrowser *browser)
    : q(browser)
{
}

void QtTreePropertyBrowserPrivate::init()
{
    auto *layout = new QHBoxLayout(q);
    layout->setContentsMargins(0, 0, 0, 0);
    tree = new PropertyTreeWidget(this, q);
    delegate = tree->propertyDelegate();
    layout->addWidget(tree);
    q->setFocusProxy(tree);
    tree->setAlternatingRowColors(true);
    tree->header()->setSectionsMovable(false);
    retranslate();
    nameFitTimer.setSingleShot(true);
    nameFitTimer.setInterval(0);
    QObject::connect(&nameFitTimer, &QTimer::timeout, q, [this] { fitNameColumn(); });
    applyResizeMode();

    // Anything that can change the widest visible name refits the name column.
    QAbstractItemModel *model = tree->model();
    const auto refit = [this] { scheduleNameColumnFit(); };
    QObject::connect(model, &QAbstractItemModel::rowsInserted, q, refit);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, q, refit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, q, refit);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, q, refit);
    QObject::connect(model, &QAbstractItemModel::modelReset, q, refit);
    QObject::connect(tree, &QTreeView::expanded, q, refit);
    QObject::connect(tree, &QTreeView::collapsed, q, refit);

    QObject::connect(tree, &QTreeWidget::itemExpanded, q, [this](QTreeWidgetItem *treeItem) {
        if (QtBrowserItem *item = browserItem(treeItem))
            emit q->expanded(item);
    });
    QObject::connect(tree, &QTreeWidget::itemCollapsed, q, [this](QTreeWidgetItem *treeItem) {
        if (QtBrowserItem *item = browserItem(treeItem))
            emit q->collapsed(item);
    });
    QObject::connect(tree, &QTreeWidget::currentItemChanged, q,
                     [this](QTreeWidgetItem *current) { q->setCurrentItem(browserItem(current)); });
    QObject::connect(q, &QtAbstractPropertyBrowser::currentItemChanged, q,
                     [this](QtBrowserItem *item) {
                         QTreeWidgetItem *treeItem = itemToTree.value(item);
                         if (tree->currentItem() != treeItem)
                             tree->setCurrentItem(treeItem);
                     });
}

QtBrowserItem *QtTreePropertyBrowserPrivate::browserItem(const QTreeWidgetItem *treeItem) const
{
    return treeToItem.value(treeItem);
}

QWidget *QtTreePropertyBrowserPrivate::createEditor(QtProperty *property, QWidget *parent) const
{
    return q->createEditor(property, parent);
}

void QtTreePropertyBrowserPrivate::updateItem(QTreeWidgetItem *treeItem)
{
    QtBrowserItem *item = browserItem(treeItem);
    if (!item)
        return;
    const QtProperty *property = item->property();
    const bool hasValue = property->hasValue();

    treeItem->setText(0, property->propertyName());
    treeItem->setToolTip(
        0, property->toolTip().isEmpty() ? property->propertyName() : property->toolTip());
    treeItem->setStatusTip(0, property->statusTip());
    treeItem->setWhatsThis(0, property->whatsThis());
    const QString valueText = hasValue ? property->valueText() : QString();
    treeItem->setText(1, valueText);
    treeItem->setToolTip(1, valueText);
    treeItem->setIcon(1, hasValue ? property->valueIcon() : QIcon());

    // A row is only as enabled as the row it hangs below.
    const QTreeWidgetItem *parent = treeItem->parent();
    const bool enabled
        = property->isEnabled() && (!parent || (parent->flags() & Qt::ItemIsEnabled));
    Qt::ItemFlags flags = Qt::ItemIsSelectable;
    if (enabled)
        flags |= Qt::ItemIsEnabled;
    if (enabled && hasValue)
        flags |= Qt::ItemIsEditable;
    if (treeItem->flags() != flags)
        treeItem->setFlags(flags);

    QFont font = treeItem->font(0);
    if (font.bold() != !hasValue) {
        font.setBold(!hasValue);
        treeItem->setFont(0, font);
    }
    QColor background = backgrounds.value(item);
    if (!background.isValid() && !hasValue)
        background = tree->palette().color(QPalette::Window).darker(106);
    const QBrush brush = background.isValid() ? QBrush(background) : QBrush();
    treeItem->setBackground(0, brush);
    treeItem->setBackground(1, brush);
    if (treeItem->treeWidget())
        treeItem->setFirstColumnSpanned(!hasValue);
}

void QtTreePropertyBrowserPrivate::updateSubtree(QTreeWidgetItem *treeItem)
{
    updateItem(treeItem);
    for (int i = 0; i < treeItem->childCount(); ++i)
        updateSubtree(treeItem->child(i));
}

void QtTreePropertyBrowserPrivate::applyResizeMode()
{
    QHeaderView *header = tree->header();
    QHeaderView::ResizeMode mode = QHeaderView::Stretch;
    switch (resizeMode) {
    case QtTreePropertyBrowser::Interactive:
        mode = QHeaderView::Interactive;
        break;
    case QtTreePropertyBrowser::Fixed:
        mode = QHeaderView::Fixed;
        break;
    case QtTreePropertyBrowser::ResizeToContents:
        // The header's own ResizeToContents would give a long name the whole width and push
        // the values out of sight; the browser sizes the name column itself instead.
        // A stretched last section never shrinks below its earlier size; a plain Stretch
        // section goes down to the minimum section size.
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Fixed);
        header->setSectionResizeMode(1, QHeaderView::Stretch);
        fitNameColumn();
        return;
    case QtTreePropertyBrowser::Stretch:
        break;
    }
    header->setStretchLastSection(true);
    header->setSectionResizeMode(mode);
}

int QtTreePropertyBrowserPrivate::nameContentWidth() const
{
    int width = tree->header()->sectionSizeHint(0);
    const int indentation = tree->indentation();
    // Rows spanning both columns (groups) do not need the name column to be wide.
    std::function<void(const QTreeWidgetItem *, int)> visit
        = [&](const QTreeWidgetItem *item, int depth) {
              if (item->isHidden())
                  return;
              if (!item->isFirstColumnSpanned()) {
                  const QModelIndex index = tree->indexFor(item, 0);
                  width = qMax(width, tree->sizeHintForIndex(index).width() + depth * indentation);
              }
              if (item->isExpanded()) {
                  for (int i = 0; i < item->childCount(); ++i)
                      visit(item->child(i), depth + 1);
              }
          };
    const int rootDepth = tree->rootIsDecorated() ? 1 : 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        visit(tree->topLevelItem(i), rootDepth);
    return width;
}

void QtTreePropertyBrowserPrivate::fitNameColumn()
{
    nameFitTimer.stop();
    if (resizeMode != QtTreePropertyBrowser::ResizeToContents || !tree)
        return;
    // Names elide beyond three fifths of the viewport, values always keep the rest.
    const int available = tree->viewport()->width();
    const int cap = qMax(1, available * 3 / 5);
    const int minimum = tree->header()->minimumSectionSize();
    const int width = qMax(minimum, std::min({ nameContentWidth(), cap, available - minimum }));
    if (tree->header()->sectionSize(0) != width)
        tree->header()->resizeSection(0, width);
}

void QtTreePropertyBrowserPrivate::scheduleNameColumnFit()
{
    if (resizeMode == QtTreePropertyBrowser::ResizeToContents)
        nameFitTimer.start();
}

void QtTreePropertyBrowserPrivate::retranslate()
{
    tree->setHeaderLabels(
        { QtTreePropertyBrowser::tr("Property"), QtTreePropertyBrowser::tr("Value") });
    // Value texts such as "True" are translated too.
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        updateSubtree(tree->topLevelItem(i));
}

QtTreePropertyBrowser::QtTreePropertyBrowser(QWidget *parent)
    : QtAbstractPropertyBrowser(parent)
    , d(new QtTreePropertyBrowserPrivate(this))
{
    d->init();
}

QtTreePropertyBrowser::~QtTreePropertyBrowser()
{
    clear();
    // The tree must not report anything to a browser that is half gone.
    disconnect(d->tree, nullptr, this, nullptr);
    delete d->tree;
    d->tree = nullptr;
}

int QtTreePropertyBrowser::indentation() const
{
    return d->tree->indentation();
}

void QtTreePropertyBrowser::setIndentation(int i)
{
    d->tree->setIndentation(i);
}

bool QtTreePropertyBrowser::rootIsDecorated() const
{
    return d->tree->rootIsDecorated();
}

void QtTreePropertyBrowser::setRootIsDecorated(bool show)
{
    d->tree->setRootIsDecorated(show);
}

bool QtTreePropertyBrowser::alternatingRowColors() const
{
    return d->tree->alternatingRowColors();
}

void QtTreePropertyBrowser::setAlternatingRowColors(bool enable)
{
    d->tree->setAlternatingRowColors(enable);
}

bool QtTreePropertyBrowser::isHeaderVisible() const
{
    return !d->tree->isHeaderHidden();
}

void QtTreePropertyBrowser::setHeaderVisible(bool visible)
{
    d->tree->setHeaderHidden(!visible);
}

QtTreePropertyBrowser::ResizeMode QtTreePropertyBrowser::resizeMode() const
{
    return d->resizeMode;
}

void QtTreePropertyBrowser::setResizeMode(ResizeMode mode)
{
    d->resizeMode = mode;
    d->applyResizeMode();
}

int QtTreePropertyBrowser::splitterPosition() const
{
    return d->tree->header()->sectionSize(0);
}

void QtTreePropertyBrowser::setSplitterPosition(int position)
{
    d->tree->header()->resizeSection(0, position);
}

void QtTreePropertyBrowser::setExpanded(QtBrowserItem *item, bool expanded)
{
    if (QTreeWidgetItem *treeItem = d->itemToTree.value(item))
        treeItem->setExpanded(expanded);
}

bool QtTreePropertyBrowser::isExpanded(QtBrowserItem *item) const
{
    const QTreeWidgetItem *treeItem = d->itemToTree.value(item);
    return treeItem && treeItem->isExpanded();
}

bool QtTreePropertyBrowser::isItemVisible(QtBrowserItem *item) const
{
    const QTreeWidgetItem *treeItem = d->itemToTree.value(item);
    return treeItem && !treeItem->isHidden();
}

void QtTreePropertyBrowser::setItemVisible(QtBrowserItem *item, bool visible)
{
    if (QTreeWidgetItem *treeItem = d->itemToTree.value(item))
        treeItem->setHidden(!visible);
}

void QtTreePropertyBrowser::setBackgroundColor(QtBrowserItem *item, const QColor &color)
{
    QTreeWidgetItem *treeItem = d->itemToTree.value(item);
    if (!treeItem)
        return;
    if (color.isValid())
        d->backgrounds.insert(item, color);
    else
        d->backgrounds.remove(item);
    d->updateItem(treeItem);
}

QColor QtTreePropertyBrowser::backgroundColor(QtBrowserItem *item) const
{
    return d->backgrounds.value(item);
}

void QtTreePropertyBrowser::editItem(QtBrowserItem *item)
{
    QTreeWidgetItem *treeItem = d->itemToTree.value(item);
    if (!treeItem)
        return;
    const QModelIndex index = d->tree->indexFor(treeItem, 1);
    d->tree->setCurrentIndex(index);
    d->tree->editValue(index);
}

void QtTreePropertyBrowser::itemInserted(QtBrowserItem *item, QtBrowserItem *afterItem)
{
    auto *treeItem = new QTreeWidgetItem;
    d->itemToTree.insert(item, treeItem);
    d->treeToItem.insert(treeItem, item);
    QTreeWidgetItem *parent = d->itemToTree.value(item->parent());
    QTreeWidgetItem *after = d->itemToTree.value(afterItem);
    if (parent)
        parent->insertChild(after ? parent->indexOfChild(after) + 1 : 0, treeItem);
    else
        d->tree->insertTopLevelItem(after ? d->tree->indexOfTopLevelItem(after) + 1 : 0, treeItem);
    d->updateItem(treeItem);
    treeItem->setExpanded(true);
}

void QtTreePropertyBrowser::itemRemoved(QtBrowserItem *item)
{
    QTreeWidgetItem *treeItem = d->itemToTree.take(item);
    if (!treeItem)
        return;
    d->treeToItem.remove(treeItem);
    d->backgrounds.remove(item);
    // An editor of a row that goes away is dropped, not committed.
    const QList<QWidget *> editors = d->delegate->editors();
    for (QWidget *editor : editors) {
        if (d->tree->itemFor(d->delegate->editedIndex(editor)) == treeItem)
            PropertyDelegate::silence(editor);
    }
    delete treeItem;
}

void QtTreePropertyBrowser::itemChanged(QtBrowserItem *item)
{
    QTreeWidgetItem *treeItem = d->itemToTree.value(item);
    if (!treeItem)
        return;
    d->updateSubtree(treeItem);
    // Rows that just became disabled give up their editors.
    const QList<QWidget *> editors = d->delegate->editors();
    for (QWidget *editor : editors) {
        const QTreeWidgetItem *edited = d->tree->itemFor(d->delegate->editedIndex(editor));
        if (edited && !(edited->flags() & Qt::ItemIsEnabled)) {
            PropertyDelegate::silence(editor);
            d->tree->closeEditorOf(editor);
        }
    }
}
