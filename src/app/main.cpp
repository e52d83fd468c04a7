#include "core/startup.h"
#include "players/front/playersetup.h"
#include "ui/skin/skin.h"

namespace {

// Until the main window exists: the placeholder window, with the player front attached to the player.
QWidget* CreateMainWindow(CCoreApplicationObject** appObject)
{
    QWidget* window = CreatePlaceholderMainWindow(appObject);
    SetUpProgramPlayers();
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    return SonveroMain(argc, argv, &CreateMainWindow, [] { return new Skin(nullptr); });
}
