// Transport commands that reach the window from outside it (another copy's command line), routed
// to the window's own handlers so that they act as the buttons do.
#pragma once

#include "instancemessage.h"

class TPlayForm;

// PlayPause pauses or resumes what plays and otherwise starts playing; Stop acts only on a song
// that plays or is paused. Nothing happens before the window's first show has finished
// or without the decoder library.
void runRemoteCommand(TPlayForm &form, InstanceRequest::Kind command);
