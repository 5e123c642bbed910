#pragma once

// A frame in a child window of a host's X11 window (XEmbed client), drawn with cairo.

#include "../iplatformframe.h"

namespace VSTGUI {

// Creates the child window in parent at the given size, on the connection of this
// thread's frames to the X server DISPLAY names (opened with the first one). Its events
// arrive through runLoop, which must watch descriptors. Null when there is no server, the
// parent window does not exist or the run loop refuses the connection.
SharedPointer<IPlatformFrame> createX11Frame (IPlatformFrameCallback* callback, const CRect& size,
                                              void* parent, IRunLoop* runLoop);

} // namespace VSTGUI
