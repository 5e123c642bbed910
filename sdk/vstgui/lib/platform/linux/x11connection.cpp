#include "x11connection.h"

#include <cairo-xcb.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace VSTGUI {
namespace X11 {

namespace {

// The shared connection of this thread, while it is open. Per thread, as the frames of one
// host's UI thread are served together and no connection is ever used from two threads.
thread_local Connection* threadConnection = nullptr;

// The pointer and key events name their window at one place.
static_assert (offsetof (xcb_key_press_event_t, event) == offsetof (xcb_button_press_event_t, event) &&
                   offsetof (xcb_key_press_event_t, event) == offsetof (xcb_motion_notify_event_t, event) &&
                   offsetof (xcb_key_press_event_t, event) == offsetof (xcb_enter_notify_event_t, event),
               "xcb input events differ in layout");

// The window an event is for, or 0 for none of ours.
xcb_window_t windowOf (const xcb_generic_event_t& event)
{
	switch (event.response_type & 0x7f)
	{
		case XCB_KEY_PRESS:
		case XCB_KEY_RELEASE:
		case XCB_BUTTON_PRESS:
		case XCB_BUTTON_RELEASE:
		case XCB_MOTION_NOTIFY:
		case XCB_ENTER_NOTIFY:
		case XCB_LEAVE_NOTIFY:
			return reinterpret_cast<const xcb_key_press_event_t&> (event).event;
		case XCB_FOCUS_IN:
		case XCB_FOCUS_OUT:
			return reinterpret_cast<const xcb_focus_in_event_t&> (event).event;
		case XCB_EXPOSE:
			return reinterpret_cast<const xcb_expose_event_t&> (event).window;
		case XCB_CLIENT_MESSAGE:
			return reinterpret_cast<const xcb_client_message_event_t&> (event).window;
		case XCB_DESTROY_NOTIFY:
			return reinterpret_cast<const xcb_destroy_notify_event_t&> (event).window;
		default:
			return 0; // errors of our requests among them: nothing to undo
	}
}

} // namespace

SharedPointer<Connection> Connection::open (bool shared)
{
	const char* name = std::getenv ("DISPLAY");
	const std::string display = name ? name : "";
	Connection* current = threadConnection;
	if (shared && current && current->display == display && !xcb_connection_has_error (current->connection))
		return SharedPointer<Connection> (current);
	SharedPointer<Connection> made;
	made.adopt (new Connection);
	if (!made->connect (name))
		return nullptr;
	made->display = display;
	// One that is gone or on another server stays with the frames it has.
	if (shared)
		threadConnection = made;
	return made;
}

bool Connection::connect (const char* name)
{
	connection = xcb_connect (name, nullptr);
	if (xcb_connection_has_error (connection))
		return false;
	auto internAtom = [this] (const char* atom) {
		return xcb_intern_atom (connection, 0, static_cast<uint16_t> (std::strlen (atom)), atom);
	};
	const xcb_intern_atom_cookie_t cookies[] = {internAtom ("_XEMBED_INFO"), internAtom ("_XEMBED"),
	                                            internAtom ("_VSTGUI_REDRAW")};
	xcb_atom_t* const targets[] = {&atoms.xembedInfo, &atoms.xembed, &atoms.redraw};
	for (size_t i = 0; i < std::size (cookies); ++i)
	{
		if (auto* reply = xcb_intern_atom_reply (connection, cookies[i], nullptr))
		{
			*targets[i] = reply->atom;
			std::free (reply);
		}
	}
	keymap.load (connection);
	return atoms.xembedInfo && atoms.xembed && atoms.redraw;
}

Connection::~Connection () noexcept
{
	if (threadConnection == this)
		threadConnection = nullptr;
	for (auto& e : clients)
	{
		if (e.watching)
			e.runLoop->unregisterEventHandler (this);
	}
	if (device)
	{
		cairo_device_finish (device);
		cairo_device_destroy (device);
	}
	// Also when the connection failed: xcb hands out an object that must be given back.
	xcb_disconnect (connection);
}

void Connection::keepDevice (cairo_surface_t* surface)
{
	if (!device)
		device = cairo_device_reference (cairo_surface_get_device (surface));
}

bool Connection::add (Client* client, IRunLoop* runLoop)
{
	const void* source = runLoop->getEventSource ();
	const bool watched = std::any_of (clients.begin (), clients.end (),
	                                  [source] (const Entry& e) { return e.source == source && e.watching; });
	// A host watches one descriptor once: a second registration would be refused.
	if (!watched && !runLoop->registerEventHandler (xcb_get_file_descriptor (connection), this))
		return false;
	clients.push_back ({client, runLoop, source, !watched});
	return true;
}

void Connection::remove (Client* client)
{
	auto it = std::find_if (clients.begin (), clients.end (),
	                        [client] (const Entry& e) { return e.client == client; });
	if (it == clients.end ())
		return;
	const Entry gone = *it;
	clients.erase (it);
	if (!gone.watching)
		return;
	gone.runLoop->unregisterEventHandler (this);
	for (auto& e : clients)
	{
		if (e.source == gone.source &&
		    e.runLoop->registerEventHandler (xcb_get_file_descriptor (connection), this))
		{
			e.watching = true;
			return;
		}
	}
}

void Connection::onFDIsSet (int)
{
	SharedPointer<Connection> keep (this);
	dispatching = true;
	handleEvents ();
	forEachClient ([] (Client& c) { c.onDraw (); });
	// Drawing reads the events that come while it waits for replies: they are handled now,
	// and what they leave to draw waits for the next wake.
	handleEvents ();
	dispatching = false;
	if (xcb_connection_has_error (connection))
	{
		// The server is gone: the descriptor would stay readable for ever.
		forEachClient ([] (Client& c) { c.onConnectionLost (); });
		return;
	}
	forEachClient ([] (Client& c) { c.onDispatched (); });
	xcb_flush (connection);
}

template <class F>
void Connection::forEachClient (F&& f)
{
	// A client may close itself, or another, while it is called; those gone are skipped.
	std::vector<Client*> now;
	std::vector<SharedPointer<IReference>> held;
	for (const auto& e : clients)
	{
		now.push_back (e.client);
		held.emplace_back (e.client->getReference ());
	}
	for (auto* c : now)
	{
		if (std::any_of (clients.begin (), clients.end (), [c] (const Entry& e) { return e.client == c; }))
			f (*c);
	}
}

void Connection::handleEvents ()
{
	while (xcb_generic_event_t* event = xcb_poll_for_event (connection))
	{
		route (*event);
		std::free (event);
	}
}

void Connection::route (const xcb_generic_event_t& event)
{
	if ((event.response_type & 0x7f) == XCB_MAPPING_NOTIFY)
	{
		if (reinterpret_cast<const xcb_mapping_notify_event_t&> (event).request == XCB_MAPPING_KEYBOARD)
			keymap.load (connection);
		return;
	}
	const xcb_window_t window = windowOf (event);
	if (!window)
		return;
	for (const auto& e : clients)
	{
		if (e.client->getWindow () == window)
		{
			// The client may leave the list while it handles the event.
			e.client->onEvent (event);
			return;
		}
	}
}

} // namespace X11
} // namespace VSTGUI
