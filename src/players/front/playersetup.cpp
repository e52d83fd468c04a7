#include "players/front/playersetup.h"

#include "core/log.h"
#include "platform/wmp/simplayer.h"
#include "players/front/player.h"
#include "players/playerclienttypes.h"

Player* SetUpProgramPlayers()
{
    Platform::Wmp::CSimPlayer* application = Platform::Wmp::CSimPlayer::Instance();
    application->ImportMusicFolderOnce();
    WriteLog("SetUpProgramPlayers: library of [%ls]: %d items",
             qUtf16Printable(Platform::Wmp::CSimPlayer::MusicFolder()), application->Library().AudioCount());
    Player* front = Player::instance();
    front->openPlayer(PlayerClient::KindWmp);
    return front;
}
