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

QStringList Strings(IWMPStringCollection* strings)
{
    QStringList values;
    qint32 count = 0;
    strings->get_count(&count);
    for (int i = 0; i < count; ++i) {
        QString value;
        strings->item(i, &value);
        values << value;
    }
    return values;
}

} // namespace

class TestWmpLibrary : public QObject
{
    Q_OBJECT
private:
    CSimPlayer* m_player = nullptr;
    IWMPMediaCollection2* m_collection = nullptr;
    IWMPPlaylistCollection* m_playlists = nullptr;

    void Add(const QString& title, const QString& artist, const QString& album, const QString& track,
             const QString& marker = QString())
    {
        m_player->AddMedia({{"Title", title}, {"Author", artist}, {"WM/AlbumTitle", album}, {"WM/TrackNumber", track},
                            {"UserCustom1", marker}, {"Duration", "10"}});
    }

    IWMPQuery* MakeQuery(const CConditionList& conditions)
    {
        IWMPQuery* query = nullptr;
        m_collection->createQuery(&query);
        for (const QStringList& c : conditions)
            c.size() == 1 ? query->beginNextGroup() : query->addCondition(c.at(0), c.at(1), c.at(2));
        return query;
    }

    IWMPPlaylist* Query(const CConditionList& conditions, const QString& mediaType = QStringLiteral("audio"),
                        const QString& sort = QString(), bool ascending = true)
    {
        IWMPQuery* query = MakeQuery(conditions);
        IWMPPlaylist* playlist = nullptr;
        m_collection->getPlaylistByQuery(query, mediaType, sort, ascending, &playlist);
        query->Release();
        return playlist;
    }

    // The first collection playlist of that name.
    IWMPPlaylist* Named(const QString& name)
    {
        IWMPPlaylistArray* found = nullptr;
        m_playlists->getByName(name, &found);
        IWMPPlaylist* playlist = nullptr;
        found->item(0, &playlist);
        found->Release();
        return playlist;
    }

    QStringList QueryTitles(const CConditionList& conditions, const QString& mediaType = QStringLiteral("audio"),
                            const QString& sort = QString(), bool ascending = true)
    {
        IWMPPlaylist* playlist = Query(conditions, mediaType, sort, ascending);
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
        Add("Alpha", "Abba", "Gold", "2", "{u-1}");
        Add("beta", "ABBA", "Gold", "1");
        Add("Gamma", "Queen", "Jazz", "10", "x{u-1}x");
        Add("Delta", "Queen", "Jazz", "9");
        Add("Eps", "", "", "");
        IWMPPlaylist* gold = nullptr;
        m_playlists->newPlaylist(QStringLiteral("Gold"), &gold);
        gold->Release();
    }

    void cleanup()
    {
        m_playlists->Release();
        m_collection->Release();
        delete m_player;
    }

    // Conditions, media type and sort keys; a sort led by "-" is descending.
    void query_data()
    {
        QTest::addColumn<CConditionList>("conditions");
        QTest::addColumn<QString>("mediaType");
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QStringList>("expected");
        const QString audio = QStringLiteral("audio");
        const CConditionList none;
        QTest::newRow("no conditions, library order")
            << none << audio << "" << QStringList{"Alpha", "beta", "Gamma", "Delta", "Eps"};
        QTest::newRow("all conditions hold")
            << CConditionList{{"Author", "Equals", "Queen"}, {"Title", "Equals", "delta"}} << audio << ""
            << QStringList{"Delta"};
        QTest::newRow("Contains") << CConditionList{{"UserCustom1", "Contains", "{U-1}"}} << audio << ""
                                  << QStringList{"Alpha", "Gamma"};
        QTest::newRow("NotContains") << CConditionList{{"UserCustom1", "NotContains", "{u-1}"}} << audio << ""
                                     << QStringList{"beta", "Delta", "Eps"};
        QTest::newRow("Equals empty value")
            << CConditionList{{"Author", "Equals", ""}} << audio << "" << QStringList{"Eps"};
        QTest::newRow("playlist item by type")
            << CConditionList{{"Title", "Equals", "Gold"}} << QStringLiteral("playlist") << "" << QStringList{"Gold"};
        QTest::newRow("alternative groups, Equals ignores case")
            << CConditionList{{"Author", "Equals", "abba"}, {"|"}, {"Title", "Equals", "Delta"}} << audio << ""
            << QStringList{"Alpha", "beta", "Delta"};
        QTest::newRow("artist, album, track (numeric), title")
            << none << audio << "Author,WM/AlbumTitle,WM/TrackNumber,Title"
            << QStringList{"Eps", "beta", "Alpha", "Delta", "Gamma"};
        QTest::newRow("title descending, without regard to case")
            << none << audio << "-Title" << QStringList{"Gamma", "Eps", "Delta", "beta", "Alpha"};
        QTest::newRow("stable within equal keys")
            << none << audio << "WM/AlbumTitle" << QStringList{"Eps", "Alpha", "beta", "Gamma", "Delta"};
    }

    void query()
    {
        QFETCH(CConditionList, conditions);
        QFETCH(QString, mediaType);
        QFETCH(QString, sort);
        QFETCH(QStringList, expected);
        const bool descending = sort.startsWith(QLatin1Char('-'));
        QCOMPARE(QueryTitles(conditions, mediaType, sort.mid(descending ? 1 : 0), !descending), expected);
    }

    void distinctStrings()
    {
        auto collect = [this](const QString& attribute, const CConditionList& conditions, bool ascending) {
            IWMPQuery* query = MakeQuery(conditions);
            IWMPStringCollection* strings = nullptr;
            m_collection->getStringCollectionByQuery(attribute, query, "audio", attribute, ascending, &strings);
            query->Release();
            const QStringList values = Strings(strings);
            strings->Release();
            return values;
        };
        // One entry per value without regard to case, the first spelling kept, no empty value.
        QCOMPARE(collect("Author", {}, true), (QStringList{"Abba", "Queen"}));
        QCOMPARE(collect("Author", {}, false), (QStringList{"Queen", "Abba"}));
        QCOMPARE(collect("WM/AlbumTitle", {{"Author", "Equals", "queen"}}, true), (QStringList{"Jazz"}));
        QCOMPARE(collect("Author", {{"WM/AlbumTitle", "Equals", "Gold"}}, true), (QStringList{"Abba"}));
        QCOMPARE(collect("WM/TrackNumber", {}, true), (QStringList{"1", "2", "9", "10"}));

        IWMPStringCollection* albums = nullptr;
        QCOMPARE(m_collection->getAttributeStringCollection("WM/AlbumTitle", "audio", &albums), S_OK);
        QCOMPARE(Strings(albums), (QStringList{"Gold", "Jazz"}));
        albums->Release();
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
        bool deleted = false;
        QCOMPARE(m_collection->isDeleted(gamma, &deleted), S_OK);
        QVERIFY(deleted);
        // A removed item can be read, not written.
        QCOMPARE(Title(gamma), QStringLiteral("Gamma"));
        QCOMPARE(gamma->setItemInfo(QStringLiteral("Title"), QStringLiteral("G")), E_UNEXPECTED);
        mix->Release();
        gamma->Release();
        queen->Release();

        IWMPMedia* alpha = nullptr;
        IWMPPlaylist* all = Query({});
        all->get_item(0, &alpha);
        QCOMPARE(alpha->setItemInfo(QStringLiteral("ReleaseDate"), QStringLiteral("31.12.1999")), S_OK);
        QString year;
        alpha->getItemInfo(QStringLiteral("ReleaseDateYear"), &year);
        QCOMPARE(year, QStringLiteral("1999"));
        alpha->Release();
        all->Release();
    }

    // A playlist and its library item share one name; both answer for it.
    void playlistAndItemShareTheName()
    {
        auto playlistItem = [this](const QString& name) -> IWMPMedia* {
            IWMPPlaylist* found = nullptr;
            m_collection->getByAttributeAndMediaType(QStringLiteral("Title"), name, QStringLiteral("playlist"), &found);
            IWMPMedia* media = nullptr;
            qint32 count = 0;
            found->get_count(&count);
            if (count == 1)
                found->get_item(0, &media);
            found->Release();
            return media;
        };
        IWMPPlaylist* road = nullptr;
        QCOMPARE(m_playlists->newPlaylist(QStringLiteral("Road"), &road), S_OK);
        IWMPMedia* item = playlistItem(QStringLiteral("Road"));
        QVERIFY(item);
        QCOMPARE(item->setItemInfo(QStringLiteral("UserCustom1"), QStringLiteral("{p}")), S_OK);

        QCOMPARE(road->put_name(QStringLiteral("Trip")), S_OK);
        QCOMPARE(Title(item), QStringLiteral("Trip"));
        QVERIFY(!playlistItem(QStringLiteral("Road")));
        QCOMPARE(item->put_name(QStringLiteral("Tour")), S_OK);
        QString name;
        road->get_name(&name);
        QCOMPARE(name, QStringLiteral("Tour"));

        // Names may repeat.
        IWMPPlaylist* second = nullptr;
        m_playlists->newPlaylist(QStringLiteral("tour"), &second);
        IWMPPlaylistArray* named = nullptr;
        QCOMPARE(m_playlists->getByName(QStringLiteral("Tour"), &named), S_OK);
        qint32 count = 0;
        named->get_count(&count);
        QCOMPARE(count, 2);
        named->Release();

        QCOMPARE(m_playlists->remove(road), S_OK);
        bool deleted = false;
        m_collection->isDeleted(item, &deleted);
        QVERIFY(deleted);
        QCOMPARE(m_playlists->remove(road), WMP_E_INVALIDARG);
        item->Release();
        second->Release();
        road->Release();
    }

    // Fresh objects every time: only get_isIdentical tells two of them apart.
    void identityThroughFreshObjects()
    {
        IWMPPlaylist* first = Query({});
        IWMPPlaylist* second = Query({});
        IWMPMedia* a = nullptr;
        IWMPMedia* b = nullptr;
        IWMPMedia* c = nullptr;
        first->get_item(0, &a);
        second->get_item(0, &b);
        first->get_item(1, &c);
        QVERIFY(a != b);
        bool same = false;
        QCOMPARE(a->get_isIdentical(b, &same), S_OK);
        QVERIFY(same);
        a->get_isIdentical(c, &same);
        QVERIFY(!same);
        // Every query makes a list of its own.
        first->get_isIdentical(second, &same);
        QVERIFY(!same);

        IWMPPlaylistArray* all = nullptr;
        m_playlists->getAll(&all);
        IWMPPlaylist* x = nullptr;
        all->item(0, &x);
        IWMPPlaylist* y = Named(QStringLiteral("gold"));
        QVERIFY(x != y);
        x->get_isIdentical(y, &same);
        QVERIFY(same);
        for (IUnknown* object : std::initializer_list<IUnknown*>{a, b, c, first, second, all, x, y})
            object->Release();
    }

    // Atoms, and the natural errors the callers pass on.
    void atomsAndErrors()
    {
        IWMPPlaylist* all = Query({});
        IWMPMedia* media = nullptr;
        all->get_item(0, &media);
        for (const char* name : {"Title", "Author", "WM/AlbumTitle", "WM/TrackNumber", "SourceURL", "Duration",
                                 "ReleaseDateYear", "WM/Genre", "UserCustom1"}) {
            qint32 atom = -1;
            QCOMPARE(m_collection->getMediaAtom(QLatin1String(name), &atom), S_OK);
            // Not the program's attribute numbers 1 to 9, so that code mixing the two fails.
            QVERIFY2(atom < 1 || atom > 9, name);
            QString byAtom, byName;
            QCOMPARE(media->getItemInfoByAtom(atom, &byAtom), S_OK);
            media->getItemInfo(QLatin1String(name), &byName);
            QCOMPARE(byAtom, byName);
        }
        QString value;
        QCOMPARE(media->getItemInfoByAtom(3, &value), WMP_E_INVALIDARG);
        m_player->AddPlaylist(QStringLiteral("Auto"), {}, true);
        IWMPPlaylist* autoList = Named(QStringLiteral("Auto"));
        IWMPPlaylist* gold = Named(QStringLiteral("Gold"));
        IWMPQuery* query = MakeQuery({});
        IWMPSettings* settings = new CSimSettings(m_player);
        QCOMPARE(media->setItemInfo(QStringLiteral("SourceURL"), QStringLiteral("/x")), WMP_E_ACCESS_DENIED);
        QCOMPARE(media->setItemInfo(QStringLiteral("NoSuchAttribute"), QStringLiteral("1")), WMP_E_INVALIDARG);
        qint32 atom = 0;
        QCOMPARE(m_collection->getMediaAtom(QStringLiteral("NoSuchAttribute"), &atom), WMP_E_INVALIDARG);
        QCOMPARE(query->addCondition(QStringLiteral("Title"), QStringLiteral("Resembles"), QStringLiteral("x")),
                 WMP_E_INVALIDARG);
        IWMPMedia* none = nullptr;
        QCOMPARE(all->get_item(5, &none), WMP_E_INVALIDARG);
        QCOMPARE(autoList->appendItem(media), WMP_E_ACCESS_DENIED);
        QCOMPARE(gold->removeItem(media), WMP_E_INVALIDARG);
        IWMPPlaylist* made = nullptr;
        QCOMPARE(m_playlists->newPlaylist(QString(), &made), WMP_E_INVALIDARG);
        QVERIFY(!none && !made);
        QCOMPARE(m_collection->createQuery(nullptr), E_POINTER);
        bool on = false;
        QCOMPARE(settings->getMode(QStringLiteral("repeat-one"), &on), WMP_E_INVALIDARG);
        for (IUnknown* object : std::initializer_list<IUnknown*>{all, media, autoList, gold, query, settings})
            object->Release();
    }
};

SV_TEST_MAIN(TestWmpLibrary)
#include "tst_wmplibrary.moc"
