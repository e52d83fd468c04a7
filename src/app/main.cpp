#include "core/startup.h"
#include "lyrics/svplayer.h"
#include "players/front/playersetup.h"
#include "ui/skin/skin.h"

#include <QWidget>

namespace {

// Until the main window exists: the placeholder window, with the player front attached to the player
// and the song follower (owned by the window) fetching the playing song's lyrics.
QWidget* CreateMainWindow(CCoreApplicationObject** appObject)
{
    QWidget* window = CreatePlaceholderMainWindow(appObject);
    SetUpProgramPlayers();
    auto* follower = new SvPlayer(window);
    follower->Init();
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    return SonveroMain(argc, argv, &CreateMainWindow, [] { return new Skin(nullptr); });
}
