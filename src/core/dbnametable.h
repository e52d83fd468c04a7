#pragma once
// SQLite helpers of the album-art databases: a table mapping names to stable ids, and checked statement
// preparation.
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include "platform/com/combase.h"

class QSqlQuery;

namespace Db {

// Checks that the connection is valid and open and prepares sql on it; on success query receives a new
// query that the caller owns (null on failure). label names the caller in the log lines.
HRESULT CreateQuery(const QSqlDatabase& connection, const QString& sql, QSqlQuery*& query, const QString& label);

// A one-column table of unique names; a name's id is its ROWID, stable for the database's life.
class CNameTable : public QObject
{
    Q_OBJECT
public:
    CNameTable(QObject* parent, const QSqlDatabase& connection, const QString& tableName);
    ~CNameTable() override;

    // Creates the table and its unique index when the database lacks them; a result code.
    HRESULT Initialize();
    // Whether the last Initialize had to create the table.
    bool IsCreated() const { return m_created; }

    // The name's ROWID, inserting the name when absent (names compare exactly); negative = a result code.
    qint64 GetIdByName(const QString& name);

private:
    QSqlDatabase m_connection;
    QString m_tableName;
    bool m_created = false;
    QSqlQuery* m_select = nullptr;  // prepared on first use
    QSqlQuery* m_insert = nullptr;
};

} // namespace Db
