#include "players/playerclientplaylistsyncbase.h"

const QString& CPlayerClientSyncListBase::EmptyId()
{
    static const QString empty;
    return empty;
}

void CPlayerClientSyncListBase::OnModified()
{
    if (!IsShutdown())
        DoInvalidate();
}

void CPlayerClientSyncListBase::OnTimerUpdate()
{
    EmitEventUpdated();
}
