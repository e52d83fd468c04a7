#include "platform/netlist/networklist.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QNetworkInterface>

namespace NetList {

namespace {

QMutex s_mutex;
ProbeFunction s_probe;

bool HasRoutableInterface()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || (flags & QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = iface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            const QHostAddress address = entry.ip();
            if (!address.isNull() && !address.isLoopback() && !address.isLinkLocal())
                return true;
        }
    }
    return false;
}

// /proc/net/route: "Iface Destination Gateway ..." with the destination in hex; 00000000 is the default route.
bool HasDefaultRouteV4()
{
    QFile file(QStringLiteral("/proc/net/route"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    file.readLine(); // header
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        if (fields.size() > 2 && fields.at(1) == "00000000")
            return true;
    }
    return false;
}

// /proc/net/ipv6_route: destination (32 hex digits), prefix length, ...; the default route is ::/0 on a real device.
bool HasDefaultRouteV6()
{
    QFile file(QStringLiteral("/proc/net/ipv6_route"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        if (fields.size() < 10)
            continue;
        if (fields.at(0) == QByteArray(32, '0') && fields.at(1) == "00" && fields.at(9) != "lo")
            return true;
    }
    return false;
}

} // namespace

EConnectivity ProbeSystem()
{
    if (!HasRoutableInterface())
        return EConnectivity::Disconnected;
    return (HasDefaultRouteV4() || HasDefaultRouteV6()) ? EConnectivity::Connected : EConnectivity::Disconnected;
}

EConnectivity Probe()
{
    ProbeFunction probe;
    {
        QMutexLocker lock(&s_mutex);
        probe = s_probe;
    }
    return probe ? probe() : ProbeSystem();
}

void SetProbe(ProbeFunction probe)
{
    QMutexLocker lock(&s_mutex);
    s_probe = std::move(probe);
}

void InjectState(EConnectivity state)
{
    SetProbe([state] { return state; });
}

} // namespace NetList
