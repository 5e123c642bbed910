#include "windowsupport.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wtest {

Program::Program (const std::vector<std::string>& args, bool withDisplay)
{
	int out[2], err[2];
	if (::pipe2 (out, O_CLOEXEC) != 0)
		return;
	if (::pipe2 (err, O_CLOEXEC) != 0)
	{
		::close (out[0]);
		::close (out[1]);
		return;
	}
	pid = ::fork ();
	if (pid == 0)
	{
		::dup2 (out[1], 1);
		::dup2 (err[1], 2);
		if (!withDisplay)
			::unsetenv ("DISPLAY");
		std::vector<char*> argv;
		for (const auto& a : args)
			argv.push_back (const_cast<char*> (a.c_str ()));
		argv.push_back (nullptr);
		::execvp (argv[0], argv.data ());
		::_exit (127);
	}
	::close (out[1]);
	::close (err[1]);
	streams[0].fd = out[0];
	streams[1].fd = err[0];
}

Program::~Program ()
{
	if (pid > 0 && exitCode < 0)
	{
		::kill (pid, SIGKILL);
		::waitpid (pid, nullptr, 0);
	}
	for (auto& s : streams)
		if (s.fd >= 0)
			::close (s.fd);
}

std::string Program::waitForLine (const std::string& prefix, bool onStderr, Clock::duration timeout)
{
	const auto until = Clock::now () + timeout;
	Stream& s = streams[onStderr ? 1 : 0];
	for (;;)
	{
		for (; s.scanned < s.lines.size (); ++s.scanned)
			if (s.lines[s.scanned].rfind (prefix, 0) == 0)
				return s.lines[s.scanned++];
		if (!readSome (until))
			return {};
	}
}

int Program::finish (Clock::duration timeout)
{
	if (pid <= 0)
		return -1;
	const auto until = Clock::now () + timeout;
	while (readSome (until))
		;
	while (Clock::now () < until)
	{
		int status = 0;
		if (::waitpid (pid, &status, WNOHANG) == pid)
			return exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
		std::this_thread::sleep_for (10ms);
	}
	return -1;
}

std::string Program::text (bool onStderr) const
{
	const Stream& s = streams[onStderr ? 1 : 0];
	std::string all;
	for (const auto& l : s.lines)
		all += l + "\n";
	return all + s.partial;
}

const std::vector<std::string>& Program::lines (bool onStderr) const
{
	return streams[onStderr ? 1 : 0].lines;
}

bool Program::readSome (Clock::time_point until)
{
	pollfd fds[2];
	Stream* which[2];
	nfds_t n = 0;
	for (auto& s : streams)
	{
		if (s.fd < 0)
			continue;
		fds[n] = {s.fd, POLLIN, 0};
		which[n++] = &s;
	}
	const auto left = std::chrono::ceil<std::chrono::milliseconds> (until - Clock::now ()).count ();
	if (n == 0 || left <= 0 || ::poll (fds, n, static_cast<int> (left)) <= 0)
		return false;
	for (nfds_t i = 0; i < n; ++i)
	{
		if (!fds[i].revents)
			continue;
		Stream& s = *which[i];
		char buf[4096];
		const ssize_t got = ::read (s.fd, buf, sizeof (buf));
		if (got <= 0)
		{
			::close (s.fd);
			s.fd = -1;
			continue;
		}
		s.partial.append (buf, static_cast<size_t> (got));
		for (size_t nl; (nl = s.partial.find ('\n')) != std::string::npos;)
		{
			s.lines.push_back (s.partial.substr (0, nl));
			s.partial.erase (0, nl + 1);
		}
	}
	return true;
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

void Desktop::coverAndUncover (Window w)
{
	XWindowAttributes a;
	Window child = 0;
	int x = 0, y = 0;
	if (!XGetWindowAttributes (display, w, &a) ||
	    !XTranslateCoordinates (display, w, a.root, 0, 0, &x, &y, &child))
		return;
	XSetWindowAttributes override {};
	override.override_redirect = True;
	override.background_pixel = WhitePixel (display, DefaultScreen (display));
	const Window cover = XCreateWindow (display, a.root, x, y, static_cast<unsigned> (a.width),
	                                    static_cast<unsigned> (a.height), 0, CopyFromParent,
	                                    InputOutput, CopyFromParent,
	                                    CWOverrideRedirect | CWBackPixel, &override);
	XMapRaised (display, cover);
	XSync (display, False);
	XDestroyWindow (display, cover);
	XSync (display, False);
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
