#include "webservice/http/networkaccessmanager.h"

#include "core/coreapplicationobject.h"

#include <QCoreApplication>
#include <QPointer>

namespace Drelk {

CNetworkAccessManager::CNetworkAccessManager(QObject* parent)
    : QNetworkAccessManager(parent)
{
    // Redirects are followed by the transaction itself (counted, schemes checked).
    setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

QNetworkAccessManager* CNetworkAccessManager::ForRequests()
{
    if (CCoreApplicationObject* app = GetCoreApplicationObject()) {
        if (CNetworkAccessManager* manager = app->GetNetworkAccessManager())
            return manager;
        if (app->m_quitting)
            return nullptr;
    }
    static QPointer<CNetworkAccessManager> s_shared;
    if (!s_shared && QCoreApplication::instance())
        s_shared = new CNetworkAccessManager(QCoreApplication::instance());
    return s_shared;
}

} // namespace Drelk
