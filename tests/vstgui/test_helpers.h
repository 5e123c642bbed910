#pragma once

#include "vstgui/lib/controls/ccontrol.h"
#include <string>
#include <vector>

namespace VSTGUI {
namespace Test {

// Logs every notification as "begin", "value=<v>", "end".
struct RecordingListener : IControlListener
{
	void valueChanged (CControl* c) override { log.push_back ("value=" + std::to_string (c->getValue ())); }
	void controlBeginEdit (CControl*) override { log.push_back ("begin"); }
	void controlEndEdit (CControl*) override { log.push_back ("end"); }
	std::vector<std::string> log;
};

inline std::string valueEntry (float v) { return "value=" + std::to_string (v); }

} // namespace Test
} // namespace VSTGUI
