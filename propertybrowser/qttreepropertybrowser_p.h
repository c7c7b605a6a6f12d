#pragma once

#include "qttreepropertybrowser.h"

#include <QtCore/QHash>
#include <QtCore/QTimer>

class QTreeWidgetItem;

namespace PropertyBrowser::Internal {
class PropertyTreeWidget;
class PropertyDelegate;
} // namespace PropertyBrowser::Internal

class QtTreePropertyBrowserPrivate
{
public:
    explicit QtTreePropertyBrowserPrivate(QtTreePropertyBrowser *browser);

    void init();
    void updateItem(QTreeWidgetItem *treeItem);
    // Refreshes the item and everything below it (the enabled state is inherited).
    void updateSubtree(QTreeWidgetItem *treeItem);
    QtBrowserItem *browserItem(const QTreeWidgetItem *treeItem) const;
    QWidget *createEditor(QtProperty *property, QWidget *parent) const;
    void applyResizeMode();
    // ResizeToContents: the name column fits its widest visible name but leaves the value
    // column at least two fifths of the viewport; the value column takes what is left.
    void fitNameColumn();
    void scheduleNameColumnFit();
    int nameContentWidth() const;
    void retranslate();

    QtTreePropertyBrowser *q;
    PropertyBrowser::Internal::PropertyTreeWidget *tree = nullptr;
    PropertyBrowser::Internal::PropertyDelegate *delegate = nullptr;
    QHash<QtBrowserItem *, QTreeWidgetItem *> itemToTree;
    QHash<const QTreeWidgetItem *, QtBrowserItem *> treeToItem;
    QHash<QtBrowserItem *, QColor> backgrounds;
    QtTreePropertyBrowser::ResizeMode resizeMode = QtTreePropertyBrowser::Stretch;
    QTimer nameFitTimer;
};
