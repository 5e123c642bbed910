// A top-level X11 window that holds one plug-in view: the view's frame, the XEmbed
// embedder of the view's own window and the run loop the view registers with.
#pragma once

#include "runloop.h"

#include "pluginterfaces/gui/iplugview.h"

#include <functional>
#include <memory>
#include <string>

namespace tolvarhost {

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
	// of it). resizable: the view answered canResize with kResultTrue.
	bool create (IPlugView* view, const std::string& title, int width, int height,
	             bool resizable, std::string& error);

	// The X window id the view is attached to.
	unsigned long windowId () const;
	IPlugFrame* frame () const;
	RunLoop& runLoop () const;

	// Dispatches X events and the run loop until the window is closed, until has come
	// or stop answers true.
	void run (RunLoop::Clock::time_point until, const std::function<bool ()>& stop);
	// From now on the frame refuses resizeView and the window forgets the view.
	void releaseView ();

	struct Impl;

private:
	EditorWindow ();
	std::unique_ptr<Impl> impl;
};

} // namespace tolvarhost
