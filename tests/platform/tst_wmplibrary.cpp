#include "support/testmain.h"

#include "platform/wmp/simobjects.h"
#include "platform/wmp/simplayer.h"

using namespace Platform::Wmp;

namespace {

typedef QList<QStringList> CConditionList;  // {attribute, operator, value}; {"|"} starts the next group

QString Title(IWMPMedia* media)
{
    QString title;
    media->get_name(&title);
    return title;
}

QStringList Titles(IWMPPlaylist* playlist)
{
    QStringList titles;
    qint32 count = 0;
    playlist->get_count(&count);
    for (int i = 0; i < count; ++i) {
        IWMPMedia* media = nullptr;
        if (SUCCEEDED(playlist->get_item(i, &media)) && media) {
            titles << Title(media);
            media->Release();
        }
    }
    return titles;
}

void Release(std::initializer_list<IUnknown*> objects)
{
    for (IUnknown* object : objects)
        object->Release();
}

} // namespace

class TestWmpLibrary : public QObject
{
    Q_OBJECT
private:
    CSimPlayer* m_player = nullptr;
    IWMPMediaCollection2* m_collection = nullptr;
    IWMPPlaylistCollection* m_playlists = nullptr;

    IWMPQuery* MakeQuery(const CConditionList& conditions)
    {
        IWMPQuery* query = nullptr;
        m_collection->createQuery(&query);
        for (const QStringList& c : conditions)
            c.size() == 1 ? query->beginNextGroup() : query->addCondition(c.at(0), c.at(1), c.at(2));
        return query;
    }

    IWMPPlaylist* Query(const CConditionList& conditions, const QString& mediaType = QStringLiteral("audio"))
    {
        IWMPQuery* query = MakeQuery(conditions);
        IWMPPlaylist* playlist = nullptr;
        m_collection->getPlaylistByQuery(query, mediaType, QString(), true, &playlist);
        query->Release();
        return playlist;
    }

    QStringList QueryTitles(const CConditionList& conditions, const QString& mediaType = QStringLiteral("audio"))
    {
        IWMPPlaylist* playlist = Query(conditions, mediaType);
        const QStringList titles = Titles(playlist);
        playlist->Release();
        return titles;
    }

private slots:
    void init()
    {
        m_player = new CSimPlayer();
        m_collection = new CSimMediaCollection(m_player);
        m_playlists = new CSimPlaylistCollection(m_player);
        // Title, artist, album, track, marker.
        for (const QStringList& song :
             {QStringList{"Alpha", "Abba", "Gold", "2", "{u-1}"}, {"beta", "ABBA", "Gold", "1", ""},
              {"Gamma", "Queen", "Jazz", "10", "x{u-1}x"}, {"Delta", "Queen", "Jazz", "9", ""},
              {"Eps", "", "", "", ""}})
            m_player->AddMedia({{"Title", song[0]}, {"Author", song[1]}, {"WM/AlbumTitle", song[2]},
                                {"WM/TrackNumber", song[3]}, {"UserCustom1", song[4]}});
        m_player->AddPlaylist(QStringLiteral("Gold"), {});
    }

    void cleanup()
    {
        Release({m_playlists, m_collection});
        delete m_player;
    }

    // Conditions, media type and sort keys; a sort led by "=" asks for the distinct values of that attribute
    // instead (one per value without regard to case, the first spelling, none empty).
    void query_data()
    {
        QTest::addColumn<CConditionList>("conditions");
        QTest::addColumn<QString>("mediaType");
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QStringList>("expected");
        const QString audio = QStringLiteral("audio");
        const CConditionList none, queen{{"Author", "Equals", "queen"}};
        QTest::newRow("all conditions hold")
            << CConditionList{{"Author", "Equals", "Queen"}, {"Title", "Equals", "delta"}} << audio << ""
            << QStringList{"Delta"};
        QTest::newRow("Contains") << CConditionList{{"UserCustom1", "Contains", "{U-1}"}} << audio << ""
                                  << QStringList{"Alpha", "Gamma"};
        QTest::newRow("NotContains") << CConditionList{{"UserCustom1", "NotContains", "{u-1}"}} << audio << ""
                                     << QStringList{"beta", "Delta", "Eps"};
        QTest::newRow("playlist item by type")
            << CConditionList{{"Title", "Equals", "Gold"}} << QStringLiteral("playlist") << "" << QStringList{"Gold"};
        QTest::newRow("alternative groups, Equals ignores case")
            << CConditionList{{"Author", "Equals", "abba"}, {"|"}, {"Title", "Equals", "Delta"}} << audio << ""
            << QStringList{"Alpha", "beta", "Delta"};
        QTest::newRow("artist, album, track (numeric), title")
            << none << audio << "Author,WM/AlbumTitle,WM/TrackNumber,Title"
            << QStringList{"Eps", "beta", "Alpha", "Delta", "Gamma"};
        QTest::newRow("distinct artists") << none << audio << "=Author" << QStringList{"Abba", "Queen"};
        QTest::newRow("distinct albums of an artist") << queen << audio << "=WM/AlbumTitle" << QStringList{"Jazz"};
    }

    void query()
    {
        QFETCH(CConditionList, conditions);
        QFETCH(QString, mediaType);
        QFETCH(QString, sort);
        QFETCH(QStringList, expected);
        IWMPQuery* query = MakeQuery(conditions);
        if (sort.startsWith(QLatin1Char('='))) {
            const QString attribute = sort.mid(1);
            IWMPStringCollection* strings = nullptr;
            QCOMPARE(m_collection->getStringCollectionByQuery(attribute, query, mediaType, attribute, true, &strings),
                     S_OK);
            QStringList values;
            qint32 count = 0;
            strings->get_count(&count);
            for (int i = 0; i < count; ++i)
                strings->item(i, &*values.insert(values.end(), QString()));
            QCOMPARE(values, expected);
            strings->Release();
        } else {
            IWMPPlaylist* playlist = nullptr;
            m_collection->getPlaylistByQuery(query, mediaType, sort, true, &playlist);
            QCOMPARE(Titles(playlist), expected);
            playlist->Release();
        }
        query->Release();
    }

    // Indexes follow every change: a query never finds an item under an old value or a removed item.
    void changesReachQueries()
    {
        IWMPPlaylist* queen = Query({{"Author", "Equals", "Queen"}});
        IWMPMedia* gamma = nullptr;
        queen->get_item(0, &gamma);
        QCOMPARE(gamma->setItemInfo(QStringLiteral("Author"), QStringLiteral("Freddie")), S_OK);
        QCOMPARE(QueryTitles({{"Author", "Equals", "Queen"}}), QStringList{"Delta"});
        QCOMPARE(QueryTitles({{"Author", "Equals", "freddie"}}), QStringList{"Gamma"});
        // A query result is a snapshot: it keeps the item it had.
        QCOMPARE(Titles(queen), (QStringList{"Gamma", "Delta"}));

        IWMPPlaylist* mix = nullptr;
        m_playlists->newPlaylist(QStringLiteral("Mix"), &mix);
        QCOMPARE(mix->appendItem(gamma), S_OK);
        QCOMPARE(m_collection->remove(gamma, false), S_OK);
        QCOMPARE(QueryTitles({{"Author", "Equals", "freddie"}}), QStringList());
        QCOMPARE(Titles(mix), QStringList());
        // A removed item can be read, not written.
        QCOMPARE(Title(gamma), QStringLiteral("Gamma"));
        QCOMPARE(gamma->setItemInfo(QStringLiteral("Title"), QStringLiteral("G")), E_UNEXPECTED);
        Release({mix, gamma, queen});
    }

    // A playlist and its library item share one name; both answer for it.
    void playlistAndItemShareTheName()
    {
        IWMPPlaylist* road = nullptr;
        QCOMPARE(m_playlists->newPlaylist(QStringLiteral("Road"), &road), S_OK);
        IWMPPlaylist* found = nullptr;
        m_collection->getByAttributeAndMediaType(QStringLiteral("Title"), QStringLiteral("road"),
                                                 QStringLiteral("playlist"), &found);
        IWMPMedia* item = nullptr;
        QCOMPARE(found->get_item(0, &item), S_OK);

        QCOMPARE(road->put_name(QStringLiteral("Trip")), S_OK);
        QCOMPARE(Title(item), QStringLiteral("Trip"));
        QCOMPARE(QueryTitles({{"Title", "Equals", "Road"}}, QStringLiteral("playlist")), QStringList());
        QCOMPARE(item->put_name(QStringLiteral("Tour")), S_OK);
        QString name;
        road->get_name(&name);
        QCOMPARE(name, QStringLiteral("Tour"));

        // The item goes with its playlist.
        QCOMPARE(m_playlists->remove(road), S_OK);
        QCOMPARE(QueryTitles({}, QStringLiteral("playlist")), QStringList{"Gold"});
        QCOMPARE(m_playlists->remove(road), WMP_E_INVALIDARG);
        Release({found, item, road});
    }

    // Fresh objects every time: only get_isIdentical tells two of them apart.
    void identityThroughFreshObjects()
    {
        IWMPPlaylist* first = Query({});
        IWMPPlaylist* second = Query({});
        IWMPMedia *a = nullptr, *b = nullptr, *c = nullptr;
        first->get_item(0, &a);
        second->get_item(0, &b);
        first->get_item(1, &c);
        bool same = false;
        QVERIFY(a != b && a->get_isIdentical(b, &same) == S_OK && same);
        QVERIFY(a->get_isIdentical(c, &same) == S_OK && !same);
        // Every query makes a list of its own.
        QVERIFY(first->get_isIdentical(second, &same) == S_OK && !same);
        Release({a, b, c, first, second});
    }

    // Atoms, and the natural errors the callers pass on.
    void atomsAndErrors()
    {
        IWMPPlaylist* all = Query({});
        IWMPMedia* media = nullptr;
        all->get_item(0, &media);
        qint32 atom = -1;
        QString byAtom;
        QCOMPARE(m_collection->getMediaAtom(QStringLiteral("Author"), &atom), S_OK);
        // Not the program's attribute numbers 1 to 9, so that code mixing the two fails.
        QVERIFY(atom < 1 || atom > 9);
        QVERIFY(media->getItemInfoByAtom(atom, &byAtom) == S_OK && byAtom == "Abba");
        QCOMPARE(media->getItemInfoByAtom(3, &byAtom), WMP_E_INVALIDARG);
        QCOMPARE(m_collection->getMediaAtom(QStringLiteral("NoSuchAttribute"), &atom), WMP_E_INVALIDARG);
        QCOMPARE(media->setItemInfo(QStringLiteral("SourceURL"), QStringLiteral("/x")), WMP_E_ACCESS_DENIED);
        IWMPMedia* none = nullptr;
        QCOMPARE(all->get_item(5, &none), WMP_E_INVALIDARG);
        // An automatic playlist's items are the player's choice.
        m_player->AddPlaylist(QStringLiteral("Auto"), {}, true);
        IWMPPlaylist* autoList = m_player->NewPlaylistObject(m_player->Library().Playlists().last());
        QCOMPARE(autoList->appendItem(media), WMP_E_ACCESS_DENIED);
        Release({all, media, autoList});
    }
};

SV_TEST_MAIN(TestWmpLibrary)
#include "tst_wmplibrary.moc"
