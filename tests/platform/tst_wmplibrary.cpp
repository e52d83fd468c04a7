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

    quint32 Add(const QString& title, const QString& artist, const QString& album, const QString& track,
                const QString& marker = QString())
    {
        QHash<QString, QString> values;
        values.insert(QStringLiteral("Title"), title);
        values.insert(QStringLiteral("Author"), artist);
        values.insert(QStringLiteral("WM/AlbumTitle"), album);
        values.insert(QStringLiteral("WM/TrackNumber"), track);
        values.insert(QStringLiteral("UserCustom1"), marker);
        values.insert(QStringLiteral("Duration"), QStringLiteral("10"));
        return m_player->AddMedia(values);
    }

    IWMPPlaylist* Query(const CConditionList& conditions, const QString& mediaType, const QString& sort = QString(),
                        bool ascending = true)
    {
        IWMPQuery* query = nullptr;
        m_collection->createQuery(&query);
        for (const QStringList& c : conditions) {
            if (c.size() == 1)
                query->beginNextGroup();
            else
                query->addCondition(c.at(0), c.at(1), c.at(2));
        }
        IWMPPlaylist* playlist = nullptr;
        const HRESULT hr = m_collection->getPlaylistByQuery(query, mediaType, sort, ascending, &playlist);
        query->Release();
        return SUCCEEDED(hr) ? playlist : nullptr;
    }

    QStringList QueryTitles(const CConditionList& conditions, const QString& mediaType,
                            const QString& sort = QString(), bool ascending = true)
    {
        IWMPPlaylist* playlist = Query(conditions, mediaType, sort, ascending);
        if (!playlist)
            return {QStringLiteral("<failed>")};
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
        Add(QStringLiteral("Alpha"), QStringLiteral("Abba"), QStringLiteral("Gold"), QStringLiteral("2"),
            QStringLiteral("{u-1}"));
        Add(QStringLiteral("beta"), QStringLiteral("ABBA"), QStringLiteral("Gold"), QStringLiteral("1"));
        Add(QStringLiteral("Gamma"), QStringLiteral("Queen"), QStringLiteral("Jazz"), QStringLiteral("10"),
            QStringLiteral("x{u-1}x"));
        Add(QStringLiteral("Delta"), QStringLiteral("Queen"), QStringLiteral("Jazz"), QStringLiteral("9"));
        Add(QStringLiteral("Eps"), QString(), QString(), QString());
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

    void conditions_data()
    {
        QTest::addColumn<CConditionList>("conditions");
        QTest::addColumn<QString>("mediaType");
        QTest::addColumn<QStringList>("expected");
        const QString audio = QStringLiteral("audio");
        QTest::newRow("no conditions") << CConditionList() << audio
                                       << QStringList{"Alpha", "beta", "Gamma", "Delta", "Eps"};
        QTest::newRow("Equals ignores case") << CConditionList{{"Author", "Equals", "abba"}} << audio
                                             << QStringList{"Alpha", "beta"};
        QTest::newRow("all conditions hold")
            << CConditionList{{"Author", "Equals", "Queen"}, {"WM/AlbumTitle", "Equals", "JAZZ"}, {"Title", "Equals", "delta"}}
            << audio << QStringList{"Delta"};
        QTest::newRow("Contains") << CConditionList{{"UserCustom1", "Contains", "{U-1}"}} << audio
                                  << QStringList{"Alpha", "Gamma"};
        QTest::newRow("NotContains") << CConditionList{{"UserCustom1", "NotContains", "{u-1}"}} << audio
                                     << QStringList{"beta", "Delta", "Eps"};
        QTest::newRow("Equals empty value") << CConditionList{{"Author", "Equals", ""}} << audio
                                            << QStringList{"Eps"};
        QTest::newRow("unknown value") << CConditionList{{"Author", "Equals", "Nobody"}} << audio << QStringList();
        QTest::newRow("playlist item by type") << CConditionList{{"Title", "Equals", "Gold"}}
                                               << QStringLiteral("playlist") << QStringList{"Gold"};
        QTest::newRow("no playlist item among audio") << CConditionList{{"Title", "Equals", "Gold"}} << audio
                                                      << QStringList();
        QTest::newRow("alternative groups")
            << CConditionList{{"Author", "Equals", "abba"}, {"|"}, {"Title", "Equals", "Delta"}} << audio
            << QStringList{"Alpha", "beta", "Delta"};
    }

    void conditions()
    {
        QFETCH(CConditionList, conditions);
        QFETCH(QString, mediaType);
        QFETCH(QStringList, expected);
        QCOMPARE(QueryTitles(conditions, mediaType), expected);
    }

    void sorting_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("library order") << QString() << true << QStringList{"Alpha", "beta", "Gamma", "Delta", "Eps"};
        QTest::newRow("artist, album, track (numeric), title")
            << QStringLiteral("Author,WM/AlbumTitle,WM/TrackNumber,Title") << true
            << QStringList{"Eps", "beta", "Alpha", "Delta", "Gamma"};
        QTest::newRow("title without regard to case") << QStringLiteral("Title") << true
                                                      << QStringList{"Alpha", "beta", "Delta", "Eps", "Gamma"};
        QTest::newRow("title descending") << QStringLiteral("Title") << false
                                          << QStringList{"Gamma", "Eps", "Delta", "beta", "Alpha"};
        QTest::newRow("stable within equal keys") << QStringLiteral("WM/AlbumTitle") << true
                                                  << QStringList{"Eps", "Alpha", "beta", "Gamma", "Delta"};
    }

    void sorting()
    {
        QFETCH(QString, sort);
        QFETCH(bool, ascending);
        QFETCH(QStringList, expected);
        QCOMPARE(QueryTitles({}, QStringLiteral("audio"), sort, ascending), expected);
    }

    void distinctStrings()
    {
        auto collect = [this](const QString& attribute, const CConditionList& conditions, bool ascending) {
            IWMPQuery* query = nullptr;
            m_collection->createQuery(&query);
            for (const QStringList& c : conditions)
                query->addCondition(c.at(0), c.at(1), c.at(2));
            IWMPStringCollection* strings = nullptr;
            m_collection->getStringCollectionByQuery(attribute, query, QStringLiteral("audio"), attribute, ascending,
                                                     &strings);
            query->Release();
            const QStringList values = Strings(strings);
            strings->Release();
            return values;
        };
        // One entry per value without regard to case, the first spelling kept, no empty value.
        QCOMPARE(collect(QStringLiteral("Author"), {}, true), (QStringList{"Abba", "Queen"}));
        QCOMPARE(collect(QStringLiteral("Author"), {}, false), (QStringList{"Queen", "Abba"}));
        QCOMPARE(collect(QStringLiteral("WM/AlbumTitle"), {{"Author", "Equals", "queen"}}, true),
                 (QStringList{"Jazz"}));
        QCOMPARE(collect(QStringLiteral("Author"), {{"WM/AlbumTitle", "Equals", "Gold"}}, true),
                 (QStringList{"Abba"}));
        QCOMPARE(collect(QStringLiteral("WM/TrackNumber"), {}, true), (QStringList{"1", "2", "9", "10"}));

        IWMPStringCollection* albums = nullptr;
        QCOMPARE(m_collection->getAttributeStringCollection(QStringLiteral("WM/AlbumTitle"), QStringLiteral("audio"),
                                                            &albums),
                 S_OK);
        QCOMPARE(Strings(albums), (QStringList{"Gold", "Jazz"}));
        albums->Release();
    }

    // Indexes follow every change: a query never finds an item under an old value or a removed item.
    void changesReachQueries()
    {
        IWMPPlaylist* queen = Query({{"Author", "Equals", "Queen"}}, QStringLiteral("audio"));
        IWMPMedia* gamma = nullptr;
        queen->get_item(0, &gamma);
        QCOMPARE(gamma->setItemInfo(QStringLiteral("Author"), QStringLiteral("Freddie")), S_OK);
        QCOMPARE(QueryTitles({{"Author", "Equals", "Queen"}}, QStringLiteral("audio")), QStringList{"Delta"});
        QCOMPARE(QueryTitles({{"Author", "Equals", "freddie"}}, QStringLiteral("audio")), QStringList{"Gamma"});
        // A query result is a snapshot: it keeps the item it had.
        QCOMPARE(Titles(queen), (QStringList{"Gamma", "Delta"}));

        IWMPPlaylist* mix = nullptr;
        m_playlists->newPlaylist(QStringLiteral("Mix"), &mix);
        QCOMPARE(mix->appendItem(gamma), S_OK);
        QCOMPARE(m_collection->remove(gamma, false), S_OK);
        QCOMPARE(QueryTitles({{"Author", "Equals", "freddie"}}, QStringLiteral("audio")), QStringList());
        QCOMPARE(Titles(mix), QStringList());
        bool deleted = false;
        QCOMPARE(m_collection->isDeleted(gamma, &deleted), S_OK);
        QVERIFY(deleted);
        // A removed item can be read, not written.
        QCOMPARE(Title(gamma), QStringLiteral("Gamma"));
        QCOMPARE(gamma->setItemInfo(QStringLiteral("Title"), QStringLiteral("G")), E_UNEXPECTED);
        QCOMPARE(m_player->Library().AudioCount(), 4);
        mix->Release();
        gamma->Release();
        queen->Release();

        IWMPMedia* alpha = nullptr;
        IWMPPlaylist* all = Query({}, QStringLiteral("audio"));
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
        QString marker;
        item->getItemInfo(QStringLiteral("UserCustom1"), &marker);
        QCOMPARE(marker, QStringLiteral("{p}"));

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
        QCOMPARE(road->appendItem(item), E_UNEXPECTED);
        QCOMPARE(m_playlists->remove(road), WMP_E_INVALIDARG);
        item->Release();
        second->Release();
        road->Release();
    }

    // Fresh objects every time: only get_isIdentical tells two of them apart.
    void identityThroughFreshObjects()
    {
        IWMPPlaylist* first = Query({}, QStringLiteral("audio"));
        IWMPPlaylist* second = Query({}, QStringLiteral("audio"));
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
        IWMPPlaylistArray* byName = nullptr;
        m_playlists->getAll(&all);
        m_playlists->getByName(QStringLiteral("gold"), &byName);
        IWMPPlaylist* x = nullptr;
        IWMPPlaylist* y = nullptr;
        all->item(0, &x);
        byName->item(0, &y);
        QVERIFY(x != y);
        x->get_isIdentical(y, &same);
        QVERIFY(same);
        for (IUnknown* object : std::initializer_list<IUnknown*>{a, b, c, first, second, all, byName, x, y})
            object->Release();
    }

    void errors_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<HRESULT>("expected");
        QTest::newRow("read-only SourceURL") << 0 << WMP_E_ACCESS_DENIED;
        QTest::newRow("read-only Duration") << 1 << WMP_E_ACCESS_DENIED;
        QTest::newRow("unknown attribute written") << 2 << WMP_E_INVALIDARG;
        QTest::newRow("unknown atom name") << 3 << WMP_E_INVALIDARG;
        QTest::newRow("unknown operator") << 4 << WMP_E_INVALIDARG;
        QTest::newRow("item index out of range") << 5 << WMP_E_INVALIDARG;
        QTest::newRow("append to an automatic playlist") << 6 << WMP_E_ACCESS_DENIED;
        QTest::newRow("remove an item not in the list") << 7 << WMP_E_INVALIDARG;
        QTest::newRow("empty playlist name") << 8 << WMP_E_INVALIDARG;
        QTest::newRow("null out-pointer") << 9 << E_POINTER;
        QTest::newRow("unknown mode") << 10 << WMP_E_INVALIDARG;
    }

    void errors()
    {
        QFETCH(int, step);
        QFETCH(HRESULT, expected);
        IWMPPlaylist* all = Query({}, QStringLiteral("audio"));
        IWMPMedia* media = nullptr;
        all->get_item(0, &media);
        const quint32 autoId = m_player->AddPlaylist(QStringLiteral("Auto"), {}, true);
        Q_UNUSED(autoId);
        IWMPPlaylistArray* autos = nullptr;
        m_playlists->getByName(QStringLiteral("Auto"), &autos);
        IWMPPlaylist* autoList = nullptr;
        autos->item(0, &autoList);
        IWMPQuery* query = nullptr;
        m_collection->createQuery(&query);
        IWMPSettings* settings = new CSimSettings(m_player);

        HRESULT hr = S_OK;
        qint32 atom = 0;
        IWMPMedia* none = nullptr;
        IWMPPlaylist* made = nullptr;
        bool on = false;
        switch (step) {
        case 0: hr = media->setItemInfo(QStringLiteral("SourceURL"), QStringLiteral("/x")); break;
        case 1: hr = media->setItemInfo(QStringLiteral("Duration"), QStringLiteral("1")); break;
        case 2: hr = media->setItemInfo(QStringLiteral("NoSuchAttribute"), QStringLiteral("1")); break;
        case 3: hr = m_collection->getMediaAtom(QStringLiteral("NoSuchAttribute"), &atom); break;
        case 4: hr = query->addCondition(QStringLiteral("Title"), QStringLiteral("Resembles"), QStringLiteral("x")); break;
        case 5: hr = all->get_item(5, &none); break;
        case 6: hr = autoList->appendItem(media); break;
        case 7: {
            IWMPPlaylistArray* gold = nullptr;
            IWMPPlaylist* goldList = nullptr;
            m_playlists->getByName(QStringLiteral("Gold"), &gold);
            gold->item(0, &goldList);
            hr = goldList->removeItem(media);
            goldList->Release();
            gold->Release();
            break;
        }
        case 8: hr = m_playlists->newPlaylist(QString(), &made); break;
        case 9: hr = m_collection->createQuery(nullptr); break;
        case 10: hr = settings->getMode(QStringLiteral("repeat-one"), &on); break;
        }
        QCOMPARE(hr, expected);
        QVERIFY(!none && !made);
        for (IUnknown* object : std::initializer_list<IUnknown*>{all, media, autos, autoList, query, settings})
            object->Release();
    }

    void atoms()
    {
        IWMPPlaylist* all = Query({}, QStringLiteral("audio"));
        IWMPMedia* media = nullptr;
        all->get_item(0, &media);
        const QStringList names = {"Title", "Author", "WM/AlbumTitle", "WM/TrackNumber", "SourceURL",
                                   "Duration", "ReleaseDateYear", "WM/Genre", "UserCustom1"};
        QSet<qint32> seen;
        for (const QString& name : names) {
            qint32 atom = -1;
            QCOMPARE(m_collection->getMediaAtom(name, &atom), S_OK);
            // Atoms are not the program's attribute numbers 1 to 9, and each is distinct.
            QVERIFY2(atom < 1 || atom > 9, qPrintable(name));
            QVERIFY(!seen.contains(atom));
            seen.insert(atom);
            QString byAtom, byName;
            QCOMPARE(media->getItemInfoByAtom(atom, &byAtom), S_OK);
            media->getItemInfo(name, &byName);
            QCOMPARE(byAtom, byName);
        }
        QString value;
        QCOMPARE(media->getItemInfoByAtom(3, &value), WMP_E_INVALIDARG);
        media->Release();
        all->Release();
    }
};

SV_TEST_MAIN(TestWmpLibrary)
#include "tst_wmplibrary.moc"
