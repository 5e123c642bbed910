// Pictures of the editor drawn offscreen: editor_pictures <plug.uidesc> <folder> writes
// defaults.png, changed-state.png and about.png.
#include "editortestsupport.h"
#include "testsupport.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/controls/cbuttons.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <functional>
#include <sys/stat.h>

using namespace testsupport;

int main (int argc, char** argv)
{
	if (argc != 3)
	{
		std::fprintf (stderr, "usage: editor_pictures <plug.uidesc> <folder>\n");
		return 2;
	}
	const std::string description = argv[1];
	const std::string folder = argv[2];
	mkdir (folder.c_str (), 0755);

	auto controller = Steinberg::owned (new PlugController);
	tolvarhost::Ref<tolvarhost::HostApplication> host (new tolvarhost::HostApplication);
	controller->initialize (host.get ());
	tolvarhost::Ref<tolvarhost::PlugFrame> plugFrame (new tolvarhost::PlugFrame);

	int failures = 0;
	auto picture = [&] (const char* name, const std::function<void (VSTGUI::VST3Editor*)>& setup) {
		auto editor = openEditor (controller, plugFrame.get (), description);
		if (!editor)
		{
			std::fprintf (stderr, "editor_pictures: the editor does not open\n");
			++failures;
			return;
		}
		setup (editor);
		plugFrame->runTimers ();
		auto* offscreen =
		    dynamic_cast<VSTGUI::OffscreenPlatformFrame*> (editor->getFrame ()->getPlatformFrame ());
		auto bitmap = offscreen ? offscreen->render () : nullptr;
		const std::string path = folder + "/" + name + ".png";
		if (!bitmap || !bitmap->writePNG (path.c_str ()))
		{
			std::fprintf (stderr, "editor_pictures: cannot write %s\n", path.c_str ());
			++failures;
		}
		editor->removed ();
	};

	picture ("defaults", [] (VSTGUI::VST3Editor*) {});
	picture ("changed-state", [&] (VSTGUI::VST3Editor*) {
		RecordBytes record;
		record.bypass = 1;
		const double values[] = {0.62, 0.35, 0.8, 0.7, 0.3, 0.55, 0.2, 0.9};
		std::copy (std::begin (values), std::end (values), record.values);
		ByteStream stream (record.bytes ());
		controller->setComponentState (&stream);
	});
	picture ("about", [] (VSTGUI::VST3Editor* editor) {
		if (auto* button = findView<VSTGUI::COnOffButton> (editor, -1))
			click (button);
	});
	controller->terminate ();
	controller = nullptr;
	// Leaves nothing in the font caches for the leak checker of the sanitizer build.
	cairo_debug_reset_static_data ();
	FcFini ();
	return failures == 0 ? 0 : 1;
}
