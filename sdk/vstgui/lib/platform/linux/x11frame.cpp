// The frames of a thread share one xcb connection (x11connection.h): protocol errors come
// back as events of that connection (and are dropped), never through Xlib's process-wide
// error handler.
//
// Drawing goes into a back buffer (a pixmap of the window's size, drawn by cairo) and is
// copied to the window, so an expose costs a copy and a redraw never flickers. Dirty
// areas are collected and drawn once the events waiting on the connection have been
// handled; an invalidation from outside event handling (a timer) sends the frame a
// message of its own, so that the host's run loop wakes it to draw.
//
// The window is an XEmbed client: created with _XEMBED_INFO flags 0, it asks to be mapped
// (XEMBED_MAPPED) once the embedder says it took it, or a moment after its creation, and
// maps itself for embedders that speak no XEmbed. It never takes the keyboard focus; a key
// from the keyboard that the editor leaves goes on to the embedder.
#include "x11frame.h"
#include "x11connection.h"
#include "x11input.h"
#include "../../cdrawcontext.h"

#include <cairo-xcb.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace VSTGUI {

namespace {

using namespace X11;

// The XEmbed version spoken here, the _XEMBED_INFO flag that asks the embedder to map the
// window, and the messages read: the embedder took the window, the window gained or lost
// the keyboard focus.
constexpr uint32_t kXEmbedVersion = 0;
constexpr uint32_t kXEmbedMapped = 1;
constexpr uint32_t kXEmbedEmbeddedNotify = 0;
constexpr uint32_t kXEmbedFocusIn = 4;
constexpr uint32_t kXEmbedFocusOut = 5;

// An embedder that does not say it took the window is asked to map it after this long. Not
// at once: an embedder that reads _XEMBED_INFO when it sees the window created refuses a
// window that already asks to be mapped.
constexpr uint32 kUnannouncedMapDelayMs = 200;

// The flag of a key event an X client sent rather than the keyboard.
constexpr uint8_t kSentEvent = 0x80;

// X window sides are 16-bit.
constexpr CCoord kLargestSide = 16384.;

// More dirty areas than this are drawn as the one area around them.
constexpr size_t kMostDirtyRects = 16;

constexpr uint32_t kEventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                                XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

// rect in whole pixels, inside bounds.
CRect pixelRect (const CRect& rect, const CRect& bounds)
{
	CRect r (rect);
	r.normalize ();
	r = CRect (std::floor (r.left), std::floor (r.top), std::ceil (r.right), std::ceil (r.bottom));
	return r.bound (bounds);
}

bool usableSize (CCoord width, CCoord height)
{
	return width >= 1. && height >= 1. && width <= kLargestSide && height <= kLargestSide;
}

//------------------------------------------------------------------------
class X11Frame : public IPlatformFrame, private X11::Client, private ITimerTarget
{
public:
	X11Frame (IPlatformFrameCallback* callback, IRunLoop* runLoop)
	: callback (callback)
	, runLoop (runLoop)
	{
	}
	~X11Frame () noexcept override { shutDown (); }

	bool open (uint32_t parent, const CRect& rect);

	// IPlatformFrame
	bool getSize (CRect& r) const override
	{
		r = size;
		return true;
	}
	bool setSize (const CRect& r) override;
	bool invalidRect (const CRect& rect) override;
	IRunLoop* getRunLoop () const override { return runLoop; }
	PlatformType getPlatformType () const override { return PlatformType::kX11EmbedWindowID; }
	void* getPlatformRepresentation () const override
	{
		return reinterpret_cast<void*> (static_cast<uintptr_t> (window));
	}
	void onFrameClosed () override
	{
		callback = nullptr;
		shutDown ();
	}

private:
	// X11::Client
	IReference* getReference () override { return this; }
	xcb_window_t getWindow () const override { return window; }
	void onEvent (const xcb_generic_event_t& event) override;
	void onDraw () override { draw (); }
	void onDispatched () override;
	void onConnectionLost () override
	{
		callback = nullptr;
		shutDown ();
	}
	// The embedder never said it took the window: the window asks to be mapped now.
	void onTimer () override { askToBeMapped (); }

	bool findVisual (xcb_window_t root, xcb_visualid_t id);
	bool createBackBuffer ();
	void addDirty (const CRect& rect);
	void postRedraw ();
	void draw ();
	void onButtonPress (const xcb_button_press_event_t& e);
	void onButtonRelease (const xcb_button_release_event_t& e);
	void onKey (const xcb_key_press_event_t& e, bool down);
	void forwardKey (const xcb_key_press_event_t& e, bool down);
	void onClientMessage (const xcb_client_message_event_t& e);
	void setXEmbedInfo (uint32_t flags);
	void askToBeMapped ();
	void stopMapTimer ();
	void freeBackBuffer ();
	void shutDown ();

	IPlatformFrameCallback* callback;
	SharedPointer<IRunLoop> runLoop;
	SharedPointer<X11::Connection> shared;
	// The shared connection's, while the frame is open.
	xcb_connection_t* connection {nullptr};
	X11::Connection::Atoms atoms;
	xcb_window_t window {0};
	xcb_gcontext_t gc {0};
	xcb_pixmap_t backBuffer {0};
	cairo_surface_t* surface {nullptr};
	xcb_visualtype_t visual {};
	uint8_t depth {0};
	// Where keys the editor does not use go: the parent until an embedder names itself.
	xcb_window_t embedder {0};
	uint32_t xembedVersion {kXEmbedVersion};
	uint64 mapTimer {0};
	CRect size;
	std::vector<CRect> dirty;
	CRect exposed;
	bool redrawPosted {false};
	X11::ClickCounter clicks;
};

bool X11Frame::open (uint32_t parent, const CRect& rect)
{
	size = CRect (0., 0., std::round (rect.getWidth ()), std::round (rect.getHeight ()));
	if (!usableSize (size.getWidth (), size.getHeight ()))
		return false;
	shared = X11::Connection::open (true);
	if (!shared || !shared->add (this, runLoop))
	{
		// A host may front one loop with several run-loop objects and refuse the shared
		// descriptor a second time: this frame then has a connection of its own.
		shared = X11::Connection::open (false);
		if (!shared || !shared->add (this, runLoop))
		{
			shared = nullptr;
			return false;
		}
	}
	connection = shared->get ();
	atoms = shared->getAtoms ();

	const auto geometryCookie = xcb_get_geometry (connection, parent);
	const auto attributesCookie = xcb_get_window_attributes (connection, parent);
	auto* geometry = xcb_get_geometry_reply (connection, geometryCookie, nullptr);
	auto* attributes = xcb_get_window_attributes_reply (connection, attributesCookie, nullptr);
	const bool parentUsable = geometry && attributes && attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT &&
	                          findVisual (geometry->root, attributes->visual);
	if (geometry)
		depth = geometry->depth;
	std::free (geometry);
	std::free (attributes);
	if (!parentUsable)
		return false;
	embedder = parent;

	// No background: the server leaves exposed areas alone until the back buffer is copied.
	window = xcb_generate_id (connection);
	const auto created = xcb_create_window_checked (
	    connection, XCB_COPY_FROM_PARENT, window, parent, 0, 0, static_cast<uint16_t> (size.getWidth ()),
	    static_cast<uint16_t> (size.getHeight ()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
	    XCB_CW_EVENT_MASK, &kEventMask);
	// The XEmbed info goes out with the creation, so an embedder never sees the window without it.
	setXEmbedInfo (0);
	if (auto* error = xcb_request_check (connection, created))
	{
		std::free (error);
		window = 0;
		return false;
	}
	gc = xcb_generate_id (connection);
	const uint32_t noExposures = 0;
	xcb_create_gc (connection, gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
	if (!createBackBuffer ())
		return false;
	mapTimer = runLoop->registerTimer (kUnannouncedMapDelayMs, this);
	if (!mapTimer)
		setXEmbedInfo (kXEmbedMapped);
	// Embedders that follow XEmbed map the window when it asks; others leave it to the client.
	xcb_map_window (connection, window);
	addDirty (size);
	xcb_flush (connection);
	return true;
}

bool X11Frame::findVisual (xcb_window_t root, xcb_visualid_t id)
{
	for (auto screens = xcb_setup_roots_iterator (xcb_get_setup (connection)); screens.rem;
	     xcb_screen_next (&screens))
	{
		if (screens.data->root != root)
			continue;
		for (auto depths = xcb_screen_allowed_depths_iterator (screens.data); depths.rem;
		     xcb_depth_next (&depths))
		{
			for (auto visuals = xcb_depth_visuals_iterator (depths.data); visuals.rem;
			     xcb_visualtype_next (&visuals))
			{
				if (visuals.data->visual_id == id)
				{
					visual = *visuals.data;
					return true;
				}
			}
		}
	}
	return false;
}

bool X11Frame::createBackBuffer ()
{
	freeBackBuffer ();
	const auto width = static_cast<uint16_t> (size.getWidth ());
	const auto height = static_cast<uint16_t> (size.getHeight ());
	backBuffer = xcb_generate_id (connection);
	xcb_create_pixmap (connection, depth, backBuffer, window, width, height);
	surface = cairo_xcb_surface_create (connection, backBuffer, &visual, width, height);
	if (cairo_surface_status (surface) != CAIRO_STATUS_SUCCESS)
		return false;
	shared->keepDevice (surface);
	return true;
}

void X11Frame::freeBackBuffer ()
{
	if (surface)
		cairo_surface_destroy (surface);
	surface = nullptr;
	if (backBuffer)
		xcb_free_pixmap (connection, backBuffer);
	backBuffer = 0;
}

void X11Frame::shutDown ()
{
	stopMapTimer ();
	if (!shared)
		return;
	shared->remove (this);
	freeBackBuffer ();
	if (gc)
		xcb_free_gc (connection, gc);
	if (window)
		xcb_destroy_window (connection, window);
	xcb_flush (connection);
	// The last frame to go closes the connection.
	shared = nullptr;
	connection = nullptr;
	window = gc = 0;
	dirty.clear ();
}

//------------------------------------------------------------------------
bool X11Frame::setSize (const CRect& r)
{
	const CRect newSize (0., 0., std::round (r.getWidth ()), std::round (r.getHeight ()));
	if (!usableSize (newSize.getWidth (), newSize.getHeight ()))
		return false;
	if (newSize == size)
		return true;
	size = newSize;
	if (!connection)
		return true;
	const uint32_t values[] = {static_cast<uint32_t> (size.getWidth ()),
	                           static_cast<uint32_t> (size.getHeight ())};
	xcb_configure_window (connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
	const bool made = createBackBuffer ();
	dirty.clear ();
	invalidRect (size);
	return made;
}

bool X11Frame::invalidRect (const CRect& rect)
{
	if (!connection)
		return false;
	addDirty (rect);
	if (!shared->isDispatching () && !dirty.empty ())
		postRedraw ();
	return true;
}

void X11Frame::addDirty (const CRect& rect)
{
	CRect r = pixelRect (rect, size);
	if (r.isEmpty ())
		return;
	// Merged with every area it meets, until it meets none.
	for (auto it = dirty.begin (); it != dirty.end ();)
	{
		if (r.rectOverlap (*it))
		{
			r.unite (*it);
			dirty.erase (it);
			it = dirty.begin ();
		}
		else
			++it;
	}
	dirty.push_back (r);
	if (dirty.size () > kMostDirtyRects)
	{
		for (const auto& d : dirty)
			r.unite (d);
		dirty.assign (1, r);
	}
}

void X11Frame::postRedraw ()
{
	if (redrawPosted || !window)
		return;
	xcb_client_message_event_t message {};
	message.response_type = XCB_CLIENT_MESSAGE;
	message.format = 32;
	message.window = window;
	message.type = atoms.redraw;
	// With no event mask the message goes to the window's creator: this connection.
	xcb_send_event (connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*> (&message));
	xcb_flush (connection);
	redrawPosted = true;
}

void X11Frame::setXEmbedInfo (uint32_t flags)
{
	const uint32_t info[2] = {xembedVersion, flags};
	xcb_change_property (connection, XCB_PROP_MODE_REPLACE, window, atoms.xembedInfo, atoms.xembedInfo, 32, 2,
	                     info);
}

void X11Frame::askToBeMapped ()
{
	stopMapTimer ();
	if (!window)
		return;
	setXEmbedInfo (kXEmbedMapped);
	xcb_flush (connection);
}

void X11Frame::stopMapTimer ()
{
	if (mapTimer)
		runLoop->unregisterTimer (mapTimer);
	mapTimer = 0;
}

// Draws the dirty areas into the back buffer and copies them, and exposed areas, to the
// window.
void X11Frame::draw ()
{
	if (!surface || (dirty.empty () && exposed.isEmpty ()))
		return;
	std::vector<CRect> areas;
	areas.swap (dirty);
	if (callback && !areas.empty ())
	{
		cairo_t* cr = cairo_create (surface);
		auto context = owned (new CDrawContext (cr, size));
		cairo_destroy (cr);
		for (const auto& r : areas)
		{
			context->saveGlobalState ();
			context->setClipRect (r);
			// What no view covers stays black.
			context->setFillColor (kBlackCColor);
			context->drawRect (r, kDrawFilled);
			if (callback)
				callback->platformDrawRect (context, r);
			context->restoreGlobalState ();
		}
		context = nullptr;
		cairo_surface_flush (surface);
	}
	if (!connection || !window)
		return;
	CRect e = pixelRect (exposed, size);
	exposed = CRect ();
	if (!e.isEmpty ())
		areas.push_back (e);
	for (const auto& r : areas)
		xcb_copy_area (connection, backBuffer, window, gc, static_cast<int16_t> (r.left),
		               static_cast<int16_t> (r.top), static_cast<int16_t> (r.left),
		               static_cast<int16_t> (r.top), static_cast<uint16_t> (r.getWidth ()),
		               static_cast<uint16_t> (r.getHeight ()));
}

void X11Frame::onDispatched ()
{
	if (!dirty.empty () || !exposed.isEmpty ())
		postRedraw ();
}

void X11Frame::onEvent (const xcb_generic_event_t& event)
{
	// A view may close the frame while it handles an event.
	SharedPointer<X11Frame> keep (this);
	switch (event.response_type & 0x7f)
	{
		case XCB_EXPOSE:
		{
			const auto& e = reinterpret_cast<const xcb_expose_event_t&> (event);
			const CRect r (e.x, e.y, e.x + e.width, e.y + e.height);
			if (exposed.isEmpty ())
				exposed = r;
			else
				exposed.unite (r);
			break;
		}
		case XCB_BUTTON_PRESS:
			onButtonPress (reinterpret_cast<const xcb_button_press_event_t&> (event));
			break;
		case XCB_BUTTON_RELEASE:
			onButtonRelease (reinterpret_cast<const xcb_button_release_event_t&> (event));
			break;
		case XCB_MOTION_NOTIFY:
		{
			const auto& e = reinterpret_cast<const xcb_motion_notify_event_t&> (event);
			CPoint where (e.event_x, e.event_y);
			if (callback)
				callback->platformOnMouseMoved (where, heldButtonsOf (e.state) | modifiersOf (e.state));
			break;
		}
		case XCB_ENTER_NOTIFY:
		case XCB_LEAVE_NOTIFY:
		{
			const auto& e = reinterpret_cast<const xcb_enter_notify_event_t&> (event);
			CPoint where (e.event_x, e.event_y);
			const CButtonState buttons (heldButtonsOf (e.state) | modifiersOf (e.state));
			if (!callback)
				break;
			if ((event.response_type & 0x7f) == XCB_ENTER_NOTIFY)
				callback->platformOnMouseEntered (where, buttons);
			else
				callback->platformOnMouseExited (where, buttons);
			break;
		}
		case XCB_KEY_PRESS:
		case XCB_KEY_RELEASE:
			onKey (reinterpret_cast<const xcb_key_press_event_t&> (event),
			       (event.response_type & 0x7f) == XCB_KEY_PRESS);
			break;
		case XCB_FOCUS_IN:
		case XCB_FOCUS_OUT:
		{
			const auto& e = reinterpret_cast<const xcb_focus_in_event_t&> (event);
			if (callback && e.detail != XCB_NOTIFY_DETAIL_POINTER)
				callback->platformOnActivate ((event.response_type & 0x7f) == XCB_FOCUS_IN);
			break;
		}
		case XCB_CLIENT_MESSAGE:
			onClientMessage (reinterpret_cast<const xcb_client_message_event_t&> (event));
			break;
		case XCB_DESTROY_NOTIFY:
			// The embedder destroyed its window, and ours with it.
			if (reinterpret_cast<const xcb_destroy_notify_event_t&> (event).window == window)
				window = 0;
			break;
		default:
			break;
	}
}

void X11Frame::onButtonPress (const xcb_button_press_event_t& e)
{
	CPoint where (e.event_x, e.event_y);
	const int32 modifiers = modifiersOf (e.state);
	if (e.detail >= 4 && e.detail <= 7)
	{
		// Up and left are positive.
		const auto axis = e.detail <= 5 ? kMouseWheelAxisY : kMouseWheelAxisX;
		const float distance = (e.detail == 4 || e.detail == 6) ? 1.f : -1.f;
		if (callback)
			callback->platformOnMouseWheel (where, axis, distance, heldButtonsOf (e.state) | modifiers);
		return;
	}
	const int32 button = buttonOf (e.detail);
	if (!button)
		return;
	const int32 doubleClick = clicks.press (e.detail, e.time, where);
	if (callback)
		callback->platformOnMouseDown (where, button | modifiers | doubleClick);
}

void X11Frame::onButtonRelease (const xcb_button_release_event_t& e)
{
	const int32 button = buttonOf (e.detail);
	CPoint where (e.event_x, e.event_y);
	if (button && callback)
		callback->platformOnMouseUp (where, button | modifiersOf (e.state));
}

void X11Frame::onKey (const xcb_key_press_event_t& e, bool down)
{
	VstKeyCode code = shared->getKeymap ().keyCodeOf (e.detail, e.state);
	bool used = false;
	if (callback && (code.virt || code.character))
		used = down ? callback->platformOnKeyDown (code) : callback->platformOnKeyUp (code);
	// The host acts on a key from the keyboard the editor leaves; one an embedder sent us
	// ends here, so that a key never goes back and forth.
	if (!used && !(e.response_type & kSentEvent) && shared && window)
		forwardKey (e, down);
}

// Whether a client selects the key events of mask on window or an ancestor it would reach
// by propagation.
bool keysSelectedAbove (xcb_connection_t* connection, xcb_window_t window, uint32_t mask)
{
	// Deeper trees than this are not made by hosts; the walk ends at the root anyway.
	constexpr int kDeepest = 64;
	for (int depth = 0; window && depth < kDeepest; ++depth)
	{
		const auto attributesCookie = xcb_get_window_attributes (connection, window);
		const auto treeCookie = xcb_query_tree (connection, window);
		auto* attributes = xcb_get_window_attributes_reply (connection, attributesCookie, nullptr);
		auto* tree = xcb_query_tree_reply (connection, treeCookie, nullptr);
		const bool selected = attributes && (attributes->all_event_masks & mask);
		const bool stopped = !attributes || (attributes->do_not_propagate_mask & mask);
		window = tree ? tree->parent : 0;
		std::free (attributes);
		std::free (tree);
		if (selected)
			return true;
		if (stopped)
			return false;
	}
	return false;
}

// To the nearest of the embedder's windows that selects key events; an embedder that reads
// the keyboard through the input extension selects none, and gets the key as the creator of
// its window.
void X11Frame::forwardKey (const xcb_key_press_event_t& e, bool down)
{
	xcb_key_press_event_t forwarded = e;
	forwarded.event = embedder;
	forwarded.child = XCB_NONE;
	const uint32_t mask = down ? uint32_t {XCB_EVENT_MASK_KEY_PRESS} : uint32_t {XCB_EVENT_MASK_KEY_RELEASE};
	const bool propagate = keysSelectedAbove (connection, embedder, mask);
	xcb_send_event (connection, propagate, embedder, propagate ? mask : uint32_t {XCB_EVENT_MASK_NO_EVENT},
	                reinterpret_cast<const char*> (&forwarded));
}

void X11Frame::onClientMessage (const xcb_client_message_event_t& e)
{
	if (e.type == atoms.redraw)
		redrawPosted = false;
	else if (e.type == atoms.xembed && e.format == 32)
	{
		const uint32_t message = e.data.data32[1];
		if (message == kXEmbedEmbeddedNotify)
		{
			// Told again, by the same embedder or another: the latest one counts.
			if (e.data.data32[3])
				embedder = e.data.data32[3];
			xembedVersion = std::min (e.data.data32[4], kXEmbedVersion);
			askToBeMapped ();
		}
		else if ((message == kXEmbedFocusIn || message == kXEmbedFocusOut) && callback)
			callback->platformOnActivate (message == kXEmbedFocusIn);
	}
}

} // namespace

SharedPointer<IPlatformFrame> createX11Frame (IPlatformFrameCallback* callback, const CRect& size,
                                              void* parent, IRunLoop* runLoop)
{
	const auto id = reinterpret_cast<uintptr_t> (parent);
	if (!callback || !runLoop || id == 0 || id > UINT32_MAX)
		return nullptr;
	auto frame = makeOwned<X11Frame> (callback, runLoop);
	if (!frame->open (static_cast<uint32_t> (id), size))
		return nullptr;
	return frame;
}

} // namespace VSTGUI
