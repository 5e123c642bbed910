// tolvar-host edit on the X server DISPLAY names (run-xvfb.sh starts one): the plug-in's own
// editor driven like a user drives it, and a small resizable test view for the host's sizing.
#include "windowsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using namespace wtest;

// More of the editor's colours and places: the Mix slider (x, y, width, height) and its
// handle's centre at the default value.
constexpr unsigned long kEditorFooter = 0x232A31;
constexpr int kMixSlider[] = {116, 98, 28, 168};
const std::string kMix = std::to_string (kMixX), kMixAboveHandle = "110", kMixMiddle = "200";
const std::string kMixHandleAtDefault = "182";
const std::string kPredelayX = "206";
const std::string kAboutButtonX = "609", kAboutButtonY = "322";
constexpr int kAboutLine[] = {18, 314, 560, 18}; // x, y, width, height

// The test view's colour and size (see testview/testview.cpp).
constexpr unsigned long kViewColour = 0x2080C0;

// The host ended with status 0 and found nothing left registered.
void expectCleanEnd (Program& host)
{
	EXPECT_EQ (host.finish (), 0) << host.text (true);
	EXPECT_EQ (host.text (true).find ("registered after removed()"), std::string::npos) << host.text (true);
}

// tolvar-host edit on a bundle, up to its "window" line and the view's first picture.
struct OpenEditor
{
	Program host;
	WindowId window = 0;
	std::string size;
	bool shown = false;

	OpenEditor (Desktop& desktop, const std::string& bundle, unsigned long colour, int x, int y,
	            const std::string& embedding = "xembed-strict")
	: host ({TOLVAR_TEST_HOST_EXE, "edit", bundle, "--embed", embedding})
	{
		const std::string line = host.waitForLine ("window ");
		if (line.empty ())
			return;
		size = line.substr (line.rfind (' ') + 1);
		window = std::strtoul (line.c_str () + 7, nullptr, 10);
		// Asked of the server: the view's own window can be seen, and shows the view.
		shown = window && Desktop::eventually ([&] {
			        return desktop.viewable (desktop.innermost (window)) &&
			               desktop.pixel (window, x, y) == colour;
		        });
	}

	std::string id () const { return std::to_string (window); }

	// Runs xdotool (each "W" stands for the window) and gives the lines printed up to the
	// first that starts with last.
	std::vector<std::string> gesture (std::vector<std::string> args, const std::string& last)
	{
		const size_t before = host.lines ().size ();
		for (auto& a : args)
			if (a == "W")
				a = id ();
		args.insert (args.begin (), "xdotool");
		EXPECT_EQ (run (args), 0);
		EXPECT_FALSE (host.waitForLine (last).empty ()) << host.text ();
		const auto& lines = host.lines ();
		return std::vector<std::string> (
		    lines.begin () + static_cast<long> (std::min (before, lines.size ())), lines.end ());
	}
};

TEST (EditWindow, TheEditorFollowsMouseWheelAndKeysAndDrawsWhatChanges)
{
	Desktop desktop;
	ASSERT_TRUE (desktop.ok ()) << "no X server (run through run-xvfb.sh)";
	OpenEditor editor (desktop, TOLVAR_TEST_BUNDLE, kEditorBackground, kBackgroundX, kBackgroundY);
	ASSERT_TRUE (editor.shown) << editor.host.text (true);
	EXPECT_EQ (editor.size, "640x340");
	auto mixSlider = [&] {
		return desktop.pixels (editor.window, kMixSlider[0], kMixSlider[1], kMixSlider[2], kMixSlider[3]);
	};
	const auto mixAtDefault = mixSlider ();
	ASSERT_FALSE (mixAtDefault.empty ());

	// A drag keeps the slider even below the window, until its release there.
	auto drag = editor.gesture ({"mousemove", "--window", "W", kMix, kMixAboveHandle, "mousedown", "1",
	                             "mousemove", "--window", "W", kMix, "500", "mouseup", "1"},
	                            "end ");
	ASSERT_EQ (drag.size (), 4u) << editor.host.text ();
	EXPECT_EQ (drag[0], "begin 2 Mix");
	EXPECT_GT (std::atof (drag[1].c_str () + std::string ("edit 2 Mix ").size ()), 0.7) << drag[1];
	EXPECT_EQ (drag[2], "edit 2 Mix 0.000000 0");
	EXPECT_EQ (drag[3], "end 2 Mix");

	// The keyboard stays with the host: a key the editor does not use reaches it, from the
	// editor's window too.
	EXPECT_EQ (desktop.focus (), editor.window);
	EXPECT_EQ (editor.gesture ({"mousemove", "--window", "W", "300", "20", "key", "space"}, "host key"),
	           (std::vector<std::string> {"host key space"}));

	// Alt-click: the default, as one complete edit, drawn at once; a click on the handle
	// where it is drawn then keeps the value.
	EXPECT_EQ (editor.gesture ({"keydown", "alt", "mousemove", "--window", "W", kMix, kMixMiddle, "click",
	                            "1", "keyup", "alt"},
	                           "end "),
	           (std::vector<std::string> {"begin 2 Mix", "edit 2 Mix 0.500000 50", "end 2 Mix"}));
	EXPECT_TRUE (Desktop::eventually ([&] { return mixSlider () == mixAtDefault; }));
	EXPECT_EQ (
	    editor.gesture ({"mousemove", "--window", "W", kMix, kMixHandleAtDefault, "click", "1"}, "end "),
	    (std::vector<std::string> {"begin 2 Mix", "end 2 Mix"}));

	// The clicked slider takes the keys the host passes on, with the pointer elsewhere: an
	// arrow is a step, Escape puts a drag back.
	EXPECT_EQ (editor.gesture ({"mousemove", "900", "900", "key", "Up"}, "end "),
	           (std::vector<std::string> {"begin 2 Mix", "edit 2 Mix 0.600000 60", "end 2 Mix"}));
	EXPECT_EQ (editor.gesture ({"key", "shift+Down"}, "end "),
	           (std::vector<std::string> {"begin 2 Mix", "edit 2 Mix 0.590000 59", "end 2 Mix"}));
	auto cancelled = editor.gesture ({"mousemove", "--window", "W", kMix, kMixAboveHandle, "mousedown", "1",
	                                  "key", "Escape", "mouseup", "1"},
	                                 "end ");
	ASSERT_EQ (cancelled.size (), 4u) << editor.host.text ();
	EXPECT_EQ (cancelled[2], "edit 2 Mix 0.590000 59");

	// A wheel notch is an edit that ends on a timer, half a second after the notch.
	EXPECT_EQ (
	    editor.gesture ({"mousemove", "--window", "W", kPredelayX, kMixMiddle, "click", "4"}, "end "),
	    (std::vector<std::string> {"begin 3 Predelay", "edit 3 Predelay 0.642562 34.7", "end 3 Predelay"}));

	// The about button shows its line at once; it is no parameter.
	auto aboutLine = [&] {
		return desktop.pixels (editor.window, kAboutLine[0], kAboutLine[1], kAboutLine[2], kAboutLine[3]);
	};
	auto footerPixels = [] (const std::vector<unsigned long>& p) {
		return std::count (p.begin (), p.end (), kEditorFooter);
	};
	const auto before = aboutLine ();
	ASSERT_FALSE (before.empty ());
	EXPECT_EQ (footerPixels (before), static_cast<long> (before.size ()));
	ASSERT_EQ (
	    run ({"xdotool", "mousemove", "--window", editor.id (), kAboutButtonX, kAboutButtonY, "click", "1"}),
	    0);
	EXPECT_TRUE (Desktop::eventually ([&] {
		const auto after = aboutLine ();
		return !after.empty () && footerPixels (after) < static_cast<long> (after.size ()) - 100;
	}));
	EXPECT_EQ (editor.host.waitForLine ("", false, 300ms), "");

	// Hidden and shown again, it draws everything again.
	ASSERT_EQ (run ({"xdotool", "windowunmap", "--sync", editor.id (), "windowmap", "--sync", editor.id ()}),
	           0);
	EXPECT_TRUE (Desktop::eventually ([&] {
		return desktop.pixel (editor.window, kBackgroundX, kBackgroundY) == kEditorBackground &&
		       footerPixels (aboutLine ()) < static_cast<long> (before.size ()) - 100;
	}));

	desktop.requestClose (editor.window);
	expectCleanEnd (editor.host);
	EXPECT_EQ (editor.host.text (true), "");
}

TEST (EditWindow, FollowsTheViewsResizeAsksItsConstraintAndSurvivesItsXErrors)
{
	Desktop desktop;
	ASSERT_TRUE (desktop.ok ());
	// A view that leaves mapping to the embedder, as an embedder of that family does.
	OpenEditor editor (desktop, TOLVAR_TEST_VIEW_BUNDLE, kViewColour, 237, 157, "sdk-sample");
	ASSERT_TRUE (editor.shown) << editor.host.text (true);
	EXPECT_EQ (editor.size, "240x160");
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
	EXPECT_TRUE (
	    Desktop::eventually ([&] { return desktop.pixel (editor.window, 297, 197) == kViewColour; }));

	// Made smaller than the view allows: corrected to its smallest size.
	ASSERT_EQ (run ({"xdotool", "windowsize", editor.id (), "50", "40"}), 0);
	EXPECT_FALSE (editor.host.waitForLine ("testview: size 100x80", true).empty ())
	    << editor.host.text (true);
	EXPECT_TRUE (sizeIs (100, 80));

	// An X error in the view's connection is reported, and the host goes on.
	ASSERT_EQ (run ({"xdotool", "click", "2"}), 0);
	EXPECT_FALSE (editor.host.waitForLine ("tolvar-host: X error", true).empty ());

	desktop.requestClose (editor.window);
	expectCleanEnd (editor.host);
}

TEST (EditCommand, RefusesWithAClearMessageAndKeepsToItsSeconds)
{
	{
		Program p ({"env", "-u", "DISPLAY", TOLVAR_TEST_HOST_EXE, "edit", TOLVAR_TEST_BUNDLE});
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
		Program p ({TOLVAR_TEST_HOST_EXE, "edit", TOLVAR_TEST_BUNDLE, "--seconds", seconds});
		EXPECT_EQ (p.finish (), 2) << seconds;
		EXPECT_NE (p.text (true).find ("--seconds expects"), std::string::npos) << p.text (true);
	}
	Program badEmbedding ({TOLVAR_TEST_HOST_EXE, "edit", TOLVAR_TEST_BUNDLE, "--embed", "gtk"});
	EXPECT_EQ (badEmbedding.finish (), 2);
	EXPECT_NE (badEmbedding.text (true).find ("--embed expects"), std::string::npos)
	    << badEmbedding.text (true);
	// A valid one: the editor opens and closes by itself.
	Program timed ({TOLVAR_TEST_HOST_EXE, "edit", TOLVAR_TEST_BUNDLE, "--seconds", "1"});
	EXPECT_FALSE (timed.waitForLine ("window ").empty ()) << timed.text (true);
	expectCleanEnd (timed);
}

// Each embedder family shows the editor, drawn, in its window, and the window closes cleanly.
TEST (EditWindow, EveryEmbeddingShowsTheEditor)
{
	Desktop desktop;
	ASSERT_TRUE (desktop.ok ());
	for (const auto& embedding : kEmbeddings)
	{
		OpenEditor editor (desktop, TOLVAR_TEST_BUNDLE, kEditorBackground, kBackgroundX, kBackgroundY,
		                   embedding);
		EXPECT_TRUE (editor.shown) << embedding << ": " << editor.host.text (true);
		EXPECT_TRUE (desktop.filled (editor.window, kBackgroundStrip, kEditorBackground)) << embedding;
		desktop.requestClose (editor.window);
		expectCleanEnd (editor.host);
	}
}

} // namespace
