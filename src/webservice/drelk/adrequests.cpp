#include "webservice/drelk/adrequests.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "core/versionnumber.h"
#include "webservice/serviceconfig.h"
#include "webservice/url/coreurl.h"

#include <QXmlStreamReader>

namespace Drelk {

namespace {
void RegisterAdMetaType()
{
    static const int id = qRegisterMetaType<CAdDesc>("Drelk::CAdDesc");
    Q_UNUSED(id)
}
} // namespace

// ---- CGetAdHttpRequest

CGetAdHttpRequest::CGetAdHttpRequest(QObject* parent)
    : CHttpRequestBase(parent)
{
    RegisterAdMetaType();
}

HRESULT CGetAdHttpRequest::Create(QObject* receiver, const char* slot, CGetAdHttpRequest** request)
{
    CGetAdHttpRequest* created = new CGetAdHttpRequest();
    const HRESULT build = receiver && slot ? created->Modify() : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot, SIGNAL(whenCompleted(int, Drelk::CAdDesc)),
                                       "Drelk::CGetAdHttpRequest::startRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CGetAdHttpRequest::Modify()
{
    CoreUrl::CConstructorBase url(ServiceConfig::Join(ServiceConfig::AdUrl(), QStringLiteral("ad")));
    url.Param("placement").value = "desktop";
    CoreUrl::SetParamString(url.Param("version"), GetAppVersion().ToString(4, false));
    return SetURL(url.GetUrl());
}

HRESULT CGetAdHttpRequest::DoParseResponse(HRESULT result)
{
    if (FAILED(result))
        return result;
    QXmlStreamReader reader(GetResponseData());
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("ad")) {
        WriteLog("Drelk::CGetAdHttpRequest::DoParseResponse: no ad element %x", SV_E_BAD_ANSWER);
        return SV_E_BAD_ANSWER;
    }
    CAdDesc ad;
    const QXmlStreamAttributes attributes = reader.attributes();
    ad.placement = attributes.value(QLatin1String("placement")).toString();
    ad.link = CoreUrl::ParseWebUrl(attributes.value(QLatin1String("link")).toString());
    ad.text = attributes.value(QLatin1String("text")).toString();
    ad.imageUrl = CoreUrl::ParseWebUrl(attributes.value(QLatin1String("image")).toString());
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("pixel")) {
            const QUrl pixel = CoreUrl::ParseWebUrl(reader.attributes().value(QLatin1String("url")).toString());
            if (pixel.isValid())
                ad.pixels.append(pixel);
        }
        reader.skipCurrentElement();
    }
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError()) {
        WriteLog("Drelk::CGetAdHttpRequest::DoParseResponse: unreadable answer %x", SV_E_BAD_ANSWER);
        return SV_E_BAD_ANSWER;
    }
    m_ad = ad;
    return S_OK;
}

void CGetAdHttpRequest::DoAnswerRead()
{
    if (FAILED(GetResult()) || !m_ad.imageUrl.isValid()) {
        FirePixels();
        DeliverWhenDone();
        return;
    }
    CHttpTransaction* image = new CHttpTransaction(this);
    connect(image, &CHttpTransaction::WhenStateChanged, this, &CGetAdHttpRequest::OnImageStateChanged);
    HRESULT hr = image->SetURL(m_ad.imageUrl);
    if (SUCCEEDED(hr))
        hr = image->Start();
    if (FAILED(hr)) {
        WriteLog("Drelk::CGetAdHttpRequest::DoAnswerRead: image start failed %x", hr);
        delete image;
        FirePixels();
        DeliverWhenDone();
        return;
    }
    m_image = image;
}

void CGetAdHttpRequest::OnImageStateChanged()
{
    CHttpTransaction* image = m_image;
    if (!image || image->GetState() != CHttpTransaction::StateCompleted)
        return;
    m_image = nullptr;
    if (SUCCEEDED(image->GetResult())) {
        m_ad.imageData = image->GetResponseData();
        if (!m_ad.image.loadFromData(m_ad.imageData))
            WriteLog("Drelk::CGetAdHttpRequest::OnImageStateChanged: image not decodable %x", SV_E_BAD_ANSWER);
    } else {
        WriteLog("Drelk::CGetAdHttpRequest::OnImageStateChanged: image err=%x", image->GetResult());
    }
    image->deleteLater();
    FirePixels();
    DeliverWhenDone();
}

void CGetAdHttpRequest::FirePixels()
{
    if (FAILED(GetResult()))
        return;
    for (const QUrl& url : qAsConst(m_ad.pixels)) {
        CHttpTransaction* pixel = new CHttpTransaction(this);
        connect(pixel, &CHttpTransaction::WhenStateChanged, this, &CGetAdHttpRequest::OnPixelStateChanged);
        HRESULT hr = pixel->SetURL(url);
        if (SUCCEEDED(hr))
            hr = pixel->Start();
        if (FAILED(hr)) {
            WriteLog("Drelk::CGetAdHttpRequest::FirePixels: start failed %x", hr);
            delete pixel;
            continue;
        }
        ++m_pixelsRunning;
    }
}

void CGetAdHttpRequest::OnPixelStateChanged()
{
    CHttpTransaction* pixel = qobject_cast<CHttpTransaction*>(sender());
    if (!pixel || pixel->GetState() != CHttpTransaction::StateCompleted)
        return;
    pixel->deleteLater(); // its result does not matter
    --m_pixelsRunning;
    DeliverWhenDone();
}

void CGetAdHttpRequest::DeliverWhenDone()
{
    if (m_delivered || m_image || m_pixelsRunning > 0)
        return;
    m_delivered = true;
    Deliver();
}

void CGetAdHttpRequest::DoEmitCompleted()
{
    emit whenCompleted(GetResult(), m_ad);
}

// ---- CAdClickedRequest

CAdClickedRequest::CAdClickedRequest(QObject* parent)
    : CHttpRequestBase(parent)
{
    RegisterAdMetaType();
}

HRESULT CAdClickedRequest::Create(QObject* receiver, const char* slot, const CAdDesc& ad, CAdClickedRequest** request)
{
    CAdClickedRequest* created = new CAdClickedRequest();
    const HRESULT build = receiver && slot ? created->Modify(ad) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot, SIGNAL(whenCompleted(int)),
                                       "Drelk::CAdClickedRequest::startRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CAdClickedRequest::Modify(const CAdDesc& ad)
{
    if (!CoreUrl::IsWebUrl(ad.link)) {
        WriteLog("Drelk::CAdClickedRequest::Modify: ad without link %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CConstructorBase url(ServiceConfig::Join(ServiceConfig::AdUrl(), QStringLiteral("click")));
    CoreUrl::SetParamString(url.Param("placement"), ad.placement);
    CoreUrl::SetParamString(url.Param("link"), QString::fromUtf8(ad.link.toEncoded()));
    return SetURL(url.GetUrl());
}

void CAdClickedRequest::DoEmitCompleted()
{
    emit whenCompleted(GetResult());
}

} // namespace Drelk
