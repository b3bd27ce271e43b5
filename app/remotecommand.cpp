#include "remotecommand.h"

#include "player.h"
#include "playform.h"

namespace {

// Player modes: a song plays or is paused.
bool songUnderWay(const TElPlayer &player)
{
    const int mode = player.PlayerMode();
    return mode == 4 || mode == 5;
}

} // namespace

void runRemoteCommand(TPlayForm &form, InstanceRequest::Kind command)
{
    TElPlayer *player = form.Player();
    if (!player || !player->Initialized() || !form.FirstShowDone())
        return;
    switch (command) {
    case InstanceRequest::PlayPause:
        if (songUnderWay(*player))
            form.PauseBtnClick();
        else
            form.PlayBtnClick();
        break;
    case InstanceRequest::Next:
        form.LMDSpeedButton5Click();
        break;
    case InstanceRequest::Previous:
        form.LMDSpeedButton4Click();
        break;
    case InstanceRequest::Stop:
        if (songUnderWay(*player))
            form.StopBtnClick();
        break;
    default:
        break;
    }
}
