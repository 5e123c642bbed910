#pragma once

// A frame in a child window of a host's X11 window (XEmbed client), drawn with cairo.

#include "../iplatformframe.h"

namespace VSTGUI {

// Opens a connection of its own to the X server DISPLAY names and creates the child
// window in parent at the given size. Its events arrive through runLoop, which must
// watch descriptors. Null when there is no server, the parent window does not exist or
// the run loop refuses the connection.
SharedPointer<IPlatformFrame> createX11Frame (IPlatformFrameCallback* callback, const CRect& size,
                                              void* parent, IRunLoop* runLoop);

} // namespace VSTGUI
