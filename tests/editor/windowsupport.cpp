#include "windowsupport.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wtest {

Program::Program (const std::vector<std::string>& args)
{
	char dir[] = "/tmp/tolvar-program-XXXXXX";
	if (!::mkdtemp (dir))
		return;
	folder = dir;
	const int out = ::open ((folder + "/out").c_str (), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
	const int err = ::open ((folder + "/err").c_str (), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
	std::vector<char*> argv;
	for (const auto& a : args)
		argv.push_back (const_cast<char*> (a.c_str ()));
	argv.push_back (nullptr);
	pid = out >= 0 && err >= 0 ? ::fork () : -1;
	if (pid == 0)
	{
		::dup2 (out, 1);
		::dup2 (err, 2);
		::execvp (argv[0], argv.data ());
		::_exit (127);
	}
	for (int fd : {out, err})
		if (fd >= 0)
			::close (fd);
}

Program::~Program ()
{
	if (pid > 0 && !ended ())
	{
		::kill (pid, SIGKILL);
		::waitpid (pid, nullptr, 0);
	}
	for (const char* name : {"/out", "/err", ""})
		if (!folder.empty ())
			::remove ((folder + name).c_str ());
}

bool Program::ended ()
{
	int status = 0;
	if (pid > 0 && exitCode < 0 && ::waitpid (pid, &status, WNOHANG) == pid)
		exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
	return pid <= 0 || exitCode >= 0;
}

std::string Program::waitForLine (const std::string& prefix, bool onStderr, Clock::duration timeout)
{
	std::string found;
	size_t& next = scanned[onStderr ? 1 : 0];
	Desktop::eventually (
	    [&] {
		    const bool last = ended (); // read once more after the end
		    const auto all = lines (onStderr);
		    for (; next < all.size () && found.empty (); ++next)
			    if (all[next].rfind (prefix, 0) == 0)
				    found = all[next];
		    return !found.empty () || last;
	    },
	    timeout);
	return found;
}

int Program::finish (Clock::duration timeout)
{
	return Desktop::eventually ([&] { return ended (); }, timeout) && pid > 0 ? exitCode : -1;
}

std::string Program::text (bool onStderr) const
{
	std::ifstream in (folder + (onStderr ? "/err" : "/out"), std::ios::binary);
	return std::string (std::istreambuf_iterator<char> (in), {});
}

std::vector<std::string> Program::lines (bool onStderr) const
{
	std::vector<std::string> result;
	std::istringstream in (text (onStderr));
	for (std::string line; std::getline (in, line);)
		if (!in.eof ())
			result.push_back (line);
	return result;
}

int run (const std::vector<std::string>& args)
{
	Program p (args);
	return p.finish ();
}

//------------------------------------------------------------------------
namespace {
// A window that is gone reads as failure, not as the end of the test program.
int ignoreXError (Display*, XErrorEvent*) { return 0; }
} // namespace

Desktop::Desktop () : display (XOpenDisplay (nullptr)) { XSetErrorHandler (ignoreXError); }

Desktop::~Desktop ()
{
	if (display)
		XCloseDisplay (display);
}

unsigned long Desktop::pixel (Window w, int x, int y)
{
	const auto one = pixels (w, x, y, 1, 1);
	return one.empty () ? ~0ul : one[0];
}

std::vector<unsigned long> Desktop::pixels (Window w, int x, int y, int width, int height)
{
	std::vector<unsigned long> result;
	XImage* image = XGetImage (display, w, x, y, static_cast<unsigned> (width),
	                           static_cast<unsigned> (height), AllPlanes, ZPixmap);
	if (!image)
		return result;
	for (int row = 0; row < height; ++row)
		for (int column = 0; column < width; ++column)
			result.push_back (XGetPixel (image, column, row) & 0xFFFFFF);
	XDestroyImage (image);
	return result;
}

bool Desktop::filled (Window w, const int (&rect)[4], unsigned long colour)
{
	const auto all = pixels (w, rect[0], rect[1], rect[2], rect[3]);
	return !all.empty () && std::count (all.begin (), all.end (), colour) == static_cast<long> (all.size ());
}

int Desktop::childCount (Window w)
{
	Window root = 0, parent = 0;
	Window* children = nullptr;
	unsigned count = 0;
	if (!XQueryTree (display, w, &root, &parent, &children, &count))
		return -1;
	if (children)
		XFree (children);
	return static_cast<int> (count);
}

WindowId Desktop::innermost (Window w)
{
	for (;;)
	{
		Window root = 0, parent = 0;
		Window* children = nullptr;
		unsigned count = 0;
		if (!XQueryTree (display, w, &root, &parent, &children, &count))
			return w;
		const Window first = count ? children[0] : 0;
		if (children)
			XFree (children);
		if (!first)
			return w;
		w = first;
	}
}

bool Desktop::viewable (Window w)
{
	XWindowAttributes a;
	return XGetWindowAttributes (display, w, &a) && a.map_state == IsViewable;
}

WindowId Desktop::focus ()
{
	Window w = 0;
	int revert = 0;
	XGetInputFocus (display, &w, &revert);
	return w;
}

std::vector<long> Desktop::property (Window w, const char* name)
{
	std::vector<long> values;
	Atom type = 0;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	if (XGetWindowProperty (display, w, XInternAtom (display, name, False), 0, 64, False, AnyPropertyType,
	                        &type, &format, &count, &after, &data) == Success &&
	    data && format == 32)
		values.assign (reinterpret_cast<long*> (data), reinterpret_cast<long*> (data) + count);
	if (data)
		XFree (data);
	return values;
}

bool Desktop::size (Window w, int& width, int& height)
{
	XWindowAttributes a;
	if (!XGetWindowAttributes (display, w, &a))
		return false;
	width = a.width;
	height = a.height;
	return true;
}

void Desktop::requestClose (Window w)
{
	XEvent ev {};
	ev.xclient.type = ClientMessage;
	ev.xclient.window = w;
	ev.xclient.message_type = XInternAtom (display, "WM_PROTOCOLS", False);
	ev.xclient.format = 32;
	ev.xclient.data.l[0] = static_cast<long> (XInternAtom (display, "WM_DELETE_WINDOW", False));
	ev.xclient.data.l[1] = CurrentTime;
	XSendEvent (display, w, False, NoEventMask, &ev);
	XFlush (display);
}

WindowId Desktop::createWindow (Window parent, int width, int height, int depth,
                                const std::vector<long>& xembedInfo)
{
	const int screen = DefaultScreen (display);
	const bool topLevel = parent == 0;
	if (topLevel)
		parent = RootWindow (display, screen);
	XSetWindowAttributes a {};
	unsigned long mask = CWBackPixel | CWBorderPixel;
	Visual* visual = CopyFromParent;
	XVisualInfo info {};
	if (depth != 0)
	{
		if (!XMatchVisualInfo (display, screen, depth, TrueColor, &info))
			return 0;
		visual = info.visual;
		a.colormap = XCreateColormap (display, parent, visual, AllocNone);
		mask |= CWColormap;
	}
	const Window w =
	    XCreateWindow (display, parent, 0, 0, static_cast<unsigned> (width), static_cast<unsigned> (height),
	                   0, depth ? depth : CopyFromParent, InputOutput, visual, mask, &a);
	if (xembedInfo.size () == 2)
	{
		const Atom atom = XInternAtom (display, "_XEMBED_INFO", False);
		XChangeProperty (display, w, atom, atom, 32, PropModeReplace,
		                 reinterpret_cast<const unsigned char*> (xembedInfo.data ()), 2);
	}
	if (topLevel)
		XMapWindow (display, w);
	XSync (display, False);
	return w;
}

void Desktop::destroyWindow (Window w)
{
	XDestroyWindow (display, w);
	XSync (display, False);
}

void Desktop::sendXEmbed (Window w, long message, long data1, long data2)
{
	XEvent ev {};
	ev.xclient.type = ClientMessage;
	ev.xclient.window = w;
	ev.xclient.message_type = XInternAtom (display, "_XEMBED", False);
	ev.xclient.format = 32;
	ev.xclient.data.l[0] = CurrentTime;
	ev.xclient.data.l[1] = message;
	ev.xclient.data.l[3] = data1;
	ev.xclient.data.l[4] = data2;
	XSendEvent (display, w, False, NoEventMask, &ev);
	XFlush (display);
}

void Desktop::sendKeyPress (Window w, unsigned keycode)
{
	XEvent ev {};
	ev.xkey.type = KeyPress;
	ev.xkey.window = w;
	ev.xkey.root = DefaultRootWindow (display);
	ev.xkey.keycode = keycode;
	ev.xkey.same_screen = True;
	XSendEvent (display, w, False, KeyPressMask, &ev);
	XFlush (display);
}

int Desktop::keyPresses ()
{
	int count = 0;
	XEvent ev;
	while (XCheckTypedEvent (display, KeyPress, &ev))
		++count;
	return count;
}

} // namespace wtest
