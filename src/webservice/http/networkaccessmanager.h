#pragma once
// The program's network access manager. The main window owns one and hands it out through the application
// object; code that runs without an application object (tools, tests) gets a process-wide one.
#include <QNetworkAccessManager>

namespace Drelk {

class CNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT
public:
    explicit CNetworkAccessManager(QObject* parent = nullptr);

    // The manager a request uses now: the application object's; null while the application quits; a
    // process-wide one when there is no application object or it has none to give.
    static QNetworkAccessManager* ForRequests();
};

} // namespace Drelk
