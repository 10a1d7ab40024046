#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// How the tests read their fixtures and their tables of rows.
namespace TestData {

// The bytes of a file; empty when it cannot be read.
inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a file, making its folder first.
inline bool write(const QString& path, const QByteArray& content) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) &&
           file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) >= 0;
}

// The rows of a JSON file under tests/data (its array, or the array under `table`): each object
// becomes a row named by its "name", in the QJsonObject column `column`.
inline void rows(const char* column, const QString& file, const char* table = nullptr) {
    const QJsonDocument document =
        QJsonDocument::fromJson(read(QStringLiteral(VANTOR_TEST_DATA_DIR "/") + file));
    const QJsonArray all = table ? document[QLatin1String(table)].toArray() : document.array();
    QTest::addColumn<QJsonObject>(column);
    QVERIFY2(!all.isEmpty(), qPrintable(file));
    for (const QJsonValue row : all) {
        QTest::newRow(row[u"name"].toString().toUtf8().constData()) << row.toObject();
    }
}
// The rows of the table named after the calling test, in the column "row".
inline void tableRows(const QString& file) {
    rows("row", file, QTest::currentTestFunction());
}

// QFETCH as an expression, for columns read once.
template <typename T>
T fetch(const char* column) {
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}

}  // namespace TestData
