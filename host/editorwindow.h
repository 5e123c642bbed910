// A top-level X11 window that holds one plug-in view: the view's frame, the XEmbed
// embedder of the view's own window and the run loop the view registers with.
#pragma once

#include "runloop.h"

#include "pluginterfaces/gui/iplugview.h"

#include <functional>
#include <memory>
#include <string>

namespace tolvarhost {

// How the window embeds the view's window, after the families of X11 embedders hosts use.
enum class Embedding
{
	// Sends XEMBED_EMBEDDED_NOTIFY and maps its embedding window only while the client's
	// _XEMBED_INFO asks to be mapped (or the client has none).
	xembedStrict,
	// Reads _XEMBED_INFO once, when the client is created, and fails on a client without it
	// or one that already asks to be mapped; then tells it, maps it and gives it the focus.
	sdkSample,
	// Maps the client and speaks no XEmbed.
	plain,
};

// "xembed-strict", "sdk-sample" or "plain"; false for anything else.
bool parseEmbedding (const std::string& name, Embedding& result);

class EditorWindow
{
public:
	// Connects to the X server DISPLAY names and installs an X error handler that
	// reports errors and goes on. Null, with error set, when there is no server.
	static std::unique_ptr<EditorWindow> open (std::string& error);
	~EditorWindow ();

	EditorWindow (const EditorWindow&) = delete;
	EditorWindow& operator= (const EditorWindow&) = delete;

	// Creates and maps the window for view (borrowed; it must outlive the window's use
	// of it), and gives it the keyboard focus once it is shown. resizable: the view
	// answered canResize with kResultTrue.
	bool create (IPlugView* view, const std::string& title, int width, int height, bool resizable,
	             Embedding embedding, std::string& error);

	// The top-level window's X id.
	unsigned long windowId () const;
	// The X id of the window the view is attached to (the top-level, or the embedding
	// window inside it).
	unsigned long parentId () const;
	IPlugFrame* frame () const;
	RunLoop& runLoop () const;

	// Keys that reach the window go to the view (onKeyDown, onKeyUp); observer hears the
	// X key name of each press the view answers kResultFalse to.
	void onUnusedKey (std::function<void (const std::string&)> observer);
	// Why the embedding failed (a client the embedder refuses), or "".
	const std::string& failure () const;

	// Dispatches X events and the run loop until the window is closed or the embedding
	// failed, until has come or stop answers true.
	void run (RunLoop::Clock::time_point until, const std::function<bool ()>& stop);
	// From now on the frame refuses resizeView and the window forgets the view.
	void releaseView ();

	struct Impl;

private:
	EditorWindow ();
	std::unique_ptr<Impl> impl;
};

} // namespace tolvarhost
