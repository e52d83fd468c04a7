#pragma once
// The program's start-up and shutdown around the main window.
#include <functional>

class CCoreApplicationObject;
class QObject;
class QWidget;

// Makes the main window. It receives the address of the application-object global, stores its own
// application object there and returns itself; null when it cannot be made.
typedef std::function<QWidget*(CCoreApplicationObject** appObject)> CMainWindowFactory;

// Makes the UI toolkit's process-wide objects (the skin engine and its style) once the application and
// the interface language exist. Start-up deletes the returned object after the main window.
typedef std::function<QObject*()> CUiToolkitFactory;

// Exit codes of SonveroMain besides the event loop's own.
enum
{
    SonveroExitComFailed = -1,            // the main thread's apartment could not be initialised
    SonveroExitNoDataDirectory = -2,      // the data directory could not be made
    SonveroExitNoMainWindow = -3,         // the factory made no window
    SonveroExitAnotherInstanceRuns = 1,   // another copy of this user runs (it was asked to show itself)
};

// The whole life of the process: start-up, the main window from the factory, the event loop, shutdown.
// "--updated" as the first argument waits for a copy that is still quitting.
int SonveroMain(int argc, char** argv, const CMainWindowFactory& makeMainWindow,
                const CUiToolkitFactory& makeUiToolkit = CUiToolkitFactory());

// The window used until the real main window takes its place: a plain window that shows itself again
// when a later copy starts and quits when asked to shut down. It stores no application object.
QWidget* CreatePlaceholderMainWindow(CCoreApplicationObject** appObject);
