// A plug-in whose editor is a resizable Linux view and no more: its own X window in the
// host's, announced with _XEMBED_INFO, left for the host to map and size; its X connection
// on the host's run loop; a right click asks for a larger size, a middle click makes an X
// request fail. It reports its sizes on stderr, prefixed "testview:". Built with
// TESTVIEW_NO_EDITOR it has no editor.
#include "pluginterfaces/gui/iplugview.h"
#include "public.sdk/source/main/pluginfactory.h"
#include "public.sdk/source/vst/vstaudioeffect.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const FUID kProcessorCid (0x7E57B1E3, 0x00000001, 0x8000A11C, 0x0000E017);
const FUID kControllerCid (0x7E57B1E3, 0x00000002, 0x8000A11C, 0x0000E017);

// The window's colour (24-bit TrueColor pixel), the size asked for on a right click and the
// smallest size the view accepts.
constexpr unsigned long kColour = 0x2080C0;
constexpr int32 kWidth = 240, kHeight = 160;
constexpr int32 kGrownWidth = 300, kGrownHeight = 200;
constexpr int32 kMinWidth = 100, kMinHeight = 80;
constexpr Window kNoSuchWindow = 0x7FFFFFF;

class TestView : public IPlugView, public Linux::IEventHandler
{
public:
	virtual ~TestView ()
	{
		if (window)
			removed ();
		setFrame (nullptr);
	}

	DECLARE_FUNKNOWN_METHODS

	tresult PLUGIN_API isPlatformTypeSupported (FIDString type) override
	{
		return type && std::strcmp (type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultTrue
		                                                                       : kResultFalse;
	}

	tresult PLUGIN_API attached (void* parent, FIDString type) override
	{
		if (!parent || isPlatformTypeSupported (type) != kResultTrue)
			return kInvalidArgument;
		if (window || !frame)
			return kResultFalse;
		if (frame->queryInterface (Linux::IRunLoop::iid, reinterpret_cast<void**> (&runLoop)) !=
		        kResultOk ||
		    !runLoop)
			return kResultFalse;
		display = XOpenDisplay (nullptr);
		if (!display)
			return kResultFalse;
		// Unmapped and tiny: mapping and sizing are the embedder's. The info goes out with the
		// creation (no round trip between them), as an embedder may read it when it sees the window.
		const Atom info = XInternAtom (display, "_XEMBED_INFO", False);
		window = XCreateSimpleWindow (display, reinterpret_cast<Window> (parent), 0, 0, 8, 8, 0, 0,
		                              kColour);
		const long versionAndFlags[2] = {0, 0};
		XChangeProperty (display, window, info, info, 32, PropModeReplace,
		                 reinterpret_cast<const unsigned char*> (versionAndFlags), 2);
		XSelectInput (display, window, ButtonPressMask);
		XFlush (display);
		runLoop->registerEventHandler (this, ConnectionNumber (display));
		return kResultOk;
	}

	tresult PLUGIN_API removed () override
	{
		if (!window)
			return kResultFalse;
		runLoop->unregisterEventHandler (this);
		runLoop->release ();
		runLoop = nullptr;
		XDestroyWindow (display, window);
		XCloseDisplay (display);
		window = 0;
		display = nullptr;
		return kResultOk;
	}

	void PLUGIN_API onFDIsSet (Linux::FileDescriptor) override { dispatchEvents (); }

	tresult PLUGIN_API onWheel (float) override { return kResultFalse; }
	tresult PLUGIN_API onKeyDown (char16, int16, int16) override { return kResultFalse; }
	tresult PLUGIN_API onKeyUp (char16, int16, int16) override { return kResultFalse; }
	tresult PLUGIN_API getSize (ViewRect* r) override
	{
		if (!r)
			return kInvalidArgument;
		*r = size;
		return kResultOk;
	}
	tresult PLUGIN_API onSize (ViewRect* r) override
	{
		if (!r)
			return kInvalidArgument;
		size = *r;
		if (window)
			XResizeWindow (display, window, static_cast<unsigned> (size.getWidth ()),
			               static_cast<unsigned> (size.getHeight ()));
		std::fprintf (stderr, "testview: size %dx%d\n", size.getWidth (), size.getHeight ());
		return kResultTrue;
	}
	tresult PLUGIN_API onFocus (TBool) override { return kResultOk; }
	tresult PLUGIN_API setFrame (IPlugFrame* f) override
	{
		if (f)
			f->addRef ();
		if (frame)
			frame->release ();
		frame = f;
		return kResultOk;
	}
	tresult PLUGIN_API canResize () override { return kResultTrue; }
	tresult PLUGIN_API checkSizeConstraint (ViewRect* r) override
	{
		if (!r)
			return kInvalidArgument;
		if (r->getWidth () < kMinWidth)
			r->right = r->left + kMinWidth;
		if (r->getHeight () < kMinHeight)
			r->bottom = r->top + kMinHeight;
		return kResultTrue;
	}

private:
	void dispatchEvents ()
	{
		while (display && XPending (display) > 0)
		{
			XEvent ev;
			XNextEvent (display, &ev);
			if (ev.type == ButtonPress && ev.xbutton.button == Button2)
			{
				// A request that fails: the process-wide X error handler decides what follows.
				XDestroyWindow (display, kNoSuchWindow);
				XSync (display, False);
			}
			else if (ev.type == ButtonPress && ev.xbutton.button == Button3 && frame)
			{
				ViewRect grown (0, 0, kGrownWidth, kGrownHeight);
				frame->resizeView (this, &grown);
			}
		}
	}

	IPlugFrame* frame = nullptr;
	Linux::IRunLoop* runLoop = nullptr;
	Display* display = nullptr;
	Window window = 0;
	ViewRect size {0, 0, kWidth, kHeight};
};

IMPLEMENT_REFCOUNT (TestView)

tresult PLUGIN_API TestView::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IPlugView)
	QUERY_INTERFACE (iid, obj, IPlugView::iid, IPlugView)
	QUERY_INTERFACE (iid, obj, Linux::IEventHandler::iid, Linux::IEventHandler)
	*obj = nullptr;
	return kNoInterface;
}

class TestController : public EditController
{
public:
	static FUnknown* create (void*) { return static_cast<IEditController*> (new TestController); }

	IPlugView* PLUGIN_API createView (FIDString name) override
	{
#ifdef TESTVIEW_NO_EDITOR
		(void)name;
		return nullptr;
#else
		if (!name || std::strcmp (name, "editor") != 0)
			return nullptr;
		return new TestView;
#endif
	}
};

class TestProcessor : public AudioEffect
{
public:
	TestProcessor () { setControllerClass (kControllerCid); }
	static FUnknown* create (void*) { return static_cast<IAudioProcessor*> (new TestProcessor); }
};

} // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory ()
{
	if (gPluginFactory)
	{
		gPluginFactory->addRef ();
		return gPluginFactory;
	}
	static const PFactoryInfo factoryInfo ("tolvar tests", "", "", PFactoryInfo::kUnicode);
	gPluginFactory = new CPluginFactory (factoryInfo);
	static const PClassInfo2 processorInfo (kProcessorCid, PClassInfo::kManyInstances,
	                                        kVstAudioEffectClass, "Test View", kDistributable, "Fx",
	                                        nullptr, "1.0.0", "VST 3.7.3");
	static const PClassInfo2 controllerInfo (kControllerCid, PClassInfo::kManyInstances,
	                                         kVstComponentControllerClass, "Test View Controller", 0,
	                                         "", nullptr, "1.0.0", "VST 3.7.3");
	gPluginFactory->registerClass (&processorInfo, TestProcessor::create);
	gPluginFactory->registerClass (&controllerInfo, TestController::create);
	return gPluginFactory;
}
