#pragma once
// One song of the Windows Media Player library, over the player's media item: its tags, playing it,
// comparing it. The static helpers read and write the media attributes for the other library objects.
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QScopedPointer>

#include "core/mediametadata.h"
#include "platform/wmp/wmpinterfaces.h"
#include "players/iunknownbase.h"
#include "players/playerclientinterfaces.h"
#include "players/wmp/playerclientwmp.h"

class CPlayerClientWMPHelper;

class CIPlayerClientWmpSongPrivImpl : public QObject, public WMDM::CIUnknownBase, public IPlayerClientWmpSongPriv
{
    Q_OBJECT
public:
    CIPlayerClientWmpSongPrivImpl();
    ~CIPlayerClientWmpSongPrivImpl() override;

    // A new song over media (one reference in out); 0x800700A0 without owner or media.
    static HRESULT CreateInstanceWithRawInteface(CPlayerClientWMP* owner, IWMPMedia* media,
                                                 IPlayerClientWmpSongPriv** out);

    // Fills the record from the media's attributes (texts trimmed, the path with "/" separators): 0, 1 when
    // the song's file does not exist, a negative code on failure. The second form also reads track number,
    // year and genre. helper may be null (attributes are then read by name).
    static HRESULT GetSongMetadata(IWMPMedia* media, CFileMetadata& record, CPlayerClientWMPHelper* helper);
    static HRESULT GetSongMetadata(IWMPMedia* media, CSongMetadata& record, CPlayerClientWMPHelper* helper);
    // Attribute 1..9 (CPlayerClientWMPHelper::Attribute*) as text, empty on failure.
    static QString GetRawAttribute(IWMPMedia* media, int number, CPlayerClientWMPHelper* helper);
    // setItemInfo(name, value); 0 or the player's code.
    static HRESULT SetRawAttribute(IWMPMedia* media, const QString& name, const QString& value);
    // The text a year is written as: 1 January of that year in the locale's short form, with four digits.
    static QString YearDateText(int year, const QLocale& locale = QLocale::system());

    HRESULT QueryInterface(const IID& iid, void** object) override;

    CPlayerClientBase* GetOwner() override;
    HRESULT GetMetadata(CSongMetadata* metadata) override;
    HRESULT GetMetadata(CFileMetadata* metadata) override;
    HRESULT SetMetadata(const CSongMetadata* metadata) override;
    HRESULT SetMetadata(const CFileMetadata* metadata) override;
    HRESULT Play(IPlayerClientPlaylist* playlist) override;
    HRESULT Play() override;
    HRESULT GetDuration(double* seconds) override;
    HRESULT IsEqualTo(IPlayerClientSong* other) override;
    HRESULT GetRawInterface(IWMPMedia** media) override;

private:
    static HRESULT ReadSongMetadata(IWMPMedia* media, CFileMetadata& record, CSongMetadata* full,
                                    CPlayerClientWMPHelper* helper);
    // The GetMetadata forms: the song's own tags into a fresh record; a missing file is 0x80400004.
    HRESULT ReadOwnMetadata(CFileMetadata& record, CSongMetadata* full);
    HRESULT DoSetMetadata(const CFileMetadata* record, const CSongMetadata* full);
    CPlayerClientWMPHelper* Helper() const;

    QPointer<CPlayerClientWMP> m_owner;
    CPlayerClientWMP* m_ownerKey = nullptr;  // identity for alien checks, also after the owner is gone
    IWMPMedia* m_media = nullptr;
    QScopedPointer<CFileMetadata> m_metadata;
    double m_duration = 0.0;
    bool m_hasDuration = false;
};
