// tolvar-host edit with the test view, on the X server DISPLAY names (run-xvfb.sh starts one).
#include "windowsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace wtest;

// The test view's colour and size (see testview/testview.cpp).
constexpr unsigned long kViewColour = 0x2080C0;
constexpr int kViewWidth = 240, kViewHeight = 160;

std::vector<std::string> editArgs (const std::vector<std::string>& extra = {})
{
	std::vector<std::string> a {TOLVAR_TEST_HOST_EXE, "edit", TOLVAR_TEST_VIEW_BUNDLE};
	a.insert (a.end (), extra.begin (), extra.end ());
	return a;
}

// The host ended with status 0, the view had its timer calls and unregistered everything in
// removed(), and the host found nothing left registered.
void expectCleanEnd (Program& host)
{
	EXPECT_EQ (host.finish (), 0) << host.text (true);
	const std::string err = host.text (true);
	EXPECT_NE (err.find ("testview: timer"), std::string::npos) << err;
	EXPECT_NE (err.find ("testview: removed, all unregistered"), std::string::npos) << err;
	EXPECT_EQ (err.find ("registered after removed()"), std::string::npos) << err;
}

// tolvar-host edit on the test view, up to the view's window shown in full in the host's.
struct OpenEditor
{
	Program host {editArgs ()};
	WindowId window = 0;
	bool shown = false;

	explicit OpenEditor (Desktop& desktop)
	{
		const std::string line = host.waitForLine ("window ");
		if (line.empty ())
			return;
		EXPECT_EQ (line.substr (line.rfind (' ') + 1),
		           std::to_string (kViewWidth) + "x" + std::to_string (kViewHeight));
		window = std::strtoul (line.c_str () + 7, nullptr, 10);
		// Left unmapped at 8 x 8 by the view: the host has to map and size it.
		shown = window && Desktop::eventually ([&] {
			return desktop.pixel (window, 2, 2) == kViewColour &&
			       desktop.pixel (window, kViewWidth - 3, kViewHeight - 3) == kViewColour;
		});
	}

	std::string id () const { return std::to_string (window); }
};

TEST (EditWindow, ClickPrintsACompleteEditAnXErrorIsSurvivedAndCloseEndsCleanly)
{
	Desktop desktop;
	ASSERT_TRUE (desktop.ok ()) << "no X server (run through run-xvfb.sh)";
	OpenEditor editor (desktop);
	ASSERT_TRUE (editor.shown) << editor.host.text (true);

	ASSERT_EQ (run ({"xdotool", "mousemove", "--window", editor.id (), "50", "50", "click", "1"}), 0);
	EXPECT_FALSE (editor.host.waitForLine ("end ").empty ()) << editor.host.text ();
	const std::vector<std::string> expected {"begin 0 Click", "edit 0 Click 1.000000 On", "end 0 Click"};
	const auto& lines = editor.host.lines ();
	EXPECT_EQ (std::vector<std::string> (lines.begin () + 1, lines.end ()), expected);

	// An X error in the view's connection is reported, and the host goes on.
	ASSERT_EQ (run ({"xdotool", "click", "2"}), 0);
	EXPECT_FALSE (editor.host.waitForLine ("tolvar-host: X error", true).empty ());

	desktop.requestClose (editor.window);
	expectCleanEnd (editor.host);
}

TEST (EditWindow, ClosesByItselfAfterTheGivenSeconds)
{
	Program host (editArgs ({"--seconds", "1"}));
	EXPECT_FALSE (host.waitForLine ("window ").empty ()) << host.text (true);
	expectCleanEnd (host);
}

TEST (EditWindow, FollowsTheViewsResizeAndAsksItsConstraintOnAUserResize)
{
	Desktop desktop;
	ASSERT_TRUE (desktop.ok ());
	OpenEditor editor (desktop);
	ASSERT_TRUE (editor.shown) << editor.host.text (true);
	auto sizeIs = [&] (int w, int h) {
		return Desktop::eventually ([&] {
			int width = 0, height = 0;
			return desktop.size (editor.window, width, height) && width == w && height == h;
		});
	};

	// A right click makes the view ask for 300 x 200 through the frame.
	ASSERT_EQ (run ({"xdotool", "mousemove", "--window", editor.id (), "20", "20", "click", "3"}), 0);
	EXPECT_FALSE (editor.host.waitForLine ("testview: size 300x200", true).empty ());
	EXPECT_TRUE (sizeIs (300, 200));
	EXPECT_TRUE (Desktop::eventually ([&] { return desktop.pixel (editor.window, 297, 197) == kViewColour; }));

	// Made smaller than the view allows: corrected to its smallest size.
	ASSERT_EQ (run ({"xdotool", "windowsize", editor.id (), "50", "40"}), 0);
	EXPECT_FALSE (editor.host.waitForLine ("testview: size 100x80", true).empty ())
	    << editor.host.text (true);
	EXPECT_TRUE (sizeIs (100, 80));

	desktop.requestClose (editor.window);
	expectCleanEnd (editor.host);
}

TEST (EditCommand, RefusesWithAClearMessage)
{
	{
		Program p (editArgs (), false);
		EXPECT_EQ (p.finish (), 1);
		EXPECT_NE (p.text (true).find ("DISPLAY is not set"), std::string::npos) << p.text (true);
		EXPECT_EQ (p.text (), "");
	}
	{
		Program p ({TOLVAR_TEST_HOST_EXE, "edit", TOLVAR_TEST_NO_EDITOR_BUNDLE});
		EXPECT_EQ (p.finish (), 1);
		EXPECT_NE (p.text (true).find ("the plug-in has no editor"), std::string::npos) << p.text (true);
	}
	for (const char* seconds : {"0", "-1", "soon"})
	{
		Program p (editArgs ({"--seconds", seconds}));
		EXPECT_EQ (p.finish (), 2) << seconds;
		EXPECT_NE (p.text (true).find ("--seconds expects"), std::string::npos) << p.text (true);
	}
}

} // namespace
