#pragma once
// The ad server: fetching one ad (its description, then its image, then its tracking pixels) and reporting a
// click. The ad server is not signed and answers plain XML (<ad placement link text image><pixel url/></ad>).
#include <QList>
#include <QPointer>

#include "webservice/drelk/addesc.h"
#include "webservice/http/httprequest.h"

namespace Drelk {

class CGetAdHttpRequest : public CHttpRequestBase
{
    Q_OBJECT
public:
    explicit CGetAdHttpRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT startRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot)
    {
        CGetAdHttpRequest* request = nullptr;
        return SetGuard(guard, Create(receiver, slot, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, CGetAdHttpRequest** request);

    HRESULT Modify();
    const CAdDesc& GetAd() const { return m_ad; }

signals:
    void whenCompleted(int result, const Drelk::CAdDesc& ad);

protected:
    HRESULT DoParseResponse(HRESULT result) override;
    void DoAnswerRead() override;
    void DoEmitCompleted() override;

private slots:
    void OnImageStateChanged();
    void OnPixelStateChanged();

private:
    void FirePixels();
    void DeliverWhenDone();

    CAdDesc m_ad;
    QPointer<CHttpTransaction> m_image;
    int m_pixelsRunning = 0;
    bool m_delivered = false;
};

class CAdClickedRequest : public CHttpRequestBase
{
    Q_OBJECT
public:
    explicit CAdClickedRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT startRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const CAdDesc& ad)
    {
        CAdClickedRequest* request = nullptr;
        return SetGuard(guard, Create(receiver, slot, ad, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const CAdDesc& ad, CAdClickedRequest** request);

    HRESULT Modify(const CAdDesc& ad);

signals:
    void whenCompleted(int result);

protected:
    void DoEmitCompleted() override;
};

} // namespace Drelk
