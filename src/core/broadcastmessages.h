#pragma once
// The ids of the two messages that reach the running copy from outside: a later copy of the same user
// asking it to show itself, and the request to shut down. 0 while they are not registered.
#include <QtGlobal>

quint32 GetBroadcastMessageId();
quint32 GetCommonBroadcastMessageId();
