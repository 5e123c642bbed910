// An edit controller with its editor open offscreen on a host frame with a run loop.
#pragma once

#include "plugcontroller.h"
#include "hostobjects.h"
#include "runloop.h"

#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/lib/platform/offscreen/offscreenframe.h"

#include <string>

namespace testsupport {

using namespace Steinberg;
using namespace Steinberg::Vst;

// A controller that shows its list of about boxes.
struct TestController : PlugController
{
	using PlugController::aboutControllers;
};

// A host frame with tolvar-host's run loop, which watches descriptors as real hosts' do.
class LoopFrame : public tolvarhost::HostObject<IPlugFrame>
{
public:
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (obj && tolvarhost::isIid<Linux::IRunLoop> (iid))
			return loop->queryInterface (iid, obj);
		return HostObject::queryInterface (iid, obj);
	}
	tresult PLUGIN_API resizeView (IPlugView*, ViewRect*) override { return kResultFalse; }
	// One turn: waits at most ms for a descriptor or a timer, then dispatches.
	void turn (int ms = 0)
	{
		loop->iterate (tolvarhost::RunLoop::Clock::now () + std::chrono::milliseconds (ms));
	}

	tolvarhost::Ref<tolvarhost::RunLoop> loop {new tolvarhost::RunLoop};
};

// The bundle's own description.
#ifdef TOLVAR_RESOURCE_DIR
inline std::string bundleDescription () { return TOLVAR_RESOURCE_DIR "/plug.uidesc"; }
#endif

// A new editor of controller, opened offscreen on frame's run loop; null when it does
// not open.
inline IPtr<VSTGUI::VST3Editor> openEditor (EditController* controller, IPlugFrame* frame,
                                            const std::string& description)
{
	auto editor = Steinberg::owned (new VSTGUI::VST3Editor (controller, "view", description.c_str ()));
	editor->setFrame (frame);
	if (editor->attached (nullptr, VSTGUI::VST3Editor::kPlatformTypeOffscreen) != kResultOk)
		return {};
	return editor;
}

// The first view in the editor's frame of class V with the given tag.
template <class V>
V* findView (VSTGUI::VST3Editor* editor, VSTGUI::int32 tag)
{
	V* found = nullptr;
	if (auto* frame = editor ? editor->getFrame () : nullptr)
	{
		frame->forEachDescendant ([&] (VSTGUI::CView* view) {
			auto* v = dynamic_cast<V*> (view);
			if (!found && v && v->getTag () == tag)
				found = v;
		});
	}
	return found;
}

// The centre of a view in frame coordinates.
inline VSTGUI::CPoint centreOf (const VSTGUI::CView* view)
{
	VSTGUI::CPoint p = view->getViewSize ().getCenter ();
	return view->localToFrame (p);
}

// A left click on a view through the frame, as a window would report it.
inline void click (VSTGUI::CView* view, VSTGUI::int32 modifiers = 0)
{
	auto* frame = view->getFrame ();
	VSTGUI::CPoint p = centreOf (view);
	frame->platformOnMouseDown (p, VSTGUI::kLButton | modifiers);
	frame->platformOnMouseUp (p, 0);
}

} // namespace testsupport
