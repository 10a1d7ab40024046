#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QList>
#include <QVariant>

// Rows for a QML Repeater that change in place: a row whose key stays keeps its delegate (moved
// or updated), so a view is not rebuilt, and loses no focus or edit, for every change.
class KeyedListModel : public QAbstractListModel {
    Q_OBJECT

public:
    // The names of the values a row holds, in order; the first is its key.
    explicit KeyedListModel(QList<QByteArray> roles, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    const QList<QVariantList>& rows() const { return rows_; }
    // Rows that went are removed, new ones inserted, the others moved into place and changed
    // where they differ. Each row's key is its own.
    void setRows(const QList<QVariantList>& rows);

private:
    QList<QByteArray> roles_;
    QList<QVariantList> rows_;
};
