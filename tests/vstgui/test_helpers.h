// Helpers of the GUI library tests: a listener that logs, and a frame on a hand-stepped run loop.
#pragma once

#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/ccontrol.h"
#include <string>
#include <vector>

namespace VSTGUI {
namespace Test {

using Log = std::vector<std::string>;

inline std::string valueEntry (float v) { return "value=" + std::to_string (v); }

// Logs every notification as "begin", "value=<v>", "end".
struct RecordingListener : IControlListener
{
	void valueChanged (CControl* c) override { log.push_back (valueEntry (c->getValue ())); }
	void controlBeginEdit (CControl*) override { log.push_back ("begin"); }
	void controlEndEdit (CControl*) override { log.push_back ("end"); }
	Log log;
};

// A frame opened offscreen on loop, for tests of views with timers.
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
