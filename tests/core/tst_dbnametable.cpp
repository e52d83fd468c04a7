#include "support/testmain.h"

#include <algorithm>

#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "core/dbnametable.h"

namespace {

// An SQLite connection under a name of its own.
QSqlDatabase Open(const QString& path)
{
    static int count = 0;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("db%1").arg(++count));
    db.setDatabaseName(path);
    db.open();
    return db;
}

} // namespace

class TestDbNameTable : public QObject
{
    Q_OBJECT
private slots:
    void createdOnceWithStableIdsAndBadSql()
    {
        const QString path = m_dir.filePath(QStringLiteral("ids.db"));
        const QStringList names{QStringLiteral("ABBA"), QStringLiteral("abba"), QString(),
                                QStringLiteral("СПЛИН"), QStringLiteral("O'Brien; DROP TABLE albums")};
        QList<qint64> ids;
        {
            const QSqlDatabase db = Open(path);
            Db::CNameTable albums(nullptr, db, QStringLiteral("albums"));
            QCOMPARE(albums.Initialize(), S_OK);
            QVERIFY(albums.IsCreated());
            QCOMPARE(db.tables(), QStringList{QStringLiteral("albums")});
            for (const QString& name : names)
                ids.append(albums.GetIdByName(name));
            // Names compare exactly, so each got its own id; asking again inserts nothing.
            QCOMPARE(QSet<qint64>(ids.begin(), ids.end()).size(), names.size());
            QVERIFY(*std::min_element(ids.begin(), ids.end()) > 0);
            QCOMPARE(albums.GetIdByName(QStringLiteral("")), ids.at(2));
        }
        {
            // Reopened: the table is found, not made again, and the ids stay.
            const QSqlDatabase db = Open(path);
            Db::CNameTable albums(nullptr, db, QStringLiteral("albums"));
            QCOMPARE(albums.Initialize(), S_OK);
            QVERIFY(!albums.IsCreated());
            for (int i = names.size() - 1; i >= 0; --i)
                QCOMPARE(albums.GetIdByName(names.at(i)), ids.at(i));
            QVERIFY(!ids.contains(albums.GetIdByName(QStringLiteral("New"))));
            QCOMPARE(db.tables(), QStringList{QStringLiteral("albums")});

            QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(
                                                 "^Db::CreateQuery:\\[images\\] Get preparation failed\\[.*syntax error.*\\]$")));
            QSqlQuery* query = nullptr;
            QVERIFY(Db::CreateQuery(db, QStringLiteral("SELEKT * FROM nowhere"), query, QStringLiteral("images")) < 0);
            QVERIFY(!query);
        }
    }

    void connectionFailures_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("line");
        QTest::newRow("invalid connection") << false << "ValidateDbConnection:[albums] invalid DB connection";
        QTest::newRow("closed connection") << true << "ValidateDbConnection:[albums] DB is not opened";
    }

    void connectionFailures()
    {
        QFETCH(bool, closed);
        QFETCH(QString, line);
        QSqlDatabase db;
        if (closed) {
            db = Open(m_dir.filePath(QStringLiteral("failures.db")));
            db.close();
        }
        for (int i = 0; i < 3; ++i)
            QTest::ignoreMessage(QtDebugMsg, qPrintable(line));  // one line for each failing call
        Db::CNameTable table(nullptr, db, QStringLiteral("albums"));
        QVERIFY(table.Initialize() < 0);
        QVERIFY(table.GetIdByName(QStringLiteral("x")) < 0);
        QSqlQuery stale(db);
        QSqlQuery* query = &stale;
        QVERIFY(Db::CreateQuery(db, QStringLiteral("SELECT 1"), query, QStringLiteral("albums")) < 0);
        QVERIFY(!query);
    }

private:
    QTemporaryDir m_dir;
};

SV_TEST_MAIN(TestDbNameTable)
#include "tst_dbnametable.moc"
