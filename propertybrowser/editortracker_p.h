#pragma once

#include "qtpropertybrowser.h"

#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QPointer>

namespace PropertyBrowser::Internal {

// Remembers which editors a factory created for which property, in both directions, so that
// a change from the manager reaches every open editor and an edit finds its property. Editors
// leave when they are destroyed, a property's editors are forgotten when the property dies.
template<class Editor> class EditorTracker
{
public:
    explicit EditorTracker(QObject *factory)
        : m_factory(factory)
    {
    }

    ~EditorTracker()
    {
        for (auto it = m_owners.cbegin(); it != m_owners.cend(); ++it)
            QObject::disconnect(it.key(), nullptr, m_factory, nullptr);
    }

    void add(QtProperty *property, Editor *editor)
    {
        m_editors[property].append(editor);
        m_owners.insert(editor, property);
        QObject::connect(editor, &QObject::destroyed, m_factory,
                         [this](QObject *object) { editorDestroyed(object); });
    }

    QList<Editor *> editors(QtProperty *property) const { return m_editors.value(property); }

    QtProperty *property(const QObject *editor) const
    {
        return m_owners.value(const_cast<QObject *>(editor));
    }

    // The editors stay open until their view closes them; they just no longer write anywhere.
    void propertyDestroyed(QtProperty *property)
    {
        const QList<Editor *> editors = m_editors.take(property);
        for (Editor *editor : editors) {
            m_owners.remove(editor);
            QObject::disconnect(editor, nullptr, m_factory, nullptr);
        }
    }

    int editorCount() const { return m_owners.size(); }

private:
    void editorDestroyed(QObject *object)
    {
        QtProperty *property = m_owners.take(object);
        auto it = m_editors.find(property);
        if (it == m_editors.end())
            return;
        // Compared by address only: the Editor part of the object is gone already.
        for (int i = 0; i < it->size(); ++i) {
            if (static_cast<QObject *>(it->at(i)) == object) {
                it->removeAt(i);
                break;
            }
        }
        if (it->isEmpty())
            m_editors.erase(it);
    }

    QObject *m_factory;
    QHash<QtProperty *, QList<Editor *>> m_editors;
    QHash<QObject *, QtProperty *> m_owners;
};

} // namespace PropertyBrowser::Internal
