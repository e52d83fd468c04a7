#include "core/dbnametable.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include "core/log.h"

namespace Db {

namespace {

HRESULT ValidateDbConnection(const QSqlDatabase& connection, const QString& label)
{
    if (!connection.isValid()) {
        WriteLog("ValidateDbConnection:[%ls] invalid DB connection", qUtf16Printable(label));
        return E_INVALIDARG;
    }
    if (!connection.isOpen()) {
        WriteLog("ValidateDbConnection:[%ls] DB is not opened", qUtf16Printable(label));
        return E_FAIL;
    }
    return S_OK;
}

// The name goes into SQL text as it stands, so only plain identifiers are taken.
bool IsPlainIdentifier(const QString& name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch();
}

// Whether sqlite_master lists an object of that type and name.
HRESULT HasSchemaObject(const QSqlDatabase& connection, const QString& type, const QString& name,
                        const QString& label, bool& found)
{
    found = false;
    QSqlQuery* query = nullptr;
    HRESULT hr = CreateQuery(connection, QStringLiteral("SELECT name FROM sqlite_master WHERE type=? AND name=?"),
                             query, label);
    if (FAILED(hr))
        return hr;
    query->addBindValue(type);
    query->addBindValue(name);
    if (!query->exec()) {
        WriteLog("Db::CNameTable::Initialize:[%ls] schema query failed[%ls]", qUtf16Printable(label),
                 qUtf16Printable(query->lastError().text()));
        delete query;
        return E_FAIL;
    }
    found = query->next();
    delete query;
    return S_OK;
}

// Runs one statement that takes no values.
bool ExecStatement(const QSqlDatabase& connection, const QString& sql, QString& error)
{
    QSqlQuery query(connection);
    if (query.exec(sql))
        return true;
    error = query.lastError().text();
    return false;
}

// Empty rather than null: a null QString binds as SQL NULL, which the column refuses.
QString BindableText(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

HRESULT CreateQuery(const QSqlDatabase& connection, const QString& sql, QSqlQuery*& query, const QString& label)
{
    query = nullptr;
    HRESULT hr = ValidateDbConnection(connection, label);
    if (FAILED(hr))
        return hr;
    auto* prepared = new QSqlQuery(connection);
    if (!prepared->prepare(sql)) {
        WriteLog("Db::CreateQuery:[%ls] Get preparation failed[%ls]", qUtf16Printable(label),
                 qUtf16Printable(prepared->lastError().text()));
        delete prepared;
        return E_FAIL;
    }
    query = prepared;
    return S_OK;
}

CNameTable::CNameTable(QObject* parent, const QSqlDatabase& connection, const QString& tableName)
    : QObject(parent)
    , m_connection(connection)
    , m_tableName(tableName)
{
}

CNameTable::~CNameTable()
{
    delete m_select;
    delete m_insert;
}

HRESULT CNameTable::Initialize()
{
    m_created = false;
    if (m_tableName.isEmpty()) {
        WriteLog("Db::CNameTable::Initialize: no table name");
        return E_INVALIDARG;
    }
    if (!IsPlainIdentifier(m_tableName)) {
        WriteLog("Db::CNameTable::Initialize:[%ls] invalid table name", qUtf16Printable(m_tableName));
        return E_INVALIDARG;
    }
    HRESULT hr = ValidateDbConnection(m_connection, m_tableName);
    if (FAILED(hr))
        return hr;

    bool hasTable = false;
    bool hasIndex = false;
    const QString indexName = m_tableName + QStringLiteral("_colName");
    hr = HasSchemaObject(m_connection, QStringLiteral("table"), m_tableName, m_tableName, hasTable);
    if (SUCCEEDED(hr))
        hr = HasSchemaObject(m_connection, QStringLiteral("index"), indexName, m_tableName, hasIndex);
    if (FAILED(hr))
        return hr;
    if (hasTable && hasIndex)
        return S_OK;

    // Table and index come together or not at all (unless the caller already runs a transaction).
    QString error;
    const bool ownTransaction = m_connection.transaction();
    bool ok = true;
    if (!hasTable)
        ok = ExecStatement(m_connection, QStringLiteral("CREATE TABLE %1 ( colName TEXT NOT NULL )").arg(m_tableName),
                           error);
    if (ok && !hasIndex)
        ok = ExecStatement(m_connection,
                           QStringLiteral("CREATE UNIQUE INDEX %1_colName ON %1 ( colName )").arg(m_tableName), error);
    if (ok && ownTransaction && !m_connection.commit()) {
        ok = false;
        error = m_connection.lastError().text();
    }
    if (!ok) {
        if (ownTransaction)
            m_connection.rollback();
        WriteLog("Db::CNameTable::Initialize:[%ls] create failed[%ls]", qUtf16Printable(m_tableName),
                 qUtf16Printable(error));
        return E_FAIL;
    }
    m_created = true;
    return S_OK;
}

qint64 CNameTable::GetIdByName(const QString& name)
{
    HRESULT hr = ValidateDbConnection(m_connection, m_tableName);
    if (FAILED(hr))
        return hr;
    if (!m_select)
        hr = CreateQuery(m_connection, QStringLiteral("SELECT ROWID FROM %1 WHERE colName=?").arg(m_tableName),
                         m_select, m_tableName);
    if (FAILED(hr))
        return hr;
    m_select->addBindValue(BindableText(name));
    if (!m_select->exec()) {
        WriteLog("Db::CNameTable::GetIdByName:[%ls] select failed[%ls]", qUtf16Printable(m_tableName),
                 qUtf16Printable(m_select->lastError().text()));
        return E_FAIL;
    }
    if (m_select->next()) {
        const qint64 id = m_select->value(0).toLongLong();
        m_select->finish();
        return id;
    }
    m_select->finish();

    if (!m_insert)
        hr = CreateQuery(m_connection, QStringLiteral("INSERT INTO %1 ( colName ) VALUES( ? )").arg(m_tableName),
                         m_insert, m_tableName);
    if (FAILED(hr))
        return hr;
    m_insert->addBindValue(BindableText(name));
    if (!m_insert->exec()) {
        WriteLog("Db::CNameTable::GetIdByName:[%ls] insert failed[%ls]", qUtf16Printable(m_tableName),
                 qUtf16Printable(m_insert->lastError().text()));
        return E_FAIL;
    }
    const qint64 id = m_insert->lastInsertId().toLongLong();
    m_insert->finish();
    return id;
}

} // namespace Db
