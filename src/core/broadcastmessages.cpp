#include "core/broadcastmessages.h"

#include "platform/win/singleinstance.h"

quint32 GetBroadcastMessageId()
{
    const CSingleInstance* instance = CSingleInstance::Instance();
    return instance ? instance->GetBroadcastMessageId() : 0;
}

quint32 GetCommonBroadcastMessageId()
{
    const CSingleInstance* instance = CSingleInstance::Instance();
    return instance ? instance->GetCommonBroadcastMessageId() : 0;
}
