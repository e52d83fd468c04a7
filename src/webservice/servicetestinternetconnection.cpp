#include "webservice/servicetestinternetconnection.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "platform/netlist/networklist.h"

CServiceTestInternetConnection::CServiceTestInternetConnection(QObject* parent)
    : QObject(parent)
{
    m_state = NetList::Probe() == NetList::EConnectivity::Connected ? S_OK : SV_E_NO_INTERNET;
    m_lastProbe.start();
    m_timer.setInterval(PollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CServiceTestInternetConnection::OnTimerTick);
    m_timer.start();
}

HRESULT CServiceTestInternetConnection::GetState()
{
    if (!m_lastProbe.isValid() || m_lastProbe.elapsed() > MaxProbeAgeMs)
        Refresh();
    return m_state;
}

void CServiceTestInternetConnection::Refresh()
{
    const HRESULT state = NetList::Probe() == NetList::EConnectivity::Connected ? S_OK : SV_E_NO_INTERNET;
    m_lastProbe.restart();
    if (state == m_state)
        return;
    m_state = state;
    WriteLog("CServiceTestInternetConnection::Refresh: state %x", m_state);
    emit WhenStateChanged(m_state);
}

void CServiceTestInternetConnection::OnTimerTick()
{
    Refresh();
}
