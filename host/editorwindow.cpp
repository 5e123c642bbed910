#include "editorwindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tolvarhost {

namespace {

// XEmbed messages, the protocol version spoken here and the _XEMBED_INFO flag of a client
// that asks to be mapped.
constexpr long kXEmbedEmbeddedNotify = 0;
constexpr long kXEmbedWindowActivate = 1;
constexpr long kXEmbedFocusIn = 4;
constexpr long kXEmbedFocusCurrent = 0;
constexpr long kXEmbedVersion = 0;
constexpr long kXEmbedMapped = 1;

// The X keysyms of the VST 3 virtual keys, by key code (NoSymbol: no key of ours).
constexpr KeySym kVirtualKeys[] = {NoSymbol,  XK_BackSpace, XK_Tab,   XK_Clear,   XK_Return,    XK_Pause,
                                   XK_Escape, XK_space,     NoSymbol, XK_End,     XK_Home,      XK_Left,
                                   XK_Up,     XK_Right,     XK_Down,  XK_Page_Up, XK_Page_Down, XK_Select,
                                   XK_Print,  XK_KP_Enter,  NoSymbol, XK_Insert,  XK_Delete,    XK_Help};
// VST 3 key modifiers: Shift, Alt, and Ctrl as the command key it is off macOS.
constexpr int16 kShiftKey = 1 << 0, kAlternateKey = 1 << 1, kCommandKey = 1 << 2;

// Larger sides are refused: X coordinates are 16-bit.
constexpr int kLargestSide = 16384;

constexpr unsigned long kBackground = 0x202020;

// Xlib's handler is process-wide and serves the plug-in's connection too: report, never exit.
int reportXError (Display* display, XErrorEvent* e)
{
	char text[128] = {};
	XGetErrorText (display, e->error_code, text, sizeof (text));
	std::fprintf (stderr, "tolvar-host: X error: %s (request %d.%d, resource 0x%lx)\n", text,
	              e->request_code, e->minor_code, e->resourceid);
	return 0;
}

bool usableSize (int width, int height)
{
	return width > 0 && height > 0 && width <= kLargestSide && height <= kLargestSide;
}

// A key event as VST 3 passes it to a view.
struct ViewKey
{
	char16 key = 0;
	int16 keyCode = 0;
	int16 modifiers = 0;
	std::string name;
};

ViewKey viewKeyOf (XKeyEvent& e)
{
	ViewKey k;
	char text[8] = {};
	KeySym sym = NoSymbol;
	const int length = XLookupString (&e, text, sizeof (text), &sym, nullptr);
	const auto c = static_cast<unsigned char> (text[0]);
	if (length == 1 && c >= 0x20 && c != 0x7f)
		k.key = c;
	const auto named = std::find (std::begin (kVirtualKeys) + 1, std::end (kVirtualKeys), sym);
	if (sym != NoSymbol && named != std::end (kVirtualKeys))
		k.keyCode = static_cast<int16> (named - std::begin (kVirtualKeys));
	if (e.state & ShiftMask)
		k.modifiers |= kShiftKey;
	if (e.state & Mod1Mask)
		k.modifiers |= kAlternateKey;
	if (e.state & ControlMask)
		k.modifiers |= kCommandKey;
	const char* name = sym != NoSymbol ? XKeysymToString (sym) : nullptr;
	k.name = name ? name : std::to_string (e.keycode);
	return k;
}

} // namespace

bool parseEmbedding (const std::string& name, Embedding& result)
{
	const std::pair<const char*, Embedding> names[] = {{"xembed-strict", Embedding::xembedStrict},
	                                                   {"sdk-sample", Embedding::sdkSample},
	                                                   {"plain", Embedding::plain}};
	for (const auto& n : names)
	{
		if (name == n.first)
		{
			result = n.second;
			return true;
		}
	}
	return false;
}

//------------------------------------------------------------------------
// The frame answers IRunLoop with the window's run loop (the object counts references,
// so a view may keep it as long as it likes).
class HostFrame : public HostObject<IPlugFrame>
{
public:
	HostFrame (EditorWindow::Impl* w, RunLoop* loop) : window (w), runLoop (loop)
	{
		runLoop->addRef ();
	}
	~HostFrame () override { runLoop->release (); }

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (obj && isIid<Linux::IRunLoop> (iid))
		{
			runLoop->addRef ();
			*obj = static_cast<Linux::IRunLoop*> (runLoop);
			return kResultOk;
		}
		return HostObject<IPlugFrame>::queryInterface (iid, obj);
	}

	tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) override;

	void detach () { window = nullptr; }

private:
	EditorWindow::Impl* window;
	RunLoop* runLoop;
};

//------------------------------------------------------------------------
struct EditorWindow::Impl
{
	Display* display = nullptr;
	XErrorHandler previousHandler = nullptr;
	Window window = 0;
	// The window the view is attached to: the top-level, or an embedding window in it.
	Window parent = 0;
	Window child = 0;
	Embedding embedding = Embedding::xembedStrict;
	bool childShown = false;
	IPlugView* view = nullptr;
	bool resizable = false;
	int width = 0;
	int height = 0;
	bool closed = false;
	std::string failure;
	std::function<void (const std::string&)> unusedKey;
	Ref<RunLoop> loop {new RunLoop};
	Ref<HostFrame> frame;
	Atom wmProtocols = 0, wmDeleteWindow = 0, xembed = 0, xembedInfo = 0;

	void processEvents ();
	void handle (XEvent& ev);
	void onKey (XKeyEvent& e, bool down);
	void embed (Window w);
	void followClientInfo ();
	bool clientXEmbedInfo (Window w, long& version, long& flags);
	void sendXEmbed (long message, long detail, long data1, long data2);
	void setSizeHints ();
	void setTitle (const std::string& title);
	void resizeTo (int w, int h);
	void configured (int w, int h);
	tresult resizeView (IPlugView* v, ViewRect* newSize);
};

tresult PLUGIN_API HostFrame::resizeView (IPlugView* view, ViewRect* newSize)
{
	return window ? window->resizeView (view, newSize) : kResultFalse;
}

void EditorWindow::Impl::processEvents ()
{
	// XPending also sends what is still buffered.
	while (display && XPending (display) > 0)
	{
		XEvent ev;
		XNextEvent (display, &ev);
		handle (ev);
	}
}

void EditorWindow::Impl::handle (XEvent& ev)
{
	switch (ev.type)
	{
		case ClientMessage:
			if (ev.xclient.window == window && ev.xclient.message_type == wmProtocols &&
			    static_cast<Atom> (ev.xclient.data.l[0]) == wmDeleteWindow)
				closed = true;
			break;
		case MapNotify:
			// The keyboard is the host's, as the focused top-level of an application; no
			// window manager may be there to give it.
			if (ev.xmap.window == window)
				XSetInputFocus (display, window, RevertToParent, CurrentTime);
			break;
		case KeyPress:
		case KeyRelease:
			onKey (ev.xkey, ev.type == KeyPress);
			break;
		case CreateNotify:
			if (ev.xcreatewindow.parent == parent)
				embed (ev.xcreatewindow.window);
			break;
		case ReparentNotify:
			if (ev.xreparent.parent == parent && ev.xreparent.window != parent)
				embed (ev.xreparent.window);
			break;
		case PropertyNotify:
			if (ev.xproperty.window == child && ev.xproperty.atom == xembedInfo)
				followClientInfo ();
			break;
		case DestroyNotify:
			if (ev.xdestroywindow.window == child)
			{
				child = 0;
				if (embedding == Embedding::xembedStrict && childShown)
					XUnmapWindow (display, parent);
				childShown = false;
			}
			if (ev.xdestroywindow.window == window)
			{
				window = 0;
				closed = true;
			}
			break;
		case ConfigureNotify:
			if (ev.xconfigure.window == window)
			{
				// Only the latest size counts.
				while (XCheckTypedWindowEvent (display, window, ConfigureNotify, &ev))
					;
				configured (ev.xconfigure.width, ev.xconfigure.height);
			}
			break;
		default:
			break;
	}
}

// Keys the view does not use are the host's.
void EditorWindow::Impl::onKey (XKeyEvent& e, bool down)
{
	if (!view)
		return;
	// A modifier on its own is no key to a view: it comes as the state of the next one.
	if (IsModifierKey (XLookupKeysym (&e, 0)))
		return;
	const ViewKey k = viewKeyOf (e);
	const tresult used = down ? view->onKeyDown (k.key, k.keyCode, k.modifiers)
	                          : view->onKeyUp (k.key, k.keyCode, k.modifiers);
	if (down && used != kResultTrue && unusedKey)
		unusedKey (k.name);
}

// False when the client has no usable _XEMBED_INFO.
bool EditorWindow::Impl::clientXEmbedInfo (Window w, long& version, long& flags)
{
	Atom type = 0;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	const bool found = XGetWindowProperty (display, w, xembedInfo, 0, 2, False, AnyPropertyType, &type,
	                                       &format, &count, &after, &data) == Success &&
	                   data && format == 32 && count == 2;
	if (found)
	{
		version = reinterpret_cast<long*> (data)[0];
		flags = reinterpret_cast<long*> (data)[1];
	}
	if (data)
		XFree (data);
	return found;
}

void EditorWindow::Impl::sendXEmbed (long message, long detail, long data1, long data2)
{
	XEvent ev {};
	ev.xclient.type = ClientMessage;
	ev.xclient.window = child;
	ev.xclient.message_type = xembed;
	ev.xclient.format = 32;
	ev.xclient.data.l[0] = CurrentTime;
	ev.xclient.data.l[1] = message;
	ev.xclient.data.l[2] = detail;
	ev.xclient.data.l[3] = data1;
	ev.xclient.data.l[4] = data2;
	XSendEvent (display, child, False, NoEventMask, &ev);
}

// The latest window made in the parent is the client (the one before it is on its way
// out): sized to the window, and mapped as the embedding asks.
void EditorWindow::Impl::embed (Window w)
{
	if (!failure.empty ())
		return;
	child = w;
	childShown = false;
	XMoveResizeWindow (display, child, 0, 0, static_cast<unsigned> (width), static_cast<unsigned> (height));
	long version = kXEmbedVersion, flags = 0;
	switch (embedding)
	{
		case Embedding::plain:
			XMapWindow (display, child);
			break;
		case Embedding::sdkSample:
			if (!clientXEmbedInfo (w, version, flags))
				failure = "the editor's window has no _XEMBED_INFO when it is created";
			else if (flags & kXEmbedMapped)
				failure = "the editor's window asks to be mapped (XEMBED_MAPPED) before it is embedded";
			if (!failure.empty ())
				break;
			sendXEmbed (kXEmbedEmbeddedNotify, 0, static_cast<long> (parent),
			            std::min (version, kXEmbedVersion));
			XMapWindow (display, child);
			sendXEmbed (kXEmbedWindowActivate, 0, 0, 0);
			sendXEmbed (kXEmbedFocusIn, kXEmbedFocusCurrent, 0, 0);
			break;
		case Embedding::xembedStrict:
			// Selected before the first look, so that no change of the info goes unseen.
			XSelectInput (display, child, PropertyChangeMask);
			clientXEmbedInfo (w, version, flags);
			sendXEmbed (kXEmbedEmbeddedNotify, 0, static_cast<long> (parent),
			            std::min (version, kXEmbedVersion));
			followClientInfo ();
			break;
	}
	XFlush (display);
}

// Shown while the client asks to be mapped, or has no XEmbed info at all.
void EditorWindow::Impl::followClientInfo ()
{
	if (embedding != Embedding::xembedStrict || !child)
		return;
	long version = 0, flags = 0;
	const bool shown = !clientXEmbedInfo (child, version, flags) || (flags & kXEmbedMapped);
	if (shown == childShown)
		return;
	childShown = shown;
	if (shown)
	{
		XMapWindow (display, child);
		XMapWindow (display, parent);
	}
	else
		XUnmapWindow (display, parent);
	XFlush (display);
}

void EditorWindow::Impl::setSizeHints ()
{
	XSizeHints* hints = XAllocSizeHints ();
	if (!hints)
		return;
	hints->flags = PSize;
	hints->width = width;
	hints->height = height;
	if (!resizable)
	{
		hints->flags |= PMinSize | PMaxSize;
		hints->min_width = hints->max_width = width;
		hints->min_height = hints->max_height = height;
	}
	XSetWMNormalHints (display, window, hints);
	XFree (hints);
}

void EditorWindow::Impl::setTitle (const std::string& title)
{
	XStoreName (display, window, title.c_str ());
	const Atom netWmName = XInternAtom (display, "_NET_WM_NAME", False);
	const Atom utf8 = XInternAtom (display, "UTF8_STRING", False);
	XChangeProperty (display, window, netWmName, utf8, 8, PropModeReplace,
	                 reinterpret_cast<const unsigned char*> (title.data ()),
	                 static_cast<int> (title.size ()));
	XClassHint* cls = XAllocClassHint ();
	if (cls)
	{
		char name[] = "tolvar-host";
		cls->res_name = name;
		cls->res_class = name;
		XSetClassHint (display, window, cls);
		XFree (cls);
	}
}

// The window and the embedded view window follow together.
void EditorWindow::Impl::resizeTo (int w, int h)
{
	width = w;
	height = h;
	setSizeHints ();
	XResizeWindow (display, window, static_cast<unsigned> (w), static_cast<unsigned> (h));
	if (parent != window)
		XResizeWindow (display, parent, static_cast<unsigned> (w), static_cast<unsigned> (h));
	if (child)
		XResizeWindow (display, child, static_cast<unsigned> (w), static_cast<unsigned> (h));
	XFlush (display);
}

// The window was given a new size from outside (a window manager, a script).
void EditorWindow::Impl::configured (int w, int h)
{
	if (w == width && h == height)
		return;
	width = w;
	height = h;
	if (!view || !resizable)
		return;
	ViewRect rect (0, 0, w, h);
	view->checkSizeConstraint (&rect);
	if (!usableSize (rect.getWidth (), rect.getHeight ()))
		rect = ViewRect (0, 0, w, h);
	resizeTo (rect.getWidth (), rect.getHeight ());
	ViewRect current;
	if (view->getSize (&current) != kResultOk || current.getWidth () != rect.getWidth () ||
	    current.getHeight () != rect.getHeight ())
		view->onSize (&rect);
}

tresult EditorWindow::Impl::resizeView (IPlugView* v, ViewRect* newSize)
{
	if (!v || v != view || !newSize)
		return kInvalidArgument;
	const int w = newSize->getWidth ();
	const int h = newSize->getHeight ();
	if (!usableSize (w, h))
		return kInvalidArgument;
	if (w != width || h != height)
		resizeTo (w, h);
	ViewRect current;
	if (view->getSize (&current) != kResultOk || current.getWidth () != w ||
	    current.getHeight () != h)
		view->onSize (newSize);
	return kResultTrue;
}

//------------------------------------------------------------------------
EditorWindow::EditorWindow () : impl (new Impl) {}

EditorWindow::~EditorWindow ()
{
	releaseView ();
	impl->loop->clear ();
	if (impl->window)
		XDestroyWindow (impl->display, impl->window);
	XCloseDisplay (impl->display);
	XSetErrorHandler (impl->previousHandler);
}

std::unique_ptr<EditorWindow> EditorWindow::open (std::string& error)
{
	const char* name = std::getenv ("DISPLAY");
	if (!name || !*name)
	{
		error = "no X display to open the editor on (DISPLAY is not set)";
		return nullptr;
	}
	Display* display = XOpenDisplay (name);
	if (!display)
	{
		error = std::string ("cannot open the X display '") + name + "'";
		return nullptr;
	}
	std::unique_ptr<EditorWindow> w (new EditorWindow);
	w->impl->display = display;
	w->impl->previousHandler = XSetErrorHandler (reportXError);
	w->impl->frame.reset (new HostFrame (w->impl.get (), w->impl->loop.get ()));
	w->impl->loop->watchHostFd (ConnectionNumber (display), [impl = w->impl.get ()] {
		impl->processEvents ();
	});
	return w;
}

bool EditorWindow::create (IPlugView* view, const std::string& title, int width, int height, bool resizable,
                           Embedding embedding, std::string& error)
{
	Impl& d = *impl;
	if (!usableSize (width, height))
	{
		error = "the editor reports an unusable size (" + std::to_string (width) + " x " +
		        std::to_string (height) + ")";
		return false;
	}
	d.view = view;
	d.embedding = embedding;
	d.resizable = resizable;
	d.width = width;
	d.height = height;
	const int screen = DefaultScreen (d.display);
	d.window = XCreateSimpleWindow (d.display, RootWindow (d.display, screen), 0, 0,
	                                static_cast<unsigned> (width), static_cast<unsigned> (height), 0,
	                                0, kBackground);
	d.wmProtocols = XInternAtom (d.display, "WM_PROTOCOLS", False);
	d.wmDeleteWindow = XInternAtom (d.display, "WM_DELETE_WINDOW", False);
	d.xembed = XInternAtom (d.display, "_XEMBED", False);
	d.xembedInfo = XInternAtom (d.display, "_XEMBED_INFO", False);
	XSetWMProtocols (d.display, d.window, &d.wmDeleteWindow, 1);
	// Keys: those the window gets with the focus, and those a client passes on.
	const long keys = KeyPressMask | KeyReleaseMask;
	d.parent = d.window;
	if (embedding == Embedding::xembedStrict)
	{
		d.parent = XCreateSimpleWindow (d.display, d.window, 0, 0, static_cast<unsigned> (width),
		                                static_cast<unsigned> (height), 0, 0, kBackground);
		XSelectInput (d.display, d.parent, SubstructureNotifyMask | keys);
		XSelectInput (d.display, d.window, StructureNotifyMask | keys);
	}
	else
		XSelectInput (d.display, d.window, StructureNotifyMask | SubstructureNotifyMask | keys);
	d.setTitle (title);
	d.setSizeHints ();
	XMapWindow (d.display, d.window);
	// The view creates its window through a connection of its own: ours must exist by then.
	XSync (d.display, False);
	return true;
}

unsigned long EditorWindow::windowId () const { return impl->window; }

unsigned long EditorWindow::parentId () const { return impl->parent; }

void EditorWindow::onUnusedKey (std::function<void (const std::string&)> observer)
{
	impl->unusedKey = std::move (observer);
}

const std::string& EditorWindow::failure () const { return impl->failure; }

IPlugFrame* EditorWindow::frame () const { return impl->frame.get (); }

RunLoop& EditorWindow::runLoop () const { return *impl->loop.get (); }

void EditorWindow::run (RunLoop::Clock::time_point until, const std::function<bool ()>& stop)
{
	for (;;)
	{
		impl->processEvents ();
		if (impl->closed || !impl->failure.empty () || RunLoop::Clock::now () >= until || (stop && stop ()))
			return;
		impl->loop->iterate (until);
	}
}

void EditorWindow::releaseView ()
{
	impl->view = nullptr;
	if (impl->frame)
		impl->frame->detach ();
}

} // namespace tolvarhost
