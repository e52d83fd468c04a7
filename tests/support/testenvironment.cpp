#include "testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

namespace SvTest {

static CTestEnvironment* s_environment = nullptr;

CTestEnvironment* Environment()
{
    return s_environment;
}

CTestEnvironment::CTestEnvironment()
    : m_root(QDir::tempPath() + QStringLiteral("/svtest-XXXXXX"))
{
    const QString root = m_root.path();
    QDir().mkpath(root + QStringLiteral("/data/Sonvero"));
    QDir().mkpath(root + QStringLiteral("/runtime"));
    QDir().mkpath(root + QStringLiteral("/config"));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_MUSIC_DIR", QFile::encodeName(root + QStringLiteral("/music")));

    QCoreApplication::setOrganizationName(QStringLiteral("Sonvero"));
    QCoreApplication::setApplicationName(QStringLiteral("Sonvero"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, root + QStringLiteral("/data"));
    s_environment = this;
}

CTestEnvironment::~CTestEnvironment()
{
    if (s_environment == this)
        s_environment = nullptr;
}

QString CTestEnvironment::DataDirectory() const
{
    return m_root.path() + QStringLiteral("/data/Sonvero");
}

void CTestEnvironment::Reset()
{
    {
        QSettings settings;
        settings.clear();
        settings.sync();
    }
    QDir dir(DataDirectory());
    dir.removeRecursively();
    QDir().mkpath(DataDirectory());
}

} // namespace SvTest
