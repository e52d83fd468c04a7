#pragma once
// Typed requests: a transaction that reads its answer into a record and hands it to one receiver through its
// own WhenCompleted signal, then deletes itself. Qt's meta-object compiler does not allow signals in
// templates, so each request class declares its signal and uses the start helper here.
#include <QPointer>

#include <type_traits>

#include "webservice/http/httptransaction.h"

namespace Drelk {

class CHttpRequestBase : public CHttpTransaction
{
    Q_OBJECT
public:
    explicit CHttpRequestBase(QObject* parent = nullptr);

    // Connects the request's completion signal to the receiver's slot, then starts it. On any failure the
    // request is deleted: 0x800700A0 without receiver or slot, 0x80004005 when the connection fails, else the
    // start's code. where names the starter for the log.
    static HRESULT StartAndConnect(CHttpRequestBase* request, HRESULT buildResult, QObject* receiver,
                                   const char* slot, const char* signal, const char* where);

    // Whether the request deletes itself after it delivered its answer (true once started by a starter).
    bool DeletesItself() const { return m_deleteAfterDelivery; }

protected:
    // Emits the request's own completion signal.
    virtual void DoEmitCompleted() = 0;
    // Runs once the answer was read; the default delivers at once. A request that has more to fetch
    // delivers later.
    virtual void DoAnswerRead() { Deliver(); }
    // Emits the completion signal, then deletes the request when a starter made it.
    void Deliver();

private:
    void DoCompleted() override;

    bool m_deleteAfterDelivery = false;
};

// Sets the caller's guard to the request when it started; the guard may hold the request class or any base.
// The request is taken by reference: it is read only after the starter that fills it has run.
template <class TGuard, class TRequest>
inline HRESULT SetGuard(QPointer<TGuard>& guard, HRESULT result, TRequest* const& request)
{
    static_assert(std::is_base_of<TGuard, TRequest>::value, "the guard must hold the request or a base of it");
    if (SUCCEEDED(result))
        guard = request;
    return result;
}

} // namespace Drelk
