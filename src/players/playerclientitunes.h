#pragma once
// The iTunes client: present for the player choice, installed only when its application class is
// registered (never by default on this platform). Everything else is the base's answer.
#include "players/playerclientbase.h"

// The class id under which the iTunes application registers itself.
constexpr CLSID CLSID_ITunesApplication(0x393B472Bu, 0x3950, 0x43A0, 0x8F, 0x12, 0xDD, 0xDB, 0x78, 0x85, 0x6C, 0xE2);

class CPlayerClientITunes : public CPlayerClientBase
{
    Q_OBJECT
public:
    explicit CPlayerClientITunes(CPlayerClientDispatcher* parent);
    ~CPlayerClientITunes() override;

    bool IsInstalled() override;
    // iTunes takes no WMA files.
    bool IsFileFormatUsable(const QString& fileName) override;
};
