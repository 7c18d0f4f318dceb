// The port has no code of its own; this file gives the header its meta-object code.
#include "ui/platform/AudioPlayer.h"
