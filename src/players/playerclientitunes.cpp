#include "players/playerclientitunes.h"

#include "core/mediahelper.h"
#include "platform/win/classregistry.h"

namespace {

// Device format code of WMA files in the media-format table.
constexpr int kWmaFormatCode = 0xB901;

} // namespace

CPlayerClientITunes::CPlayerClientITunes(CPlayerClientDispatcher* parent)
    : CPlayerClientBase(parent, QStringLiteral("iTunes"), PlayerClient::KindITunes, PlayerClient::CapabilitiesITunes)
{
}

CPlayerClientITunes::~CPlayerClientITunes() = default;

bool CPlayerClientITunes::IsInstalled()
{
    return CPlayerClientBase::IsInstalled() && ClassRegistry::IsClassRegistered(CLSID_ITunesApplication);
}

bool CPlayerClientITunes::IsFileFormatUsable(const QString& fileName)
{
    const int index = CCoreMediaHelper::FindFormatEntry(fileName);
    if (CCoreMediaHelper::GetDeviceFormatCodeByIndex(index) == kWmaFormatCode)
        return false;
    return CPlayerClientBase::IsFileFormatUsable(fileName);
}
