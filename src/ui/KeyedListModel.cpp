#include "KeyedListModel.h"

#include <QSet>

#include <algorithm>

KeyedListModel::KeyedListModel(QList<QByteArray> roles, QObject* parent)
    : QAbstractListModel(parent), roles_(std::move(roles)) {}

int KeyedListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant KeyedListModel::data(const QModelIndex& index, int role) const {
    const int column = role - Qt::UserRole;
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        column < 0 || column >= rows_[index.row()].size()) {
        return {};
    }
    return rows_[index.row()][column];
}

QHash<int, QByteArray> KeyedListModel::roleNames() const {
    QHash<int, QByteArray> names;
    for (qsizetype i = 0; i < roles_.size(); ++i) {
        names.insert(Qt::UserRole + static_cast<int>(i), roles_[i]);
    }
    return names;
}

void KeyedListModel::setRows(const QList<QVariantList>& wanted) {
    const auto keyOf = [](const QVariantList& row) { return row.value(0).toString(); };
    QSet<QString> keys;
    for (const QVariantList& row : wanted) {
        keys.insert(keyOf(row));
    }
    for (int i = static_cast<int>(rows_.size()) - 1; i >= 0; --i) {
        if (!keys.contains(keyOf(rows_[i]))) {
            beginRemoveRows({}, i, i);
            rows_.removeAt(i);
            endRemoveRows();
        }
    }
    for (int i = 0; i < wanted.size(); ++i) {
        const QString key = keyOf(wanted[i]);
        const auto found = std::find_if(rows_.cbegin() + i, rows_.cend(),
                                        [&](const QVariantList& row) { return keyOf(row) == key; });
        const int at = static_cast<int>(found - rows_.cbegin());
        if (found == rows_.cend()) {
            beginInsertRows({}, i, i);
            rows_.insert(i, wanted[i]);
            endInsertRows();
            continue;
        }
        if (at != i) {
            beginMoveRows({}, at, at, {}, i);
            rows_.move(at, i);
            endMoveRows();
        }
        if (rows_[i] != wanted[i]) {
            rows_[i] = wanted[i];
            Q_EMIT dataChanged(index(i), index(i));
        }
    }
}
