#include "core/startup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTextCodec>
#include <QVBoxLayout>
#include <QWidget>

#include "core/broadcastmessages.h"
#include "core/coreapplicationobject.h"
#include "core/corefeatures.h"
#include "core/corefiles.h"
#include "core/coreinterfacelanguage.h"
#include "core/log.h"
#include "core/mediahelper.h"
#include "core/versionnumber.h"
#include "platform/win/singleinstance.h"

namespace {

const char* const UpdatedArgument = "--updated";

// The settings hold the account record: the file is the user's alone from its first byte on.
HRESULT PrepareSettingsFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        WriteLog("SonveroMain: can not make settings [%ls] %x", qUtf16Printable(path), quint32(E_FAIL));
        return E_FAIL;
    }
    // An older file keeps whatever mode it had unless it is narrowed here; rewrites keep the mode.
    const int changed = ::fchmod(fd, S_IRUSR | S_IWUSR);
    ::close(fd);
    if (changed != 0) {
        WriteLog("SonveroMain: can not protect settings [%ls] %x", qUtf16Printable(path), quint32(E_FAIL));
        return E_FAIL;
    }
    return S_OK;
}

int RunInApartment(int argc, char** argv, const CMainWindowFactory& makeMainWindow,
                   const CUiToolkitFactory& makeUiToolkit)
{
    // The data directory holds the log: until it exists, lines go to the standard error only.
    if (FAILED(MakeDataDirectory())) {
        WriteLog("SonveroMain: can not make the data directory [%ls] %x", qUtf16Printable(GetDataDirectory()),
                 quint32(E_FAIL));
        return SonveroExitNoDataDirectory;
    }

    // One copy per user. A later copy asks the running one to show itself and leaves before it
    // touches the log. A copy started by the installer after an update waits for the old one to go.
    const bool updated = argc > 1 && qstrcmp(argv[1], UpdatedArgument) == 0;
    CSingleInstance singleInstance;
    const HRESULT claimed = updated
        ? singleInstance.Claim(CSingleInstance::UpdatedAttempts, CSingleInstance::UpdatedIntervalMs)
        : singleInstance.Claim();
    if (claimed == S_FALSE) {
        const HRESULT sent = CSingleInstance::SendMessage(CSingleInstance::BroadcastMessageId, 0, 0);
        WriteLog("SonveroMain: another copy runs (message %x)", quint32(sent));
        return SonveroExitAnotherInstanceRuns;
    }

    OpenLog();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    const CVersionNumber version = GetAppVersion();
    WriteLog("Started");
    WriteLog("version: %ls build %ls", qUtf16Printable(version.ToString(4, true)), qUtf16Printable(version.build));
    WriteLog("os: %ls", qUtf16Printable(QSysInfo::prettyProductName()));
    if (FAILED(claimed))
        WriteLog("SonveroMain: single instance failed %x", quint32(claimed));

    CoreFeatures::InitializeFeatures();

    auto* application = new QApplication(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Sonvero"));
    QCoreApplication::setApplicationName(QStringLiteral("Sonvero"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    PrepareSettingsFile(GetDataDirectory() + QStringLiteral("/Sonvero.ini"));
    if (singleInstance.IsOwner())
        singleInstance.Listen();

    auto* interfaceLanguage = new CCoreInterfaceLanguage(nullptr);
    PrepareDataFolders();

    QObject* uiToolkit = makeUiToolkit ? makeUiToolkit() : nullptr;

    CCoreMediaHelper::RegisterSupportedMediaFormats();

    CCoreApplicationObject** appObjectSlot = GetCoreApplicationObjectSlot();
    QPointer<QWidget> mainWindow = makeMainWindow ? makeMainWindow(appObjectSlot) : nullptr;
    int exitCode = SonveroExitNoMainWindow;
    if (mainWindow)
        exitCode = application->exec();
    else
        WriteLog("SonveroMain: no main window %x", quint32(E_FAIL));

    *appObjectSlot = nullptr;
    delete mainWindow.data();
    delete uiToolkit;
    delete interfaceLanguage;
    singleInstance.StopListening();
    delete application;
    WriteLog("exiting");
    CloseLog();
    return exitCode;
}

} // namespace

QWidget* CreatePlaceholderMainWindow(CCoreApplicationObject** appObject)
{
    Q_UNUSED(appObject);
    auto* window = new QWidget(nullptr);
    window->setObjectName(QStringLiteral("placeholderMainWindow"));
    window->setWindowTitle(QStringLiteral("Sonvero"));
    auto* layout = new QVBoxLayout(window);
    auto* label = new QLabel(QStringLiteral("Sonvero"), window);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    window->resize(320, 552);

    if (CSingleInstance* instance = CSingleInstance::Instance()) {
        QObject::connect(instance, &CSingleInstance::WhenMessage, window,
                         [window](quint32 id, qintptr wParam, qintptr lParam) {
                             if (id == GetBroadcastMessageId()) {
                                 WriteLog("CreatePlaceholderMainWindow: msg from me to me [w=%d l=%d]", int(wParam),
                                          int(lParam));
                                 window->show();
                                 if (window->isMinimized())
                                     window->showNormal();
                                 window->raise();
                                 window->activateWindow();
                             } else if (id == GetCommonBroadcastMessageId()) {
                                 WriteLog("CreatePlaceholderMainWindow: need to shutdown [w=%d l=%d]", int(wParam),
                                          int(lParam));
                                 QCoreApplication::quit();
                             }
                         });
    }
    window->show();
    return window;
}

int SonveroMain(int argc, char** argv, const CMainWindowFactory& makeMainWindow,
                const CUiToolkitFactory& makeUiToolkit)
{
    // The main thread's apartment comes first: every later component may create objects.
    if (FAILED(CoInitializeApartment()))
        return SonveroExitComFailed;
    const int exitCode = RunInApartment(argc, argv, makeMainWindow, makeUiToolkit);
    CoUninitialize();
    return exitCode;
}
