#include "support/testmain.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include "core/dbnametable.h"

namespace {

class CLogCapture
{
public:
    CLogCapture()
    {
        s_lines.clear();
        m_previous = qInstallMessageHandler(Handler);
    }
    ~CLogCapture() { qInstallMessageHandler(m_previous); }
    QStringList Lines() const { return s_lines; }

private:
    static void Handler(QtMsgType, const QMessageLogContext&, const QString& message) { s_lines.append(message); }
    static QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

QStringList CLogCapture::s_lines;

// An SQLite connection under its own name, removed when the test is done with it.
class CConnection
{
public:
    explicit CConnection(const QString& path, const QString& options = QString())
        : m_name(QStringLiteral("tst_dbnametable_%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
        db.open();
    }
    ~CConnection() { QSqlDatabase::removeDatabase(m_name); }
    QSqlDatabase Get() const { return QSqlDatabase::database(m_name, false); }

private:
    static int s_count;
    QString m_name;
};

int CConnection::s_count = 0;

QStringList SchemaNames(const QSqlDatabase& db)
{
    QStringList names;
    QSqlQuery query(QStringLiteral("SELECT type, name FROM sqlite_master ORDER BY name"), db);
    while (query.next())
        names.append(query.value(0).toString() + QLatin1Char(':') + query.value(1).toString());
    return names;
}

} // namespace

class TestDbNameTable : public QObject
{
    Q_OBJECT
private slots:
    void createdOnce();
    void stableIds();
    void connectionFailures_data();
    void connectionFailures();
    void readOnlyDatabase();
    void badSql();

private:
    QString DbPath(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

void TestDbNameTable::createdOnce()
{
    CConnection connection(DbPath("created.db"));
    {
        Db::CNameTable table(nullptr, connection.Get(), QStringLiteral("artists"));
        QCOMPARE(table.Initialize(), S_OK);
        QVERIFY(table.IsCreated());
        QCOMPARE(SchemaNames(connection.Get()),
                 (QStringList{QStringLiteral("table:artists"), QStringLiteral("index:artists_colName")}));
    }
    {
        // A second object on the same database finds the table and makes nothing.
        Db::CNameTable table(nullptr, connection.Get(), QStringLiteral("artists"));
        QCOMPARE(table.Initialize(), S_OK);
        QVERIFY(!table.IsCreated());
        QCOMPARE(table.Initialize(), S_OK);
        QVERIFY(!table.IsCreated());
    }
    {
        // A table that lost its index gets the index back.
        QSqlQuery drop(QStringLiteral("DROP INDEX artists_colName"), connection.Get());
        Db::CNameTable table(nullptr, connection.Get(), QStringLiteral("artists"));
        QCOMPARE(table.Initialize(), S_OK);
        QVERIFY(table.IsCreated());
        QCOMPARE(SchemaNames(connection.Get()),
                 (QStringList{QStringLiteral("table:artists"), QStringLiteral("index:artists_colName")}));
    }
}

void TestDbNameTable::stableIds()
{
    const QString path = DbPath("ids.db");
    const QStringList names{QStringLiteral("ABBA"), QStringLiteral("abba"), QStringLiteral(""),
                            QStringLiteral("СПЛИН"), QStringLiteral("O'Brien; DROP TABLE albums")};
    QList<qint64> ids;
    {
        CConnection connection(path);
        Db::CNameTable albums(nullptr, connection.Get(), QStringLiteral("albums"));
        Db::CNameTable songs(nullptr, connection.Get(), QStringLiteral("songs"));
        QCOMPARE(albums.Initialize(), S_OK);
        QCOMPARE(songs.Initialize(), S_OK);
        for (const QString& name : names)
            ids.append(albums.GetIdByName(name));
        for (qint64 id : ids)
            QVERIFY(id > 0);
        // Names compare exactly, so each got its own id.
        QCOMPARE(QSet<qint64>(ids.begin(), ids.end()).size(), names.size());
        // Asking again inserts nothing.
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(albums.GetIdByName(names.at(i)), ids.at(i));
        // Tables do not share names.
        QCOMPARE(songs.GetIdByName(QStringLiteral("СПЛИН")), qint64(1));
        QSqlQuery count(QStringLiteral("SELECT COUNT(*) FROM albums"), connection.Get());
        QVERIFY(count.next());
        QCOMPARE(count.value(0).toInt(), names.size());
        // A null text is stored as the empty name, not refused.
        QCOMPARE(albums.GetIdByName(QString()), ids.at(2));
    }
    {
        // The ids survive closing and reopening the database.
        CConnection connection(path);
        Db::CNameTable albums(nullptr, connection.Get(), QStringLiteral("albums"));
        QCOMPARE(albums.Initialize(), S_OK);
        QVERIFY(!albums.IsCreated());
        for (int i = names.size() - 1; i >= 0; --i)
            QCOMPARE(albums.GetIdByName(names.at(i)), ids.at(i));
        const qint64 fresh = albums.GetIdByName(QStringLiteral("New"));
        QVERIFY(!ids.contains(fresh) && fresh > 0);
    }
}

void TestDbNameTable::connectionFailures_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("tableName");
    QTest::addColumn<QString>("line");

    QTest::newRow("invalid connection") << 0 << "artists" << "ValidateDbConnection:[artists] invalid DB connection";
    QTest::newRow("closed connection") << 1 << "albums" << "ValidateDbConnection:[albums] DB is not opened";
    QTest::newRow("no table name") << 2 << "" << "Db::CNameTable::Initialize: no table name";
    QTest::newRow("not a plain name") << 2 << "a b" << "Db::CNameTable::Initialize:[a b] invalid table name";
}

void TestDbNameTable::connectionFailures()
{
    QFETCH(int, kind);
    QFETCH(QString, tableName);
    QFETCH(QString, line);

    CConnection connection(DbPath("failures.db"));
    QSqlDatabase db;
    if (kind == 1) {
        db = connection.Get();
        db.close();
    } else if (kind == 2) {
        db = connection.Get();
    }

    CLogCapture log;
    Db::CNameTable table(nullptr, db, tableName);
    QVERIFY(table.Initialize() < 0);
    QVERIFY(!table.IsCreated());
    QCOMPARE(log.Lines(), QStringList{line});

    if (kind < 2) {
        // Looking a name up fails the same way, with a code and one line.
        QVERIFY(table.GetIdByName(QStringLiteral("x")) < 0);
        QCOMPARE(log.Lines(), (QStringList{line, line}));

        QSqlQuery stale(db);
        QSqlQuery* query = &stale;
        QVERIFY(Db::CreateQuery(db, QStringLiteral("SELECT 1"), query, tableName) < 0);
        QCOMPARE(query, static_cast<QSqlQuery*>(nullptr));
    }
}

void TestDbNameTable::readOnlyDatabase()
{
    const QString path = DbPath("readonly.db");
    {
        CConnection writer(path);
        Db::CNameTable table(nullptr, writer.Get(), QStringLiteral("artists"));
        QCOMPARE(table.Initialize(), S_OK);
        QCOMPARE(table.GetIdByName(QStringLiteral("Known")), qint64(1));
    }
    CConnection reader(path, QStringLiteral("QSQLITE_OPEN_READONLY"));
    QVERIFY(reader.Get().isOpen());

    CLogCapture log;
    // CREATE fails: a code, one line, no half-made table.
    Db::CNameTable albums(nullptr, reader.Get(), QStringLiteral("albums"));
    QVERIFY(albums.Initialize() < 0);
    QVERIFY(!albums.IsCreated());
    QCOMPARE(log.Lines().size(), 1);
    QVERIFY(log.Lines().at(0).startsWith(QStringLiteral("Db::CNameTable::Initialize:[albums] create failed[")));
    QCOMPARE(SchemaNames(reader.Get()),
             (QStringList{QStringLiteral("table:artists"), QStringLiteral("index:artists_colName")}));

    // Known names are still found; a new one cannot be added.
    Db::CNameTable artists(nullptr, reader.Get(), QStringLiteral("artists"));
    QCOMPARE(artists.Initialize(), S_OK);
    QCOMPARE(artists.GetIdByName(QStringLiteral("Known")), qint64(1));
    QVERIFY(artists.GetIdByName(QStringLiteral("Unknown")) < 0);
    QCOMPARE(log.Lines().size(), 2);
    QVERIFY(log.Lines().at(1).startsWith(QStringLiteral("Db::CNameTable::GetIdByName:[artists] insert failed[")));
}

void TestDbNameTable::badSql()
{
    CConnection connection(DbPath("sql.db"));
    CLogCapture log;

    QSqlQuery* query = nullptr;
    QVERIFY(Db::CreateQuery(connection.Get(), QStringLiteral("SELEKT * FROM nowhere"), query, QStringLiteral("images"))
            < 0);
    QCOMPARE(query, static_cast<QSqlQuery*>(nullptr));
    QCOMPARE(log.Lines().size(), 1);
    const QString line = log.Lines().at(0);
    QVERIFY2(line.startsWith(QStringLiteral("Db::CreateQuery:[images] Get preparation failed[")) && line.endsWith(']')
                 && line.contains(QStringLiteral("syntax error")),
             qPrintable(line));

    // A good statement is handed over prepared; the caller owns it.
    QCOMPARE(Db::CreateQuery(connection.Get(), QStringLiteral("SELECT ?"), query, QStringLiteral("images")), S_OK);
    QVERIFY(query);
    query->addBindValue(42);
    QVERIFY(query->exec() && query->next());
    QCOMPARE(query->value(0).toInt(), 42);
    delete query;
    QCOMPARE(log.Lines().size(), 1);
}

SV_TEST_MAIN(TestDbNameTable)
#include "tst_dbnametable.moc"
