// A frame opened offscreen on a hand-stepped run loop, for tests of views with timers.
#pragma once

#include "vstgui/lib/cframe.h"

namespace VSTGUI {
namespace Test {

inline SharedPointer<CFrame> openOffscreenFrame (ManualRunLoop& loop,
                                                 const CRect& size = CRect (0., 0., 400., 400.))
{
	auto frame = makeOwned<CFrame> (size);
	IPlatformFrameConfig config;
	config.runLoop = &loop;
	frame->open (nullptr, PlatformType::kOffscreen, &config);
	return frame;
}

} // namespace Test
} // namespace VSTGUI
