// The editor built from the bundle's description, bound to the controller both ways.
#include "editortestsupport.h"
#include "platformquery.h"
#include "plugids.h"
#include "testsupport.h"
#include "../vstgui/fontcachereset.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include "cslider.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <thread>

namespace testsupport {
namespace {

using VSTGUI::CParamDisplay;
using VSTGUI::CPoint;
using VSTGUI::CSlider;
using VSTGUI::COnOffButton;
using VSTGUI::VST3Editor;

size_t count (const std::vector<std::string>& log, const std::string& prefix)
{
	return static_cast<size_t> (std::count_if (log.begin (), log.end (), [&] (const std::string& e) {
		return e.compare (0, prefix.size (), prefix) == 0;
	}));
}

class Editor : public ::testing::Test
{
protected:
	void SetUp () override
	{
		ASSERT_EQ (controller->initialize (host.get ()), kResultOk);
		controller->setComponentHandler (&handler);
	}
	void TearDown () override
	{
		controller->setComponentHandler (nullptr);
		controller->terminate ();
	}
	IPtr<VST3Editor> open (const std::string& description = bundleDescription ())
	{
		return openEditor (controller, plugFrame.get (), description);
	}
	void runUITimers () { plugFrame->runTimers (); }

	IPtr<TestController> controller = Steinberg::owned (new TestController);
	tolvarhost::Ref<tolvarhost::HostApplication> host {new tolvarhost::HostApplication};
	tolvarhost::Ref<tolvarhost::PlugFrame> plugFrame {new tolvarhost::PlugFrame};
	RecordingHandler handler;
};

TEST_F (Editor, BundleDescriptionGivesEveryParameterItsControls)
{
	auto editor = open ();
	ASSERT_TRUE (editor);
	EXPECT_NE (findView<COnOffButton> (editor, kBypassId), nullptr);
	const char* texts[] = {"0.00 dB", "50 %", "20.0 ms", "1.60 s", "10000 m3", "100 %", "75 %", "2500 Hz"};
	for (ParamID id = kLevelId; id <= kLPCutId; ++id)
	{
		SCOPED_TRACE (id);
		auto* slider = findView<CSlider> (editor, static_cast<VSTGUI::int32> (id));
		ASSERT_NE (slider, nullptr);
		EXPECT_FLOAT_EQ (slider->getValue (), static_cast<float> (controller->getParamNormalized (id)));
		EXPECT_EQ (slider->getEffectiveSliderMode (), VSTGUI::CSliderMode::KWFreeClick);
		auto* display = findView<CParamDisplay> (editor, static_cast<VSTGUI::int32> (id));
		ASSERT_NE (display, nullptr);
		EXPECT_EQ (display->getDisplayText (), texts[id - 1]);
	}
	EXPECT_EQ (controller->aboutControllers.size (), 1u);
}

// Host-side changes, from any thread, reach the controls on the UI thread at the next turn
// of the host's run loop, which the change wakes: an open editor runs no timer. A control
// already at the host's value but drawn elsewhere (after a reset click) is redrawn.
TEST_F (Editor, HostChangesMoveTheControlsOnTheUIThread)
{
	tolvarhost::Ref<LoopFrame> loopFrame {new LoopFrame};
	auto editor = openEditor (controller, loopFrame.get (), bundleDescription ());
	ASSERT_TRUE (editor);
	EXPECT_EQ (loopFrame->loop->timerCount (), 0u);
	auto* slider = findView<CSlider> (editor, kRvbTimeId);
	auto* display = findView<CParamDisplay> (editor, kRvbTimeId);
	const float before = slider->getValue ();
	std::thread other ([&] { controller->setParamNormalized (kRvbTimeId, 1.0); });
	other.join ();
	EXPECT_EQ (slider->getValue (), before);
	loopFrame->turn ();
	EXPECT_EQ (slider->getValue (), 1.f);
	EXPECT_EQ (display->getDisplayText (), "8.00 s");

	RecordBytes record;
	record.bypass = 1;
	for (int i = 0; i < 8; ++i)
		record.values[i] = 0.1 * (i + 1);
	ByteStream state (record.bytes ());
	ASSERT_EQ (controller->setComponentState (&state), kResultOk);
	loopFrame->turn ();
	EXPECT_TRUE (findView<COnOffButton> (editor, kBypassId)->isOn ());
	for (ParamID id = kLevelId; id <= kLPCutId; ++id)
		EXPECT_FLOAT_EQ (findView<CSlider> (editor, static_cast<VSTGUI::int32> (id))->getValue (),
		                 0.1f * id);
	EXPECT_TRUE (handler.log.empty ()) << "host-side changes are not edits";

	auto* offscreen =
	    dynamic_cast<VSTGUI::OffscreenPlatformFrame*> (editor->getFrame ()->getPlatformFrame ());
	ASSERT_NE (offscreen, nullptr);
	offscreen->render ();
	click (slider, VSTGUI::CControl::kDefaultValueModifier);
	loopFrame->turn ();
	EXPECT_EQ (slider->getValue (), slider->getDefaultValue ());
	EXPECT_TRUE (offscreen->getDirtyRect ().pointInside (centreOf (slider)));

	// A run loop that watches no descriptors has the changes polled by a timer.
	auto polled = open ();
	ASSERT_TRUE (polled);
	controller->setParamNormalized (kMixId, 0.25);
	runUITimers ();
	EXPECT_EQ (findView<CSlider> (polled, kMixId)->getValue (), 0.25f);
}

// Hosts call the controller from a worker thread (automation, preset loads) while the user
// opens and closes editors: nothing crashes, and the sanitizer and thread-checker builds
// see no bad access and no race.
TEST_F (Editor, ControllerCallsFromAnotherThreadWhileEditorsOpenAndClose)
{
	tolvarhost::Ref<LoopFrame> loopFrame {new LoopFrame};
	std::atomic<bool> done {false};
	std::thread worker ([&] {
		RecordBytes record;
		std::u16string typed = u"3.5";
		for (unsigned i = 0; !done; ++i)
		{
			const ParamID id = i % 9;
			const double v = (i % 101) / 100.;
			controller->setParamNormalized (id, v);
			String128 text;
			controller->getParamStringByValue (id, v, text);
			ParamValue parsed;
			controller->getParamValueByString (id, typed.data (), parsed);
			controller->plainParamToNormalized (id, controller->normalizedParamToPlain (id, v));
			if (i % 16 == 0)
			{
				record.bypass = static_cast<int32> (i % 2);
				record.values[i % 8] = 1. - v;
				ByteStream state (record.bytes ());
				controller->setComponentState (&state);
			}
		}
	});
	int opened = 0;
	for (int cycle = 0; cycle < 100; ++cycle)
	{
		auto editor = openEditor (controller, loopFrame.get (), bundleDescription ());
		if (!editor)
			continue;
		++opened;
		for (int turn = 0; turn < 3; ++turn)
			loopFrame->turn (1);
		// Half of the hosts release the editor, the others remove it first.
		if (cycle % 2 == 0)
			editor->removed ();
	}
	done = true;
	worker.join ();
	EXPECT_EQ (opened, 100);
	EXPECT_EQ (loopFrame->loop->eventHandlerCount (), 0u);
	EXPECT_EQ (loopFrame->loop->timerCount (), 0u);
}

// A host may close the editor, by removing or releasing it, at any step of an edit: the
// gesture still ends, the editor's timers go, and nothing of the closed editor is used
// afterwards (the sanitizer build sees to that).
TEST_F (Editor, ClosingInsideAnEditEndsTheGestureSafely)
{
	struct ClosingHandler : RecordingHandler
	{
		std::string when;
		std::function<void ()> close;
		tresult closeOn (const char* what)
		{
			if (close && when == what)
				std::exchange (close, nullptr) ();
			return kResultOk;
		}
		tresult PLUGIN_API beginEdit (ParamID id) override
		{
			RecordingHandler::beginEdit (id);
			return closeOn ("begin");
		}
		tresult PLUGIN_API performEdit (ParamID id, ParamValue v) override
		{
			RecordingHandler::performEdit (id, v);
			return closeOn ("perform");
		}
		tresult PLUGIN_API endEdit (ParamID id) override
		{
			RecordingHandler::endEdit (id);
			return closeOn ("end");
		}
	};
	enum Gesture { drag, wheel, key, ramp };
	for (const char* when : {"begin", "perform", "end"})
	{
		for (Gesture gesture : {drag, wheel, key, ramp})
		{
			SCOPED_TRACE (std::string (when) + " " + std::to_string (gesture));
			ClosingHandler closing;
			controller->setComponentHandler (&closing);
			auto editor = open ();
			ASSERT_TRUE (editor);
			// Half of the hosts release the editor, the others only remove it.
			closing.when = when;
			closing.close = [&, release = gesture % 2 == 1] {
				if (release)
					editor = nullptr;
				else
					editor->removed ();
			};
			auto stillOpen = [&] { return closing.close != nullptr; };
			auto* frame = editor->getFrame ();
			auto* slider = findView<CSlider> (editor, kMixId);
			CPoint p = centreOf (slider);
			switch (gesture)
			{
				case drag:
				{
					CPoint q (p.x, p.y - 30.);
					frame->platformOnMouseDown (p, VSTGUI::kLButton);
					if (stillOpen ())
						frame->platformOnMouseMoved (q, VSTGUI::kLButton);
					if (stillOpen ())
						frame->platformOnMouseUp (q, 0);
					break;
				}
				case wheel:
					frame->platformOnMouseWheel (p, VSTGUI::kMouseWheelAxisY, 1.f, 0);
					if (stillOpen ())
						runUITimers (); // the wheel edit's end
					break;
				case key:
				{
					frame->setFocusView (slider);
					VSTGUI::VstKeyCode up {};
					up.virt = VSTGUI::VKEY_UP;
					frame->platformOnKeyDown (up);
					break;
				}
				case ramp:
					slider->setSliderMode (VSTGUI::CSliderMode::Ramp);
					p = CPoint (slider->getViewSize ().getCenter ().x, slider->getViewSize ().top + 2.);
					slider->localToFrame (p);
					frame->platformOnMouseDown (p, VSTGUI::kLButton);
					for (int step = 0; step < 20 && stillOpen (); ++step)
						runUITimers ();
					if (stillOpen ())
						frame->platformOnMouseUp (p, 0);
					break;
			}
			EXPECT_FALSE (stillOpen ());
			EXPECT_EQ (count (closing.log, "begin"), count (closing.log, "end"));
			EXPECT_EQ (plugFrame->numTimers (), 0u);
			EXPECT_TRUE (controller->aboutControllers.empty ());
			controller->setComponentHandler (nullptr);
		}
	}
}

TEST_F (Editor, TwoEditorsWithAboutBoxesCloseInEitherOrder)
{
	for (bool firstGoesFirst : {true, false})
	{
		IPtr<VST3Editor> editors[] = {open (), open ()};
		ASSERT_TRUE (editors[0] && editors[1]);
		ASSERT_EQ (controller->aboutControllers.size (), 2u);
		const int gone = firstGoesFirst ? 0 : 1;
		const int kept = 1 - gone;
		auto* keptAbout = controller->aboutControllers[kept];
		EXPECT_EQ (editors[gone]->removed (), kResultOk);
		ASSERT_EQ (controller->aboutControllers.size (), 1u);
		EXPECT_EQ (controller->aboutControllers[0], keptAbout);

		// The other editor and its about box work on.
		auto* button = findView<COnOffButton> (editors[kept], -1);
		ASSERT_NE (button, nullptr);
		click (button);
		auto* box = static_cast<VSTGUI::CViewContainer*> (button->getParentView ());
		VSTGUI::CTextLabel* line = nullptr;
		box->forEachDescendant ([&] (VSTGUI::CView* v) {
			if (auto* l = dynamic_cast<VSTGUI::CTextLabel*> (v))
				line = l;
		});
		ASSERT_NE (line, nullptr);
		EXPECT_EQ (line->getText ().getString (),
		           std::string ("1.0.0, VST3 ") + queryPlatformText ().text8 () + "  ");
		editors[kept] = nullptr;
		EXPECT_TRUE (controller->aboutControllers.empty ());
	}
}

// The calls of hosts that the window test cannot make: unknown names and platform types,
// the knob mode createView sets, a second opening after removed(), sizes of any kind.
TEST_F (Editor, ViewLifecycleAsHostsDriveIt)
{
	controller->setKnobMode (kCircularMode);
	EXPECT_EQ (controller->createView ("Editor"), nullptr);
	EXPECT_EQ (EditController::getHostKnobMode (), kCircularMode);
	// Inside this test program there is no bundle around the module, so no description.
	EXPECT_EQ (controller->createView ("editor"), nullptr);
	EXPECT_EQ (EditController::getHostKnobMode (), kLinearMode);

	auto editor = Steinberg::owned (new VST3Editor (controller, "view", bundleDescription ().c_str ()));
	EXPECT_EQ (editor->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID), kResultTrue);
	EXPECT_EQ (editor->isPlatformTypeSupported (VST3Editor::kPlatformTypeOffscreen), kResultFalse);
	EXPECT_EQ (editor->isPlatformTypeSupported (kPlatformTypeHWND), kResultFalse);
	editor->setFrame (plugFrame.get ());
	EXPECT_EQ (editor->attached (nullptr, kPlatformTypeHWND), kInvalidArgument);
	for (int round = 0; round < 2; ++round)
	{
		EXPECT_EQ (editor->attached (nullptr, VST3Editor::kPlatformTypeOffscreen), kResultOk);
		EXPECT_EQ (editor->removed (), kResultOk);
	}

	// The editor keeps its size whatever rectangle a host passes, open or not.
	const int32 big = std::numeric_limits<int32>::max (), small = std::numeric_limits<int32>::min ();
	const ViewRect rects[] = {{0, 0, 0, 0},
	                          {10, 10, 0, 0},
	                          {0, 0, 100000, 100000},
	                          {0, 0, big, big},
	                          {small, small, big, big},
	                          {big, big, big, big},
	                          {big - 5, 0, small, 340},
	                          {5, 7, 645, 347}};
	for (bool open : {false, true})
	{
		if (open)
		{
			ASSERT_EQ (editor->attached (nullptr, VST3Editor::kPlatformTypeOffscreen), kResultOk);
		}
		for (const ViewRect& r : rects)
		{
			SCOPED_TRACE (std::to_string (r.left) + " " + std::to_string (r.top) + " " +
			              std::to_string (r.right) + " " + std::to_string (r.bottom));
			ViewRect asked = r;
			const bool same = int64 {r.right} - r.left == 640 && int64 {r.bottom} - r.top == 340;
			EXPECT_EQ (editor->onSize (&asked), same ? kResultTrue : kResultFalse);
			ViewRect size;
			ASSERT_EQ (editor->getSize (&size), kResultTrue);
			EXPECT_EQ (size.getWidth (), 640);
			EXPECT_EQ (size.getHeight (), 340);
			ASSERT_EQ (editor->checkSizeConstraint (&asked), kResultTrue);
			EXPECT_EQ (int64 {asked.right} - asked.left, 640);
			EXPECT_EQ (int64 {asked.bottom} - asked.top, 340);
			EXPECT_EQ (asked.left, std::min (r.left, big - 640));
		}
		if (open)
		{
			EXPECT_EQ (editor->getFrame ()->getViewSize ().getWidth (), 640.);
		}
	}
	EXPECT_EQ (editor->canResize (), kResultFalse);
}

//------------------------------------------------------------------------
// Descriptions that are broken, as a whole or in parts.
class BadDescription : public Editor
{
protected:
	static std::string tmp (const std::string& name)
	{
		const std::string path = std::string (TOLVAR_TEST_TMP) + "/" + name;
		std::filesystem::remove_all (path);
		return path;
	}
	std::string write (const std::string& name, const std::string& text)
	{
		const std::string path = tmp (name);
		std::ofstream (path, std::ios::binary) << text;
		return path;
	}
	static std::string bundleText ()
	{
		std::ifstream in (bundleDescription (), std::ios::binary);
		return std::string (std::istreambuf_iterator<char> (in), {});
	}
	// A description with one template holding the given views.
	static std::string withViews (const std::string& views, const std::string& bitmaps = "")
	{
		return "<vstgui-ui-description version=\"1\"><bitmaps>" + bitmaps +
		       "</bitmaps><control-tags><control-tag name=\"Mix\" tag=\"2\"/>"
		       "<control-tag name=\"Nothing\" tag=\"42\"/></control-tags>"
		       "<template name=\"view\" class=\"CViewContainer\" size=\"100, 100\">" +
		       views + "</template></vstgui-ui-description>";
	}
};

TEST_F (BadDescription, UnreadableDescriptionsGiveNoEditor)
{
	const std::string text = bundleText ();
	ASSERT_GT (text.size (), 1000u);
	std::string deep = "<vstgui-ui-description><template name=\"view\" class=\"CViewContainer\" size=\"9, 9\">";
	for (int i = 0; i < 40; ++i)
		deep += "<view class=\"CViewContainer\">";
	const std::string folder = tmp ("folder.uidesc"), fifo = tmp ("fifo.uidesc"), zero = tmp ("zero.uidesc");
	std::filesystem::create_directory (folder);
	ASSERT_EQ (mkfifo (fifo.c_str (), 0600), 0);
	std::filesystem::create_symlink ("/dev/zero", zero);
	const std::string good = withViews ("");
	const size_t cap = VSTGUI::UIDescription::kMaxFileSize;
	std::string views;
	for (size_t i = 0; i < VSTGUI::UIDescription::kMaxElements; ++i)
		views += "<view class=\"CView\"/>";
	const struct
	{
		const char* name;
		std::string path;
	} cases[] = {
	    {"missing", std::string (TOLVAR_TEST_TMP) + "/none.uidesc"},
	    {"empty", write ("empty.uidesc", "")},
	    {"truncated", write ("truncated.uidesc", text.substr (0, text.size () / 2))},
	    {"not xml", write ("garbage.uidesc", std::string ("\x89PNG\r\n\x1a\n\0\0", 10))},
	    {"malformed", write ("malformed.uidesc", "<vstgui-ui-description><template name=\"view\"></vstgui-ui-description>")},
	    {"other root", write ("root.uidesc", "<svg/>")},
	    {"too deep", write ("deep.uidesc", deep)},
	    {"missing bitmap", write ("bitmap.uidesc", withViews ("", "<bitmap name=\"b\" path=\"nothere.png\"/>"))},
	    {"bitmap outside", write ("outside.uidesc", withViews ("", "<bitmap name=\"b\" path=\"../x.png\"/>"))},
	    {"no template size", write ("nosize.uidesc", "<vstgui-ui-description><template name=\"view\" class=\"CViewContainer\"/></vstgui-ui-description>")},
	    {"bad colour", write ("colour.uidesc", "<vstgui-ui-description><colors><color name=\"c\" rgba=\"#12\"/></colors></vstgui-ui-description>")},
	    {"document type", write ("doctype.uidesc", "<!DOCTYPE d [<!ENTITY e \"x\">]>" + good)},
	    {"over the cap", write ("big.uidesc", good + std::string (cap + 1 - good.size (), ' '))},
	    {"too many elements", write ("many.uidesc", withViews (views))},
	    {"directory", folder},
	    {"fifo", fifo},
	    {"endless device", zero},
	    {"read error", "/proc/self/mem"}, // a regular file whose first page cannot be read
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE (c.name);
		auto editor = Steinberg::owned (new VST3Editor (controller, "view", c.path.c_str ()));
		EXPECT_FALSE (editor->isDescriptionLoaded ());
		ViewRect size;
		EXPECT_EQ (editor->getSize (&size), kResultFalse);
		editor->setFrame (plugFrame.get ());
		EXPECT_EQ (editor->attached (nullptr, VST3Editor::kPlatformTypeOffscreen), kResultFalse);
	}
	EXPECT_TRUE (controller->aboutControllers.empty ());
}

// Big descriptions inside the caps open: a node with 10^5 attributes, a file of the cap's size.
TEST_F (BadDescription, DescriptionsAtTheCapsOpen)
{
	std::string attributes;
	for (int i = 0; i < 100000; ++i)
		attributes += " a" + std::to_string (i) + "=\"\"";
	const std::string many = withViews ("<view class=\"CSlider\" size=\"10, 50\" control-tag=\"Mix\"" + attributes + "/>");
	const std::string good = withViews ("<view class=\"CSlider\" size=\"10, 50\" control-tag=\"Mix\"/>");
	for (const auto& text : {many, good + std::string (VSTGUI::UIDescription::kMaxFileSize - good.size (), ' ')})
	{
		auto editor = open (write ("large.uidesc", text));
		ASSERT_TRUE (editor);
		auto* mix = findView<CSlider> (editor, kMixId);
		ASSERT_NE (mix, nullptr);
		EXPECT_EQ (mix->getViewSize ().getHeight (), 50.);
	}
}

TEST_F (BadDescription, BrokenViewsAreLeftOut)
{
	const std::string views =
	    "<view class=\"CSlider\" size=\"10, 50\" control-tag=\"Mix\" no-such-attribute=\"1\"/>"
	    "<view class=\"NoSuchView\" size=\"10, 10\"><view class=\"CSlider\" control-tag=\"Mix\"/></view>"
	    "<view class=\"CSlider\" control-tag=\"Nothing\"/>"
	    "<view class=\"CSlider\" control-tag=\"Undeclared\"/>"
	    "<view class=\"CControl\"/>"
	    "<view class=\"CViewContainer\" sub-controller=\"NoSuchController\">"
	    "  <view class=\"CTextLabel\" title=\"kept\"/></view>"
	    "<view class=\"CViewContainer\" sub-controller=\"AboutController\">"
	    "  <view class=\"NoSuchView\"/><view class=\"COnOffButton\"/></view>";
	auto editor = open (write ("parts.uidesc", withViews (views)));
	ASSERT_TRUE (editor);
	auto* root = static_cast<VSTGUI::CViewContainer*> (editor->getFrame ()->getView (0));
	ASSERT_NE (root, nullptr);
	EXPECT_EQ (root->getNbViews (), 3u);
	auto* mix = findView<CSlider> (editor, kMixId);
	ASSERT_NE (mix, nullptr);
	EXPECT_EQ (mix->getViewSize ().getHeight (), 50.);
	EXPECT_EQ (controller->aboutControllers.size (), 1u);
	click (findView<COnOffButton> (editor, -1)); // an about box without a label stays silent
	editor = nullptr;
	EXPECT_TRUE (controller->aboutControllers.empty ());
}

} // namespace
} // namespace testsupport
