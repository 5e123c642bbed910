// The plug-in's editor in windows of the host library, in this process: in each embedder
// family, several at once, and hosts and embedders that call it wrongly.
#include "windowsupport.h"

#include "editorwindow.h"
#include "module.h"
#include "plugids.h"
#include "plugin.h"
#include "../vstgui/fontcachereset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

namespace {

using namespace wtest;
using namespace tolvarhost;

// A y near the sliders' top: track at the default value, handle at 1.
constexpr int kTopY = 102;
// The VST 3 key code of the up arrow.
constexpr int16 kKeyUp = 12;
// An id no client of a small X server has handed out.
constexpr uintptr_t kNoSuchWindow = 0x7FFFFFF;
// XEmbed: the message that tells a client it is embedded, and the flag by which the
// client asks to be mapped.
constexpr long kXEmbedEmbeddedNotify = 0, kXEmbedMapped = 1;

std::unique_ptr<Module> loadBundle ()
{
	std::string error;
	auto module = Module::load (TOLVAR_TEST_BUNDLE, error);
	EXPECT_TRUE (module) << error;
	return module;
}

// A host frame that answers one run loop for every view it is given, as a host with one
// UI loop for all its editors does.
class OneLoopFrame : public HostObject<IPlugFrame>
{
public:
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (obj && isIid<Linux::IRunLoop> (iid))
		{
			loop->addRef ();
			*obj = static_cast<Linux::IRunLoop*> (loop.get ());
			return kResultOk;
		}
		return HostObject<IPlugFrame>::queryInterface (iid, obj);
	}
	tresult PLUGIN_API resizeView (IPlugView*, ViewRect*) override { return kResultFalse; }

	Ref<RunLoop> loop {new RunLoop};
};

std::shared_ptr<PluginInstance> newInstance (Module& module)
{
	std::string error;
	std::shared_ptr<PluginInstance> instance = PluginInstance::create (module, error);
	EXPECT_TRUE (instance) << error;
	return instance;
}

// An editor of a plug-in instance attached to a host window, as tolvar-host edit opens it.
struct ShownEditor
{
	std::shared_ptr<PluginInstance> plugin;
	Ref<IPlugView> view;
	std::unique_ptr<EditorWindow> window;
	// The run loop the view registers with when it is not the window's.
	RunLoop* otherLoop = nullptr;
	tresult attached = kResultFalse;

	// attach false: the window is made, the view is left for the test to attach.
	explicit ShownEditor (Module& module, bool attach = true, Embedding embedding = Embedding::xembedStrict)
	: ShownEditor (newInstance (module), nullptr, attach, embedding)
	{
	}
	// An editor of instance; the view gets frame, when given, instead of its window's.
	ShownEditor (std::shared_ptr<PluginInstance> instance, OneLoopFrame* frame, bool attach = true,
	             Embedding embedding = Embedding::xembedStrict)
	: plugin (std::move (instance))
	{
		std::string error;
		if (!plugin)
			return;
		view.reset (plugin->controller ()->createView ("editor"));
		window = EditorWindow::open (error);
		if (!view || !window || !window->create (view.get (), "editor", 640, 340, false, embedding, error))
			return;
		otherLoop = frame ? frame->loop.get () : nullptr;
		view->setFrame (frame ? static_cast<IPlugFrame*> (frame) : window->frame ());
		if (attach)
			attached = view->attached (parent (), kPlatformTypeX11EmbedWindowID);
	}
	~ShownEditor ()
	{
		if (window)
			close ();
	}

	void* parent () const { return reinterpret_cast<void*> (window->parentId ()); }
	std::string id () const { return std::to_string (window->windowId ()); }

	void close ()
	{
		if (view)
		{
			view->setFrame (nullptr);
			EXPECT_EQ (view->removed (), kResultOk);
		}
		window->releaseView ();
		EXPECT_EQ (window->runLoop ().eventHandlerCount (), 0u);
		EXPECT_EQ (window->runLoop ().timerCount (), 0u);
		view.reset ();
		window.reset ();
	}

	void pump ()
	{
		window->run (Clock::now () + 5ms, nullptr);
		if (otherLoop)
			otherLoop->iterate (Clock::now () + 1ms);
	}
};

// Turns the run loops of the open windows in turn until check answers true.
bool pumpUntil (const std::vector<ShownEditor*>& editors, const std::function<bool ()>& check)
{
	return Desktop::eventually ([&] {
		for (auto* e : editors)
			e->pump ();
		return check ();
	});
}

bool isSocket (int fd)
{
	struct stat s;
	return ::fstat (fd, &s) == 0 && S_ISSOCK (s.st_mode);
}

// The sockets this process has open.
int openSockets ()
{
	int count = 0;
	for (const auto& fd : std::filesystem::directory_iterator ("/proc/self/fd"))
		count += isSocket (std::atoi (fd.path ().filename ().c_str ()));
	return count;
}

// The X connections (sockets) a run loop watches for plug-ins.
size_t watchedSockets (RunLoop& loop)
{
	const auto fds = loop.descriptors ();
	return static_cast<size_t> (std::count_if (fds.begin (), fds.end (), isSocket));
}

// A click low on the Mix slider, then the up arrow from the host: a step up from the clicked
// value, each one complete edit.
void expectClicksAndKeys (ShownEditor& editor)
{
	auto* handler = editor.plugin->componentHandler ();
	handler->edits.clear ();
	ASSERT_EQ (
	    run ({"xdotool", "mousemove", "--window", editor.id (), std::to_string (kMixX), "250", "click", "1"}),
	    0);
	EXPECT_TRUE (pumpUntil ({&editor}, [&] { return !handler->edits.empty () && handler->openEdits == 0; }));
	ASSERT_EQ (handler->edits.size (), 1u);
	EXPECT_EQ (handler->edits[0].id, Steinberg::Vst::kMixId);
	const double clicked = handler->edits[0].value;
	EXPECT_LT (clicked, 0.5);
	EXPECT_EQ (editor.view->onKeyDown (0, kKeyUp, 0), kResultTrue);
	EXPECT_EQ (editor.view->onKeyUp (0, kKeyUp, 0), kResultFalse);
	ASSERT_EQ (handler->edits.size (), 2u);
	EXPECT_EQ (handler->openEdits, 0);
	EXPECT_NEAR (handler->edits[1].value, clicked + 0.1, 1e-6);
}

// Four editors of three instances: a and b with host loops of their own, b2 (a second editor
// of b's instance) and c on one host loop.
TEST (X11Editor, EditorsOfSeveralInstancesShareOneConnectionAndCloseInAnyOrder)
{
	Desktop desktop;
	ASSERT_TRUE (desktop.ok ()) << "no X server (run through run-xvfb.sh)";
	auto module = loadBundle ();
	ASSERT_TRUE (module);
	// Orders of closing, by index into a, b, b2, c.
	for (const std::string order : {"0123", "3210", "2031"})
	{
		SCOPED_TRACE ("closed in the order " + order);
		Ref<OneLoopFrame> oneLoop (new OneLoopFrame);
		const int socketsBefore = openSockets ();
		ShownEditor a (*module), b (*module);
		ShownEditor b2 (b.plugin, oneLoop.get ()), c (newInstance (*module), oneLoop.get ());
		const std::vector<ShownEditor*> all = {&a, &b, &b2, &c};
		std::vector<ShownEditor*> open = all;
		const char* const places[][2] = {{"0", "0"}, {"640", "0"}, {"0", "340"}, {"640", "340"}};
		for (size_t i = 0; i < open.size (); ++i)
		{
			ASSERT_EQ (open[i]->attached, kResultOk);
			ASSERT_EQ (run ({"xdotool", "windowmove", "--sync", open[i]->id (), places[i][0], places[i][1]}),
			           0);
		}
		// The editors' windows are on one X connection, registered once with the one loop.
		EXPECT_EQ (openSockets () - socketsBefore, 4 + 1);
		EXPECT_EQ (watchedSockets (*oneLoop->loop.get ()), 1u);
		auto pixel = [&] (ShownEditor* e, int x, int y) {
			return desktop.pixel (e->window->windowId (), x, y);
		};
		ASSERT_TRUE (pumpUntil (open, [&] {
			return std::all_of (open.begin (), open.end (), [&] (ShownEditor* e) {
				return desktop.filled (e->window->windowId (), kBackgroundStrip, kEditorBackground);
			});
		}));

		// A change from the host redraws the editors of its instance, and only those.
		const unsigned long track = pixel (&a, kMixX, kTopY);
		auto followMix = [&] (ShownEditor& changed) {
			for (double mix : {1., 0.5})
			{
				changed.plugin->controller ()->setParamNormalized (Steinberg::Vst::kMixId, mix);
				const bool shown = pumpUntil (open, [&] {
					return std::all_of (open.begin (), open.end (), [&] (ShownEditor* e) {
						const bool moved = e->plugin == changed.plugin && mix == 1.;
						return (pixel (e, kMixX, kTopY) != track) == moved;
					});
				});
				if (!shown)
					return false;
			}
			return true;
		};
		EXPECT_TRUE (followMix (b));
		for (const char gone : order)
		{
			ShownEditor* closing = all[static_cast<size_t> (gone - '0')];
			if (open.size () == 1)
				expectClicksAndKeys (*closing);
			closing->close ();
			open.erase (std::find (open.begin (), open.end (), closing));
			EXPECT_EQ (watchedSockets (*oneLoop->loop.get ()), b2.window || c.window ? 1u : 0u);
			for (auto* e : open)
				EXPECT_TRUE (followMix (*e)) << "after " << gone;
		}
	}
}

// Answers no run loop.
class FrameWithoutRunLoop : public HostObject<IPlugFrame>
{
public:
	tresult PLUGIN_API resizeView (IPlugView*, ViewRect*) override { return kResultFalse; }
};

// An editor with a host window, not attached yet; the view goes before the window.
class LooseEditor : public testing::Test
{
protected:
	void SetUp () override
	{
		ASSERT_TRUE (desktop.ok ());
		ASSERT_TRUE (module);
		editor = std::make_unique<ShownEditor> (*module, false);
		ASSERT_TRUE (editor->view && editor->window);
		view = editor->view.get ();
	}
	void TearDown () override
	{
		if (!editor)
			return;
		editor->window->releaseView ();
		editor->view.reset ();
	}

	Desktop desktop;
	std::unique_ptr<Module> module = loadBundle ();
	std::unique_ptr<ShownEditor> editor;
	IPlugView* view = nullptr;
};

TEST_F (LooseEditor, WrongHostCallsGetAClearAnswerAndLeaveNothingBehind)
{
	ShownEditor& host = *editor;
	const WindowId parent = host.window->parentId ();
	auto attach = [&] (void* window) { return view->attached (window, kPlatformTypeX11EmbedWindowID); };
	auto nothingLeft = [&] {
		const auto& loop = host.window->runLoop ();
		return loop.eventHandlerCount () == 0 && loop.timerCount () == 0 && desktop.childCount (parent) == 0;
	};
	testing::internal::CaptureStderr ();

	EXPECT_EQ (view->removed (), kResultFalse);
	EXPECT_EQ (view->onKeyDown (' ', 7, 0), kResultFalse);
	// A host without a run loop.
	view->setFrame (nullptr);
	EXPECT_EQ (attach (host.parent ()), kResultFalse);
	Ref<FrameWithoutRunLoop> bareFrame (new FrameWithoutRunLoop);
	view->setFrame (bareFrame.get ());
	EXPECT_EQ (attach (host.parent ()), kResultFalse);
	view->setFrame (host.window->frame ());
	// No X server to talk to.
	const std::string display = std::getenv ("DISPLAY");
	::unsetenv ("DISPLAY");
	EXPECT_EQ (attach (host.parent ()), kResultFalse);
	::setenv ("DISPLAY", display.c_str (), 1);
	// Parents that are no window.
	EXPECT_EQ (attach (reinterpret_cast<void*> (kNoSuchWindow)), kResultFalse);
	EXPECT_EQ (attach (reinterpret_cast<void*> (uintptr_t {1} << 40)), kResultFalse);
	EXPECT_EQ (attach (nullptr), kInvalidArgument);
	EXPECT_TRUE (nothingLeft ());

	// Attached twice: the second is refused, the first goes on.
	EXPECT_EQ (attach (host.parent ()), kResultOk);
	EXPECT_EQ (attach (host.parent ()), kResultFalse);
	EXPECT_TRUE (pumpUntil ({&host}, [&] {
		return desktop.pixel (host.window->windowId (), kBackgroundX, kBackgroundY) == kEditorBackground;
	}));
	EXPECT_EQ (desktop.childCount (parent), 1);
	// Keys from outside any range.
	for (int16 code : {int16 {-1}, int16 {0x7FFF}})
		EXPECT_EQ (view->onKeyDown (0xFFFF, code, code), kResultFalse) << code;

	// Released while attached: its handlers and its window go with it.
	host.window->releaseView ();
	host.view.reset ();
	EXPECT_TRUE (pumpUntil ({&host}, nothingLeft));
	EXPECT_EQ (testing::internal::GetCapturedStderr (), "") << "nothing reaches the host's X error handler";
}

// The window the view made in a parent, once it is there.
WindowId clientOf (Desktop& desktop, WindowId parent)
{
	const WindowId client = desktop.innermost (parent);
	return client != parent ? client : 0;
}

TEST (X11Editor, EachEmbeddingShowsTheEditorAndShowsItAgainWhenReopened)
{
	Desktop desktop;
	ASSERT_TRUE (desktop.ok ());
	auto module = loadBundle ();
	ASSERT_TRUE (module);
	for (const auto& name : kEmbeddings)
	{
		SCOPED_TRACE (name);
		Embedding embedding;
		ASSERT_TRUE (parseEmbedding (name, embedding));
		ShownEditor host (*module, true, embedding);
		ASSERT_EQ (host.attached, kResultOk);
		const WindowId parent = host.window->parentId ();
		auto shown = [&] {
			const WindowId client = clientOf (desktop, parent);
			return client && desktop.viewable (client) &&
			       desktop.filled (host.window->windowId (), kBackgroundStrip, kEditorBackground);
		};
		EXPECT_TRUE (pumpUntil ({&host}, shown));
		// Closed and opened again in the same window: its window goes, a new one is shown.
		EXPECT_EQ (host.view->removed (), kResultOk);
		EXPECT_TRUE (pumpUntil ({&host}, [&] { return clientOf (desktop, parent) == 0; }));
		EXPECT_EQ (host.view->attached (host.parent (), kPlatformTypeX11EmbedWindowID), kResultOk);
		EXPECT_TRUE (pumpUntil ({&host}, shown));
		EXPECT_EQ (host.window->failure (), "");
	}

	// The family that reads the XEmbed info at the client's creation fails on a client that
	// asks to be mapped then.
	ShownEditor host (*module, false, Embedding::sdkSample);
	host.window->releaseView ();
	host.view.reset ();
	desktop.createWindow (host.window->parentId (), 20, 20, 0, {0, kXEmbedMapped});
	EXPECT_TRUE (pumpUntil ({&host}, [&] { return !host.window->failure ().empty (); }));
}

// Embedders that never tell the client it is embedded, tell it twice in other versions,
// pass keys on to it, destroy their window under it or are of another depth: no X error
// reaches the host, and the editor is shown while it is attached.
TEST_F (LooseEditor, CarelessEmbeddersRaiseNoXErrorForTheHost)
{
	ShownEditor& host = *editor;
	testing::internal::CaptureStderr ();
	const WindowId embedder = desktop.createWindow (0, 640, 340);
	ASSERT_NE (embedder, 0u);
	ASSERT_EQ (view->attached (reinterpret_cast<void*> (embedder), kPlatformTypeX11EmbedWindowID), kResultOk);
	const WindowId client = clientOf (desktop, embedder);
	auto info = [&] { return desktop.property (client, "_XEMBED_INFO"); };
	auto drawn = [&] { return desktop.filled (embedder, kBackgroundStrip, kEditorBackground); };
	// Not told: it asks to be mapped after a while, not at its creation.
	EXPECT_EQ (info (), (std::vector<long> {0, 0}));
	EXPECT_TRUE (pumpUntil ({&host}, [&] { return info () == std::vector<long> {0, kXEmbedMapped}; }));
	EXPECT_TRUE (pumpUntil ({&host}, drawn));
	// Told twice, in versions above and at ours: it speaks ours.
	for (long version : {7, 0})
		desktop.sendXEmbed (client, kXEmbedEmbeddedNotify, static_cast<long> (embedder), version);
	host.window->run (Clock::now () + 50ms, nullptr);
	EXPECT_EQ (info (), (std::vector<long> {0, kXEmbedMapped}));

	// A key the embedder passes on and the editor does not use ends there; one from the
	// keyboard goes on to the embedder.
	desktop.keyPresses ();
	desktop.sendKeyPress (client, 65);
	host.window->run (Clock::now () + 100ms, nullptr);
	EXPECT_EQ (desktop.keyPresses (), 0);
	const std::string id = std::to_string (embedder);
	ASSERT_EQ (run ({"xdotool", "windowfocus", "--sync", id, "mousemove", "--window", id, "300", "20", "key",
	                 "space"}),
	           0);
	EXPECT_TRUE (pumpUntil ({&host}, [&] { return desktop.keyPresses () > 0; }));

	// The embedder's window goes first.
	desktop.destroyWindow (embedder);
	host.window->run (Clock::now () + 50ms, nullptr);
	EXPECT_EQ (view->removed (), kResultOk);

	// A parent of another depth than the screen's (32-bit colour with alpha): drawn in its visual.
	const WindowId deep = desktop.createWindow (0, 640, 340, 32);
	ASSERT_NE (deep, 0u);
	EXPECT_EQ (view->attached (reinterpret_cast<void*> (deep), kPlatformTypeX11EmbedWindowID), kResultOk);
	EXPECT_TRUE (
	    pumpUntil ({&host}, [&] { return desktop.filled (deep, kBackgroundStrip, kEditorBackground); }));
	EXPECT_EQ (view->removed (), kResultOk);
	EXPECT_EQ (testing::internal::GetCapturedStderr (), "");
}

} // namespace
