#include "core/appmodemanager.h"

#include <QTimer>

#include "core/log.h"

CAppModeManagerBase::CAppModeManagerBase(QObject* parent)
    : QObject(parent)
{
}

void CAppModeManagerBase::SetMode(int mode)
{
    if (mode < ModeStarting || mode > ModeSystemMessages) {
        WriteLog("CAppModeManager::SetMode: invalid mode(%d)", mode);
        return;
    }
    m_queue.removeAll(mode);
    if (mode == ModeQuitting)
        m_queue.clear();
    if (mode == m_mode)
        return;
    WriteLog("CAppModeManager::SetMode: %d -> %d", m_mode, mode);
    m_mode = mode;
    if (mode == ModeNormal)
        ScheduleGrant();
    emit WhenModeChanged();
}

HRESULT CAppModeManagerBase::RequestMode(int mode)
{
    if (mode <= ModeNormal || mode > ModeSystemMessages) {
        WriteLog("CAppModeManagerBase::RequestMode: invalid mode(%d)", mode);
        return E_INVALIDARG;
    }
    if (m_mode == ModeQuitting) {
        WriteLog("CAppModeManagerBase::RequestMode: quitting, mode(%d) refused", mode);
        return E_FAIL;
    }
    if (mode == m_mode)
        return S_OK;
    if (!m_queue.contains(mode))
        m_queue.append(mode);
    // Granted later, so that the asker's stage is waiting when WhenModeChanged() arrives.
    if (m_mode == ModeNormal)
        ScheduleGrant();
    return S_FALSE;
}

HRESULT CAppModeManagerBase::ReleaseMode(int mode)
{
    if (mode <= ModeNormal || mode > ModeSystemMessages) {
        WriteLog("CAppModeManagerBase::ReleaseMode: invalid mode(%d)", mode);
        return E_INVALIDARG;
    }
    if (m_queue.removeAll(mode) > 0)
        return S_OK;
    if (mode == m_mode) {
        SetMode(ModeNormal);  // grants the next queued mode
        return S_OK;
    }
    return S_FALSE;
}

void CAppModeManagerBase::ScheduleGrant()
{
    if (m_grantScheduled || m_queue.isEmpty())
        return;
    m_grantScheduled = true;
    QTimer::singleShot(0, this, &CAppModeManagerBase::OnGrantNext);
}

void CAppModeManagerBase::OnGrantNext()
{
    m_grantScheduled = false;
    // Only the normal mode hands over; a mode set meanwhile keeps the queue waiting.
    if (m_mode != ModeNormal || m_queue.isEmpty())
        return;
    SetMode(m_queue.first());
}

CAppModeManager::CAppModeManager(QObject* parent)
    : CAppModeManagerBase(parent)
{
}
