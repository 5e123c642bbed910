// Helpers of the window tests: programs run alongside the test with their output read line
// by line, and the test's own look at the X server (pixels, sizes, a window manager's close).
#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;

namespace wtest {

// An X window id.
using WindowId = unsigned long;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The editor's background colour and a point that shows it, and the x of the Mix slider,
// from its description.
constexpr unsigned long kEditorBackground = 0x1B1F24;
constexpr int kBackgroundX = 10, kBackgroundY = 62, kMixX = 130;
// The strip of background between the editor's header and its panels: x, y, width, height.
constexpr int kBackgroundStrip[] = {0, 58, 640, 6};
// The embedding modes of tolvar-host and its window library, by name.
const std::vector<std::string> kEmbeddings = {"xembed-strict", "sdk-sample", "plain"};

// A program run alongside the test, its stdout and stderr written to files of its own.
class Program
{
public:
	explicit Program (const std::vector<std::string>& args);
	~Program (); // kills it when it is still running

	Program (const Program&) = delete;
	Program& operator= (const Program&) = delete;

	// Waits for a line of stdout (or stderr) that starts with prefix, searching on from the
	// line after the last one found there; that line, or "" on timeout or end of the program.
	std::string waitForLine (const std::string& prefix, bool onStderr = false,
	                         Clock::duration timeout = 10s);
	// Waits for the end and gives the exit status; -1 when it does not end in time.
	int finish (Clock::duration timeout = 30s);

	std::string text (bool onStderr = false) const;
	std::vector<std::string> lines (bool onStderr = false) const; // complete ones

private:
	bool ended (); // true once the program has ended, its status kept

	std::string folder;
	pid_t pid = -1;
	int exitCode = -1;
	size_t scanned[2] = {0, 0};
};

// Runs a program to its end; its exit status, or -1 when it does not end in time.
int run (const std::vector<std::string>& args);

// The test's own connection to the X server DISPLAY names.
class Desktop
{
public:
	Desktop ();
	~Desktop ();
	Desktop (const Desktop&) = delete;
	Desktop& operator= (const Desktop&) = delete;

	bool ok () const { return display != nullptr; }

	// The 24-bit pixel at x, y of the window as shown (its children included); ~0 when
	// it cannot be read.
	unsigned long pixel (WindowId w, int x, int y);
	// The 24-bit pixels of a rectangle of the window, row by row; empty when unreadable.
	std::vector<unsigned long> pixels (WindowId w, int x, int y, int width, int height);
	// Every pixel of the rectangle (x, y, width, height) of the window shows colour.
	bool filled (WindowId w, const int (&rect)[4], unsigned long colour);
	// The number of child windows, or -1 when the window does not exist.
	int childCount (WindowId w);
	// The window at the end of the chain of first children from w (w itself when it has none).
	WindowId innermost (WindowId w);
	// Mapped with all its ancestors.
	bool viewable (WindowId w);
	// The window that has the keyboard focus.
	WindowId focus ();
	// A property of 32-bit values (such as _XEMBED_INFO); empty when there is none.
	std::vector<long> property (WindowId w, const char* name);
	bool size (WindowId w, int& width, int& height);
	// What a window manager sends when the user closes the window.
	void requestClose (WindowId w);

	// A window of the test's own in parent (0: a mapped top-level), of the given depth (0:
	// the parent's) and with a black background. It selects no key events, as a client that
	// reads the keyboard through the input extension; keys sent to it still count in
	// keyPresses.
	// With two xembedInfo values it carries them as its _XEMBED_INFO. 0 when refused.
	WindowId createWindow (WindowId parent, int width, int height, int depth = 0,
	                       const std::vector<long>& xembedInfo = {});
	void destroyWindow (WindowId w);
	// As an embedder tells its client: an XEmbed message with its two data values.
	void sendXEmbed (WindowId w, long message, long data1, long data2);
	// As an embedder passes a key on to its client: a key press sent by a client.
	void sendKeyPress (WindowId w, unsigned keycode);
	// The key presses that reached the test's windows since the last call.
	int keyPresses ();

	// Polls until check answers true; false after the timeout.
	template <class Check>
	static bool eventually (Check check, Clock::duration timeout = 10s)
	{
		const auto until = Clock::now () + timeout;
		while (!check ())
		{
			if (Clock::now () >= until)
				return false;
			std::this_thread::sleep_for (20ms);
		}
		return true;
	}

private:
	_XDisplay* display;
};

} // namespace wtest
