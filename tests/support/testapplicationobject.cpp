#include "support/testapplicationobject.h"

#include <QWidget>

#include <utility>

#include "core/corefiles.h"
#include "core/log.h"

namespace SvTest {

CTestApplicationObject::CTestApplicationObject(QObject* parent)
    : QObject(parent)
    , m_timerList(this)
    , m_modeManager(this)
{
    *GetCoreApplicationObjectSlot() = this;
}

CTestApplicationObject::~CTestApplicationObject()
{
    CCoreApplicationObject** slot = GetCoreApplicationObjectSlot();
    if (*slot == this)
        *slot = nullptr;
    for (const QPointer<QWidget>& page : qAsConst(m_pushedTabs))
        delete page.data();
}

bool CTestApplicationObject::Observe(const char* signal, QObject* receiver, const char* slot, Qt::ConnectionType type)
{
    if (!receiver || !slot) {
        WriteLog("CTestApplicationObject::Observe: invalid observer for %s", signal + 1);
        return false;
    }
    return static_cast<bool>(QObject::connect(this, signal, receiver, slot, type));
}

void CTestApplicationObject::SetAppAlwaysOnTop(bool on)
{
    SV_RECORD();
    if (std::exchange(m_alwaysOnTop, on) != on)
        emit WhenAlwaysOnTopChanged(on);
}

void CTestApplicationObject::SetAppInFullscreen(bool on)
{
    SV_RECORD();
    if (std::exchange(m_fullscreen, on) != on)
        emit WhenAppInFullscreenChanged();
}

void CTestApplicationObject::SetAppQuitsOnClose(bool on)
{
    SV_RECORD();
    if (std::exchange(m_quitsOnClose, on) != on)
        emit WhenAppQuitsOnCloseChanged();
}

void CTestApplicationObject::PushMainTab(QWidget* page)
{
    SV_RECORD();
    m_pushedTabs.append(page);
}

QString CTestApplicationObject::GetMusicFolder()
{
    SV_RECORD();
    return GetDataDirectory() + QStringLiteral("/music");
}

QString CTestApplicationObject::GetPlayerKindName(int kind)
{
    SV_RECORD();
    const QStringList names{QStringLiteral("local"), QStringLiteral("wmp"), QStringLiteral("itunes")};
    return GetMusicFolder() + QLatin1Char('/') + names.value(kind - 1, QStringLiteral("unknown"));
}

} // namespace SvTest
