#include "command.h"

#include "audiofile.h"
#include "editcommand.h"
#include "module.h"
#include "plugin.h"
#include "version.h"

#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iomanip>
#include <sstream>

namespace tolvarhost {

namespace {

std::string trim (const std::string& s)
{
	size_t b = s.find_first_not_of (" \t");
	size_t e = s.find_last_not_of (" \t");
	return b == std::string::npos ? std::string () : s.substr (b, e - b + 1);
}

} // namespace

bool parseNumber (const std::string& text, double& value)
{
	std::string t = trim (text);
	if (t.empty ())
		return false;
	errno = 0;
	char* end = nullptr;
	double v = std::strtod (t.c_str (), &end);
	if (errno != 0 || end != t.c_str () + t.size () || !std::isfinite (v))
		return false;
	value = v;
	return true;
}

namespace {

bool parseUnsigned (const std::string& text, unsigned long long maxValue, unsigned long long& value)
{
	std::string t = trim (text);
	if (t.empty () || t[0] == '-' || t[0] == '+')
		return false;
	errno = 0;
	char* end = nullptr;
	unsigned long long v = std::strtoull (t.c_str (), &end, 10);
	if (errno != 0 || end != t.c_str () + t.size () || v > maxValue)
		return false;
	value = v;
	return true;
}

std::string hex32 (uint32 v)
{
	std::ostringstream s;
	s << "0x" << std::hex << std::uppercase << std::setw (8) << std::setfill ('0') << v;
	return s.str ();
}

struct FlagName
{
	int64 bit;
	const char* name;
};

// The names of the set bits, comma-separated; "none" when no bit is set.
std::string flagNames (int64 flags, std::initializer_list<FlagName> names)
{
	std::string s;
	for (const auto& n : names)
		if (flags & n.bit)
			s += s.empty () ? n.name : std::string (",") + n.name;
	return s.empty () ? "none" : s;
}

std::string factoryFlagNames (int32 flags)
{
	return flagNames (flags, {{PFactoryInfo::kClassesDiscardable, "classes-discardable"},
	                          {PFactoryInfo::kLicenseCheck, "license-check"},
	                          {PFactoryInfo::kComponentNonDiscardable, "component-non-discardable"},
	                          {PFactoryInfo::kUnicode, "unicode"}});
}

std::string classFlagNames (uint32 flags)
{
	return flagNames (flags, {{Vst::kDistributable, "distributable"},
	                          {Vst::kSimpleModeSupported, "simple-mode"}});
}

std::string paramFlagNames (int32 flags)
{
	return flagNames (flags, {{Vst::ParameterInfo::kCanAutomate, "automate"},
	                          {Vst::ParameterInfo::kIsReadOnly, "read-only"},
	                          {Vst::ParameterInfo::kIsWrapAround, "wrap"},
	                          {Vst::ParameterInfo::kIsList, "list"},
	                          {Vst::ParameterInfo::kIsHidden, "hidden"},
	                          {Vst::ParameterInfo::kIsProgramChange, "program-change"},
	                          {Vst::ParameterInfo::kIsBypass, "bypass"}});
}

int usage (std::ostream& err)
{
	printUsage (err);
	return kExitUsage;
}

} // namespace

int fail (std::ostream& err, const std::string& message)
{
	err << "tolvar-host: " << message << "\n";
	return kExitFailure;
}

// Loads the bundle and creates the plug-in; on failure says why and returns null.
std::unique_ptr<PluginInstance> openPlugin (const std::string& path, std::unique_ptr<Module>& module,
                                            std::ostream& err)
{
	std::string error;
	module = Module::load (path, error);
	std::unique_ptr<PluginInstance> plugin;
	if (module)
		plugin = PluginInstance::create (*module, error);
	if (!plugin)
		fail (err, error);
	return plugin;
}

namespace {

// Whether the controller gives an "editor" view, and its size.
std::string describeEditor (Module& module)
{
	std::string error;
	auto plugin = PluginInstance::create (module, error);
	if (!plugin || !plugin->controller ())
		return "none (no controller)";
	Ref<IPlugView> view (plugin->controller ()->createView (Vst::ViewType::kEditor));
	ViewRect size;
	if (!view)
		return "none";
	if (view->getSize (&size) != kResultTrue)
		return "\"editor\", size unknown";
	return "\"editor\", " + std::to_string (size.getWidth ()) + " x " +
	       std::to_string (size.getHeight ());
}

//------------------------------------------------------------------------
int commandInfo (const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	if (args.size () != 2)
		return usage (err);
	std::string error;
	auto module = Module::load (args[1], error);
	if (!module)
		return fail (err, error);
	FactoryDescription d;
	if (!describeFactory (module->factory (), d, error))
		return fail (err, error);
	out << "Module: " << module->sharedObjectPath () << "\n";
	out << "Factory\n";
	out << "  vendor:        " << d.vendor << "\n";
	out << "  url:           " << d.url << "\n";
	out << "  email:         " << d.email << "\n";
	out << "  flags:         " << d.flags << " (" << factoryFlagNames (d.flags) << ")\n";
	out << "Classes: " << d.classes.size () << "\n";
	for (size_t i = 0; i < d.classes.size (); ++i)
	{
		const auto& c = d.classes[i];
		out << "Class " << i << "\n";
		out << "  cid:           " << cidToHex (c.cid) << "\n";
		out << "  name:          " << c.name << "\n";
		out << "  category:      " << c.category << "\n";
		out << "  subCategories: " << c.subCategories << "\n";
		out << "  classFlags:    " << c.classFlags << " (" << classFlagNames (c.classFlags) << ")\n";
		out << "  cardinality:   " << c.cardinality
		    << (c.cardinality == PClassInfo::kManyInstances ? " (many instances)" : "") << "\n";
		out << "  version:       " << c.version << "\n";
		out << "  sdkVersion:    " << c.sdkVersion << "\n";
		out << "  vendor:        " << c.vendor << "\n";
		out << "  info from:     "
		    << (c.infoLevel == 3 ? "PClassInfoW" : c.infoLevel == 2 ? "PClassInfo2" : "PClassInfo")
		    << "\n";
	}
	out << "Editor: " << describeEditor (*module) << "\n";
	return kExitOk;
}

//------------------------------------------------------------------------
int commandParams (const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	if (args.size () != 2)
		return usage (err);
	std::unique_ptr<Module> module;
	auto plugin = openPlugin (args[1], module, err);
	if (!plugin)
		return kExitFailure;
	auto params = plugin->parameters ();
	static const double probes[] = {0.0, 0.25, 0.5, 0.75, 1.0};
	out << "Parameters: " << params.size () << "\n";
	for (const auto& p : params)
	{
		out << "[" << p.id << "] " << p.title << "\n";
		out << "  units:    " << p.units << "\n";
		out << "  flags:    " << hex32 (static_cast<uint32> (p.flags)) << " ("
		    << paramFlagNames (p.flags) << ")\n";
		out << "  steps:    " << p.stepCount << "\n";
		std::ostringstream def;
		def << std::setprecision (6) << std::fixed << p.defaultNormalized;
		out << "  default:  " << def.str () << " = " << plugin->valueText (p.id, p.defaultNormalized)
		    << "\n";
		out << "  values:  ";
		for (double v : probes)
			out << " " << v << "=" << plugin->valueText (p.id, v);
		out << "\n";
	}
	return kExitOk;
}

//------------------------------------------------------------------------
struct RenderArgs
{
	std::string bundle;
	std::string input;
	std::string output;
	double rate = 0.0; // 0: from the input file, else 44100
	int32 block = 512;
	int32 bits = 32;
	// In command-line order: either an id with a normalised value or a title with text.
	struct Setting
	{
		bool byTitle;
		Vst::ParamID id;
		double normalized;
		std::string title;
		std::string text;
	};
	std::vector<Setting> settings;
};

bool parseRenderArgs (const std::vector<std::string>& args, RenderArgs& r, std::string& error)
{
	std::vector<std::string> positional;
	for (size_t i = 1; i < args.size (); ++i)
	{
		std::string a = args[i];
		std::string value;
		bool hasValue = false;
		if (a.rfind ("--", 0) == 0)
		{
			auto eq = a.find ('=');
			if (eq != std::string::npos)
			{
				value = a.substr (eq + 1);
				a = a.substr (0, eq);
				hasValue = true;
			}
			if (!hasValue)
			{
				if (i + 1 >= args.size ())
				{
					error = "option " + a + " needs a value";
					return false;
				}
				value = args[++i];
			}
			if (a == "--param")
			{
				auto eq2 = value.find ('=');
				unsigned long long id = 0;
				double v = 0.0;
				if (eq2 == std::string::npos || !parseUnsigned (value.substr (0, eq2), 0xFFFFFFFFull, id) ||
				    !parseNumber (value.substr (eq2 + 1), v))
				{
					error = "--param expects ID=VALUE with a numeric id and value, got '" + value + "'";
					return false;
				}
				if (v < 0.0 || v > 1.0)
				{
					error = "--param value must be normalised (0 to 1), got '" + value + "'";
					return false;
				}
				r.settings.push_back ({false, static_cast<Vst::ParamID> (id), v, {}, {}});
			}
			else if (a == "--set")
			{
				auto eq2 = value.find ('=');
				if (eq2 == std::string::npos || eq2 == 0)
				{
					error = "--set expects TITLE=VALUE, got '" + value + "'";
					return false;
				}
				r.settings.push_back ({true, 0, 0.0, value.substr (0, eq2), value.substr (eq2 + 1)});
			}
			else if (a == "--rate")
			{
				unsigned long long hz = 0;
				if (!parseUnsigned (value, 768000, hz) || hz < 1000)
				{
					error = "--rate expects a whole number of Hz from 1000 to 768000, got '" + value + "'";
					return false;
				}
				r.rate = static_cast<double> (hz);
			}
			else if (a == "--block")
			{
				unsigned long long n = 0;
				if (!parseUnsigned (value, 1 << 20, n) || n < 1)
				{
					error = "--block expects a block size from 1 to 1048576, got '" + value + "'";
					return false;
				}
				r.block = static_cast<int32> (n);
			}
			else if (a == "--bits")
			{
				if (value != "32" && value != "64")
				{
					error = "--bits expects 32 or 64, got '" + value + "'";
					return false;
				}
				r.bits = value == "32" ? 32 : 64;
			}
			else
			{
				error = "unknown option " + a;
				return false;
			}
		}
		else
			positional.push_back (a);
	}
	if (positional.size () < 2 || positional.size () > 3)
	{
		error = "render needs BUNDLE, an optional input and an output file";
		return false;
	}
	r.bundle = positional[0];
	if (positional.size () == 3)
	{
		r.input = positional[1];
		r.output = positional[2];
	}
	else
		r.output = positional[1];
	return true;
}

int commandRender (const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	RenderArgs ra;
	std::string error;
	if (!parseRenderArgs (args, ra, error))
	{
		err << "tolvar-host: " << error << "\n";
		return usage (err);
	}

	StereoBuffer input;
	if (!ra.input.empty ())
	{
		if (!readAudioFile (ra.input, input, error))
			return fail (err, error);
		if (ra.rate > 0.0 && ra.rate != input.sampleRate)
		{
			err << "tolvar-host: input '" << ra.input << "' is at " << input.sampleRate
			    << " Hz but --rate asks for " << ra.rate << " Hz (no resampling is done)\n";
			return kExitFailure;
		}
	}
	else
		input = makeDefaultInput (ra.rate > 0.0 ? ra.rate : 44100.0);
	const double rate = input.sampleRate;

	std::unique_ptr<Module> module;
	auto plugin = openPlugin (ra.bundle, module, err);
	if (!plugin)
		return kExitFailure;

	RenderSettings settings;
	settings.sampleRate = rate;
	settings.blockSize = ra.block;
	settings.bits = ra.bits;
	for (const auto& s : ra.settings)
	{
		if (!s.byTitle)
		{
			bool known = false;
			for (const auto& p : plugin->parameters ())
				known = known || p.id == s.id;
			if (!known)
				return fail (err, "no parameter with id " + std::to_string (s.id));
			settings.params.push_back ({s.id, s.normalized});
			continue;
		}
		Vst::ParamID id = 0;
		if (!plugin->findParameter (s.title, id))
			return fail (err, "no parameter titled '" + s.title + "'");
		double plain = 0.0;
		if (!parseNumber (s.text, plain))
			return fail (err, "value '" + s.text + "' for '" + s.title + "' is not a number");
		std::u16string text = toUtf16 (trim (s.text));
		Vst::String128 buffer {};
		size_t n = std::min<size_t> (text.size (), 127);
		std::copy (text.begin (), text.begin () + static_cast<long> (n), buffer);
		Vst::ParamValue normalized = 0.0;
		if (plugin->controller ()->getParamValueByString (id, buffer, normalized) != kResultOk)
			return fail (err, "the plug-in does not accept '" + s.text + "' for '" + s.title + "'");
		settings.params.push_back ({id, normalized});
	}
	// Keep the controller in step with what the processor receives.
	for (const auto& p : settings.params)
		plugin->controller ()->setParamNormalized (p.id, p.normalized);

	auto started = std::chrono::steady_clock::now ();
	auto lastShown = started;
	bool shown = false;
	settings.progress = [&] (int64 done, int64 total) {
		auto now = std::chrono::steady_clock::now ();
		if (now - started < std::chrono::seconds (1) ||
		    now - lastShown < std::chrono::milliseconds (200))
			return;
		lastShown = now;
		shown = true;
		char line[128];
		std::snprintf (line, sizeof (line), "\rrendering %3d%% (%.1f of %.1f s)",
		               static_cast<int> (100.0 * static_cast<double> (done) / static_cast<double> (total)),
		               static_cast<double> (done) / rate, static_cast<double> (total) / rate);
		err << line << std::flush;
	};

	RenderResult result;
	if (!render (*plugin, input, settings, result, error))
	{
		if (shown)
			err << "\n";
		return fail (err, error);
	}
	if (shown)
		err << "\rrendering 100%                              \n";
	if (!writeAudioFile (ra.output, result.output, ra.bits, error))
		return fail (err, error);
	out << "wrote " << ra.output << ": " << result.output.frames () << " frames at " << rate
	    << " Hz, " << ra.bits << "-bit float (" << result.inputFrames << " input + "
	    << result.tailSamples << " tail)\n";
	return kExitOk;
}

} // namespace

void printUsage (std::ostream& err)
{
	err << "usage:\n"
	       "  tolvar-host --version\n"
	       "  tolvar-host info BUNDLE\n"
	       "  tolvar-host params BUNDLE\n"
	       "  tolvar-host render BUNDLE [IN.wav] OUT.wav [--param ID=VALUE ...]\n"
	       "              [--set \"TITLE=VALUE\" ...] [--rate HZ] [--block N] [--bits 32|64]\n"
	       "  tolvar-host edit BUNDLE [--seconds N] [--embed xembed-strict|sdk-sample|plain]\n"
	       "\n"
	       "  BUNDLE      the .vst3 folder\n"
	       "  --param     normalised value (0..1) for a parameter id\n"
	       "  --set       plain value for a parameter title, converted by the plug-in\n"
	       "  --rate      sample rate without IN.wav (default 44100); must match IN.wav\n"
	       "  --block     samples per process call (default 512)\n"
	       "  --bits      processing precision and output WAV format (default 32)\n"
	       "  --seconds   close the editor window after N seconds\n"
	       "  --embed     how the window embeds the editor, after a family of X11 embedders:\n"
	       "              maps it on its XEMBED_MAPPED request (default), reads its XEmbed info\n"
	       "              once at its creation and maps it, or maps it without XEmbed\n"
	       "Without IN.wav a built-in click and phrase is rendered.\n";
}

int runCommand (const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	if (args.empty ())
		return usage (err);
	const std::string& cmd = args[0];
	if (cmd == "info")
		return commandInfo (args, out, err);
	if (cmd == "params")
		return commandParams (args, out, err);
	if (cmd == "render")
		return commandRender (args, out, err);
	if (cmd == "edit")
		return commandEdit (args, out, err);
	if (cmd == "--version")
	{
		out << "tolvar-host " TOLVAR_VERSION_STR "\n";
		return kExitOk;
	}
	if (cmd == "-h" || cmd == "--help" || cmd == "help")
	{
		printUsage (out);
		return kExitOk;
	}
	err << "tolvar-host: unknown command '" << cmd << "'\n";
	return usage (err);
}

} // namespace tolvarhost
