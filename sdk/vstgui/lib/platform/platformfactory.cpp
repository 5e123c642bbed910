#include "iplatformframe.h"
#include "linux/x11frame.h"
#include "offscreen/offscreenframe.h"

namespace VSTGUI {

SharedPointer<IPlatformFrame> createPlatformFrame (IPlatformFrameCallback* callback,
                                                   const CRect& size, void* parent,
                                                   PlatformType type,
                                                   IPlatformFrameConfig* config)
{
	if (!callback)
		return nullptr;
	IRunLoop* runLoop = config ? config->runLoop.get () : nullptr;
	switch (type)
	{
		case PlatformType::kOffscreen:
			return makeOwned<OffscreenPlatformFrame> (callback, size, runLoop);
		case PlatformType::kX11EmbedWindowID:
			return createX11Frame (callback, size, parent, runLoop);
	}
	return nullptr;
}

} // namespace VSTGUI
