#pragma once
// How a player client's long-running operation talks back to the operation that started it without
// knowing its class: the observer hears progress and completion, the collection supplies the files.
#include <QPointer>
#include <QString>

class CCoreOperationBase;
class QObject;
struct IPlayerClientOperation;

class CPlayerClientOperationObserver
{
public:
    virtual ~CPlayerClientOperationObserver() {}
    // The operation ended with result; the observer receives one reference to it and releases it.
    virtual void OnPlayerClientOperationCompleted(IPlayerClientOperation* operation, int result) = 0;
    virtual void OnPlayerClientOperationProgress(double progress) = 0;
};

class CPlayerClientAddingFilesCollection
{
public:
    // Bits of the flags word.
    enum : quint32
    {
        FlagMakeReadyFirst = 0x1,  // StartOperation per file before it is added
        FlagAddToSyncList = 0x2,   // the added songs also go into the device-sync list
    };

    virtual ~CPlayerClientAddingFilesCollection() {}
    virtual int GetCount() = 0;
    // Makes file index ready; a result code. operation receives the object to wait for, null when the
    // file is ready at once; second is handed to whatever fetches the file.
    virtual int StartOperation(QPointer<CCoreOperationBase>& operation, QObject* second, int index) = 0;
    // Empty for an index below 0 or not below GetCount().
    virtual QString GetFilePath(int index) = 0;

    quint32 GetFlags() const { return m_flags; }

protected:
    quint32 m_flags = 0;
};
