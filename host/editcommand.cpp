#include "editcommand.h"

#include "command.h"
#include "editorwindow.h"
#include "module.h"
#include "plugin.h"

#include <csignal>
#include <iomanip>
#include <map>
#include <sstream>

namespace tolvarhost {

namespace {

// Longest --seconds, far beyond any test or session, well inside the clock's range.
constexpr double kLongestRun = 1.0e6;

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt (int) { interrupted = 1; }

// SIGINT and SIGTERM end the session cleanly while the guard lives.
class InterruptGuard
{
public:
	InterruptGuard ()
	{
		interrupted = 0;
		struct sigaction sa {};
		sa.sa_handler = onInterrupt;
		sigemptyset (&sa.sa_mask);
		sigaction (SIGINT, &sa, &oldInt);
		sigaction (SIGTERM, &sa, &oldTerm);
	}
	~InterruptGuard ()
	{
		sigaction (SIGINT, &oldInt, nullptr);
		sigaction (SIGTERM, &oldTerm, nullptr);
	}

private:
	struct sigaction oldInt {};
	struct sigaction oldTerm {};
};

struct EditArgs
{
	std::string bundle;
	double seconds = 0.0; // 0: until the window is closed
	Embedding embedding = Embedding::xembedStrict;
};

bool parseEditArgs (const std::vector<std::string>& args, EditArgs& a, std::string& error)
{
	std::vector<std::string> positional;
	for (size_t i = 1; i < args.size (); ++i)
	{
		std::string arg = args[i];
		if (arg.rfind ("--", 0) != 0)
		{
			positional.push_back (arg);
			continue;
		}
		std::string value;
		auto eq = arg.find ('=');
		if (eq != std::string::npos)
		{
			value = arg.substr (eq + 1);
			arg = arg.substr (0, eq);
		}
		else if (i + 1 < args.size ())
			value = args[++i];
		if (arg == "--embed")
		{
			if (!parseEmbedding (value, a.embedding))
			{
				error = "--embed expects xembed-strict, sdk-sample or plain, got '" + value + "'";
				return false;
			}
			continue;
		}
		if (arg != "--seconds")
		{
			error = "unknown option " + arg;
			return false;
		}
		if (!parseNumber (value, a.seconds) || a.seconds <= 0.0 || a.seconds > kLongestRun)
		{
			error = "--seconds expects a number of seconds above 0, got '" + value + "'";
			return false;
		}
	}
	if (positional.size () != 1)
	{
		error = "edit needs exactly one BUNDLE";
		return false;
	}
	a.bundle = positional[0];
	return true;
}

// Prints every call of the component handler as one flushed line, while it lives:
// "begin ID TITLE", "edit ID TITLE VALUE TEXT", "end ID TITLE".
class EditPrinter
{
public:
	EditPrinter (PluginInstance& p, std::ostream& o) : plugin (p), out (o)
	{
		for (const auto& d : plugin.parameters ())
			titles[d.id] = d.title;
		plugin.componentHandler ()->observer = [this] (ComponentHandler::Step step,
		                                               Vst::ParamID id, Vst::ParamValue v) {
			print (step, id, v);
		};
	}
	~EditPrinter () { plugin.componentHandler ()->observer = nullptr; }

	EditPrinter (const EditPrinter&) = delete;
	EditPrinter& operator= (const EditPrinter&) = delete;

private:
	void print (ComponentHandler::Step step, Vst::ParamID id, Vst::ParamValue v)
	{
		auto it = titles.find (id);
		const std::string title = it != titles.end () ? it->second : "-";
		std::ostringstream line;
		switch (step)
		{
			case ComponentHandler::Step::begin:
				line << "begin " << id << " " << title;
				break;
			case ComponentHandler::Step::perform:
				line << "edit " << id << " " << title << " " << std::fixed << std::setprecision (6)
				     << v << " " << plugin.valueText (id, v);
				break;
			case ComponentHandler::Step::end:
				line << "end " << id << " " << title;
				break;
		}
		out << line.str () << std::endl;
	}

	PluginInstance& plugin;
	std::ostream& out;
	std::map<Vst::ParamID, std::string> titles;
};

// The view's side of the session, in the order hosts follow.
int showEditor (PluginInstance& plugin, const EditArgs& a, std::ostream& out, std::ostream& err)
{
	Ref<IPlugView> view (plugin.controller ()->createView ("editor"));
	if (!view)
		return fail (err, "the plug-in has no editor (createView(\"editor\") gave no view)");
	if (view->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID) != kResultTrue)
		return fail (err, "the plug-in's editor does not support X11 embedding");
	ViewRect size;
	if (view->getSize (&size) != kResultOk)
		return fail (err, "the plug-in's editor reports no size");
	const bool resizable = view->canResize () == kResultTrue;

	std::string error;
	auto window = EditorWindow::open (error);
	if (!window || !window->create (view.get (), plugin.name (), size.getWidth (), size.getHeight (),
	                                resizable, a.embedding, error))
		return fail (err, error);

	EditPrinter printer (plugin, out);
	window->onUnusedKey ([&out] (const std::string& name) { out << "host key " << name << std::endl; });
	InterruptGuard interrupts;
	view->setFrame (window->frame ());
	const tresult attached =
	    view->attached (reinterpret_cast<void*> (window->parentId ()), kPlatformTypeX11EmbedWindowID);
	if (attached != kResultOk)
	{
		view->setFrame (nullptr);
		return fail (err, "the plug-in's editor refused the window (result " +
		                      std::to_string (attached) + ")");
	}
	out << "window " << window->windowId () << " " << size.getWidth () << "x" << size.getHeight ()
	    << std::endl;

	auto until = RunLoop::Clock::time_point::max ();
	if (a.seconds > 0.0)
		until = RunLoop::Clock::now () + std::chrono::duration_cast<RunLoop::Clock::duration> (
		                                     std::chrono::duration<double> (a.seconds));
	window->run (until, [] { return interrupted != 0; });

	view->setFrame (nullptr);
	view->removed ();
	window->releaseView ();
	RunLoop& loop = window->runLoop ();
	if (loop.eventHandlerCount () > 0 || loop.timerCount () > 0)
		err << "tolvar-host: the editor left " << loop.eventHandlerCount () << " event handler(s) and "
		    << loop.timerCount () << " timer(s) registered after removed()" << std::endl;
	loop.clear ();
	view.reset ();
	if (!window->failure ().empty ())
		return fail (err, window->failure ());
	return kExitOk;
}

} // namespace

int commandEdit (const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	EditArgs a;
	std::string error;
	if (!parseEditArgs (args, a, error))
	{
		err << "tolvar-host: " << error << "\n";
		printUsage (err);
		return kExitUsage;
	}
	std::unique_ptr<Module> module;
	auto plugin = openPlugin (a.bundle, module, err);
	if (!plugin)
		return kExitFailure;
	return showEditor (*plugin, a, out, err);
}

} // namespace tolvarhost
