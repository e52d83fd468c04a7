#include "webservice/servicetestinternetconnection.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "platform/netlist/networklist.h"

namespace {
HRESULT ProbeState()
{
    return NetList::Probe() == NetList::EConnectivity::Connected ? S_OK : SV_E_NO_INTERNET;
}
} // namespace

CServiceTestInternetConnection::CServiceTestInternetConnection(QObject* parent)
    : QObject(parent)
    , m_state(ProbeState())
{
    m_lastProbe.start();
    m_timer.setInterval(PollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CServiceTestInternetConnection::Refresh);
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
    const HRESULT state = ProbeState();
    m_lastProbe.restart();
    if (state == m_state)
        return;
    m_state = state;
    WriteLog("CServiceTestInternetConnection::Refresh: state %x", m_state);
    emit WhenStateChanged(m_state);
}
