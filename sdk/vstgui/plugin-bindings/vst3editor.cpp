// The editor as a VST 3 plug-in view.
//
// Platform seam: platformTypeOf() maps the host's platform type strings to the frame's
// PlatformType, and attached() opens the frame through createPlatformFrame (lib/platform).
// "X11EmbedWindowID" gives a child window in the host's X11 window; our own offscreen
// type opens without a window (tests, pictures). Every type runs its timers, and the
// X11 window its connection, on the run loop the host answers through the IPlugFrame
// given to setFrame; without one, attached() refuses. removed() closes the frame,
// getSize/onSize/canResize/checkSizeConstraint follow the template's fixed size.
#include "vst3editor.h"
#include "vst3changesignal.h"
#include "../lib/controls/ccontrol.h"
#include "../uidescription/uiviewcreator.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <dlfcn.h>

namespace VSTGUI {

using namespace Steinberg;

namespace {

bool platformTypeOf (FIDString type, PlatformType& result)
{
	if (type && std::strcmp (type, kPlatformTypeX11EmbedWindowID) == 0)
	{
		result = PlatformType::kX11EmbedWindowID;
		return true;
	}
	if (type && std::strcmp (type, VST3Editor::kPlatformTypeOffscreen) == 0)
	{
		result = PlatformType::kOffscreen;
		return true;
	}
	return false;
}

// <bundle>/Contents/Resources, found from the path of the shared object that holds this
// function: <bundle>/Contents/<architecture>/<name>.so.
std::string moduleResourceFolder ()
{
	Dl_info info {};
	if (!dladdr (reinterpret_cast<void*> (&moduleResourceFolder), &info) || !info.dli_fname)
		return {};
	std::string path = info.dli_fname;
	for (int up = 0; up < 2; ++up)
	{
		const auto slash = path.rfind ('/');
		if (slash == std::string::npos)
			return {};
		path.resize (slash);
	}
	return path + "/Resources";
}

std::string descriptionPath (UTF8StringPtr xmlFile)
{
	if (!xmlFile || !*xmlFile)
		return {};
	if (xmlFile[0] == '/')
		return xmlFile;
	const std::string folder = moduleResourceFolder ();
	return folder.empty () ? std::string () : folder + "/" + xmlFile;
}

} // namespace

//------------------------------------------------------------------------
VST3Editor::VST3Editor (Vst::EditController* controller, UTF8StringPtr templateName,
                        UTF8StringPtr xmlFile)
: controller (controller)
, delegate (dynamic_cast<VST3EditorDelegate*> (controller))
, templateName (templateName ? templateName : "")
{
	try
	{
		const std::string path = descriptionPath (xmlFile);
		if (path.empty ())
			return;
		auto loaded = std::make_unique<UIDescription> (path);
		CPoint size;
		if (loaded->parse () && loaded->getTemplateSize (this->templateName.c_str (), size))
		{
			description = std::move (loaded);
			templateSize = size;
		}
	}
	catch (const std::exception&)
	{
		// No memory to load the description: no editor, as for an unreadable one.
	}
}

VST3Editor::~VST3Editor ()
{
	if (frame && delegate)
		delegate->willClose (this);
	close ();
}

//------------------------------------------------------------------------
// Hosts are offered the X11 window only; the offscreen type stays a private door for
// tests and pictures through attached().
tresult PLUGIN_API VST3Editor::isPlatformTypeSupported (FIDString type)
{
	PlatformType platformType;
	return platformTypeOf (type, platformType) && platformType == PlatformType::kX11EmbedWindowID
	           ? kResultTrue
	           : kResultFalse;
}

tresult PLUGIN_API VST3Editor::attached (void* parent, FIDString type)
{
	PlatformType platformType;
	if (!platformTypeOf (type, platformType))
		return kInvalidArgument;
	// A window type needs the window to embed into.
	if (platformType != PlatformType::kOffscreen && !parent)
		return kInvalidArgument;
	if (frame || !isDescriptionLoaded ())
		return kResultFalse;
	auto hostRunLoop = VST3HostRunLoop::fromPlugFrame (plugFrame);
	if (!hostRunLoop)
		return kResultFalse;
	IPlatformFrameConfig config;
	config.runLoop = hostRunLoop.get ();
	runLoop = hostRunLoop.get ();
	return open (parent, platformType, config) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API VST3Editor::removed ()
{
	if (!frame)
		return kResultFalse;
	if (delegate)
		delegate->willClose (this);
	close ();
	return kResultOk;
}

bool VST3Editor::open (void* parent, PlatformType type, IPlatformFrameConfig& config)
{
	changeSignal = std::make_unique<ChangeSignal> ([this] { applyParameterChanges (); });
	frame = makeOwned<CFrame> (CRect (CPoint (), templateSize));
	CView* view = description->createView (templateName.c_str (), this);
	if (view && !frame->addView (view))
	{
		view->forget ();
		view = nullptr;
	}
	if (!view || !frame->open (parent, type, &config))
	{
		close ();
		return false;
	}
	changeSignal->start (frame->getRunLoop (), kUpdatePeriodMs);
	if (delegate)
		delegate->didOpen (this);
	return true;
}

void VST3Editor::close ()
{
	if (changeSignal)
		changeSignal->stop ();
	if (frame)
	{
		// The views go while the editor is whole: open edits end through it, and
		// sub-controllers are deleted with their views.
		frame->close ();
		frame->removeAll ();
	}
	// After unbind no binding is told of a change any more, so the signal can go.
	for (auto& entry : bindings)
		entry.second->unbind (this);
	bindings.clear ();
	changeSignal = nullptr;
	frame = nullptr;
	if (auto* hostRunLoop = dynamic_cast<VST3HostRunLoop*> (runLoop.get ()))
		hostRunLoop->detach ();
	runLoop = nullptr;
}

void VST3Editor::applyParameterChanges ()
{
	for (auto& entry : bindings)
		entry.second->applyPendingChange ();
}

//------------------------------------------------------------------------
tresult PLUGIN_API VST3Editor::onWheel (float) { return kResultFalse; }

bool VST3Editor::dispatchKey (bool down, char16 key, int16 keyCode, int16 modifiers)
{
	if (!frame)
		return false;
	VstKeyCode code;
	code.character = key;
	// The host's virtual key codes and modifier bits match the library's.
	if (keyCode >= VKEY_BACK && keyCode <= VKEY_HELP)
		code.virt = static_cast<uint8> (keyCode);
	code.modifier = static_cast<uint8> (modifiers & (MODIFIER_SHIFT | MODIFIER_ALTERNATE |
	                                                 MODIFIER_COMMAND | MODIFIER_CONTROL));
	return down ? frame->platformOnKeyDown (code) : frame->platformOnKeyUp (code);
}

tresult PLUGIN_API VST3Editor::onKeyDown (char16 key, int16 keyCode, int16 modifiers)
{
	return dispatchKey (true, key, keyCode, modifiers) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VST3Editor::onKeyUp (char16 key, int16 keyCode, int16 modifiers)
{
	return dispatchKey (false, key, keyCode, modifiers) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VST3Editor::getSize (ViewRect* size)
{
	if (!size)
		return kInvalidArgument;
	if (!isDescriptionLoaded ())
		return kResultFalse;
	*size = ViewRect (0, 0, width (), height ());
	return kResultTrue;
}

// The editor keeps its size: any other is refused. The rectangle's extent is taken in 64
// bits, since a host may pass any corners.
tresult PLUGIN_API VST3Editor::onSize (ViewRect* newSize)
{
	if (!newSize)
		return kInvalidArgument;
	const bool same = isDescriptionLoaded () && int64 {newSize->right} - newSize->left == width () &&
	                  int64 {newSize->bottom} - newSize->top == height ();
	return same ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VST3Editor::onFocus (TBool state)
{
	if (frame)
		frame->platformOnActivate (state != 0);
	return kResultTrue;
}

tresult PLUGIN_API VST3Editor::setFrame (IPlugFrame* newFrame)
{
	plugFrame = newFrame;
	return kResultTrue;
}

tresult PLUGIN_API VST3Editor::canResize () { return kResultFalse; }

// Corrected to the editor's size at the same corner, moved back when the far edge would
// lie beyond the coordinate range.
tresult PLUGIN_API VST3Editor::checkSizeConstraint (ViewRect* rect)
{
	if (!rect)
		return kInvalidArgument;
	if (!isDescriptionLoaded ())
		return kResultFalse;
	constexpr int32 kLast = std::numeric_limits<int32>::max ();
	rect->left = std::min (rect->left, kLast - width ());
	rect->top = std::min (rect->top, kLast - height ());
	rect->right = rect->left + width ();
	rect->bottom = rect->top + height ();
	return kResultTrue;
}

//------------------------------------------------------------------------
Vst::Parameter* VST3Editor::parameterOf (CControl* control) const
{
	auto it = bindings.find (static_cast<Vst::ParamID> (control->getTag ()));
	return it == bindings.end () ? nullptr : it->second->getParameter ();
}

void VST3Editor::valueChanged (CControl* control)
{
	Vst::Parameter* parameter = parameterOf (control);
	if (!parameter)
		return;
	const Vst::ParamID id = parameter->getInfo ().id;
	double value = control->getValueNormalized ();
	if (const int32 steps = parameter->getInfo ().stepCount; steps > 0)
		value = std::round (value * steps) / steps;
	controller->setParamNormalized (id, value);
	controller->performEdit (id, controller->getParamNormalized (id));
}

void VST3Editor::controlBeginEdit (CControl* control)
{
	if (Vst::Parameter* parameter = parameterOf (control))
		controller->beginEdit (parameter->getInfo ().id);
}

void VST3Editor::controlEndEdit (CControl* control)
{
	if (Vst::Parameter* parameter = parameterOf (control))
		controller->endEdit (parameter->getInfo ().id);
}

CView* VST3Editor::createView (const UIAttributes& attributes, const IUIDescription* desc)
{
	const auto* name = attributes.getAttributeValue (UIViewCreator::kAttrCustomViewName);
	return delegate && name ? delegate->createCustomView (name->c_str (), attributes, desc, this)
	                        : nullptr;
}

CView* VST3Editor::verifyView (CView* view, const UIAttributes& attributes,
                               const IUIDescription* desc)
{
	if (delegate)
		view = delegate->verifyView (view, attributes, desc, this);
	auto* control = dynamic_cast<CControl*> (view);
	if (!control || !attributes.hasAttribute (UIViewCreator::kAttrControlTag))
		return view;
	// A control tag that names no parameter leaves the control out.
	const int32 tag = control->getTag ();
	Vst::Parameter* parameter =
	    tag >= 0 ? controller->getParameterObject (static_cast<Vst::ParamID> (tag)) : nullptr;
	if (!parameter)
		return nullptr;
	auto& binding = bindings[parameter->getInfo ().id];
	if (!binding)
		binding = Steinberg::owned (new ParameterBinding (parameter, changeSignal.get ()));
	binding->addControl (control);
	return view;
}

IController* VST3Editor::getSubController (UTF8StringPtr name, const IUIDescription* desc)
{
	return delegate ? delegate->createSubController (name, desc, this) : nullptr;
}

} // namespace VSTGUI
