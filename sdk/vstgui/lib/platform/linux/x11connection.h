#pragma once

// The X connection the frames of one thread (a host's UI thread) share: one socket and one
// cairo device for every editor open in the process, closed with the last of them.
// Events go to the client whose window they name.

#include "x11input.h"
#include "../../crunloop.h"

#include <cairo.h>
#include <xcb/xcb.h>

#include <string>
#include <vector>

namespace VSTGUI {
namespace X11 {

// A window served by a connection.
class Client
{
public:
	virtual ~Client () noexcept = default;
	// Held while the connection calls the client, which may close itself meanwhile.
	virtual IReference* getReference () = 0;
	virtual xcb_window_t getWindow () const = 0;
	// An event that names the client's window.
	virtual void onEvent (const xcb_generic_event_t& event) = 0;
	// The events waiting have been handled: time to draw.
	virtual void onDraw () = 0;
	// Events and drawing are done; what is left to draw waits for a wake of its own.
	virtual void onDispatched () = 0;
	// The server is gone.
	virtual void onConnectionLost () = 0;
};

class Connection : public CBaseObject, private IEventTarget
{
public:
	struct Atoms
	{
		xcb_atom_t xembedInfo {0};
		xcb_atom_t xembed {0};
		xcb_atom_t redraw {0};
	};

	// shared: the thread's connection to the server DISPLAY names, opened when there is none
	// (or DISPLAY now names another); otherwise a connection of its own. Null when there is
	// no server.
	static SharedPointer<Connection> open (bool shared);
	~Connection () noexcept override;

	xcb_connection_t* get () const { return connection; }
	const Atoms& getAtoms () const { return atoms; }
	const Keymap& getKeymap () const { return keymap; }
	// Events are being handled or drawn: a redraw asked for now happens in this round.
	bool isDispatching () const { return dispatching; }
	// cairo keeps state per connection that must go before the connection: the device of
	// the first surface is kept, and finished when the connection closes.
	void keepDevice (cairo_surface_t* surface);

	// Serves client, woken through runLoop: the descriptor is registered there unless a run
	// loop of the same source (IRunLoop::getEventSource) has it already. False when the run
	// loop refuses it.
	bool add (Client* client, IRunLoop* runLoop);
	// From now on the client gets nothing. A registration made through its run loop passes
	// to another client of the same source.
	void remove (Client* client);

private:
	struct Entry
	{
		Client* client;
		SharedPointer<IRunLoop> runLoop;
		const void* source;
		bool watching;
	};

	Connection () = default;
	bool connect (const char* display);
	void onFDIsSet (int fd) override;
	void handleEvents ();
	void route (const xcb_generic_event_t& event);
	template <class F>
	void forEachClient (F&& f);

	xcb_connection_t* connection {nullptr};
	std::string display;
	Atoms atoms;
	Keymap keymap;
	cairo_device_t* device {nullptr};
	std::vector<Entry> clients;
	bool dispatching {false};
};

} // namespace X11
} // namespace VSTGUI
