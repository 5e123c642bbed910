#include "windowsupport.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

} // namespace wtest
