#pragma once

#include <QAccessible>
#include <QList>
#include <QObject>
#include <QString>

namespace quillery {

// One node of the accessibility tree as a screen reader gets it.
struct AccessibleNode {
    QObject* object = nullptr;
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString description;
};

// Every node below `root`, walked through the accessibility interfaces (not the widget
// tree), so a node counts only when a screen reader can reach it.
inline QList<AccessibleNode> AccessibleTree(QObject* root) {
    QList<AccessibleNode> nodes;
    QList<QAccessibleInterface*> pending{QAccessible::queryAccessibleInterface(root)};
    while (!pending.isEmpty() && nodes.size() < 2000) {
        QAccessibleInterface* node = pending.takeFirst();
        if (node == nullptr || !node->isValid()) {
            continue;
        }
        nodes.append({node->object(), node->role(), node->text(QAccessible::Name),
                      node->text(QAccessible::Description)});
        for (int i = 0; i < node->childCount(); ++i) {
            pending.append(node->child(i));
        }
    }
    return nodes;
}

inline AccessibleNode FindNode(const QList<AccessibleNode>& nodes, const QObject* object) {
    for (const AccessibleNode& node : nodes) {
        if (node.object == object) {
            return node;
        }
    }
    return {};
}

// The names of the nodes a user moves between (fields, buttons, check boxes) and of the
// status bar, for checking that none is empty and no two are the same. A label may
// share its field's name.
inline QStringList FieldNames(const QList<AccessibleNode>& nodes) {
    QStringList names;
    for (const AccessibleNode& node : nodes) {
        switch (node.role) {
            case QAccessible::EditableText:
            case QAccessible::PushButton:
            case QAccessible::CheckBox:
            case QAccessible::StatusBar:
                names << node.name;
                break;
            default:
                break;
        }
    }
    return names;
}

}  // namespace quillery
