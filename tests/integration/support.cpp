#include "support.h"

#include "plugcids.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace itest {

std::unique_ptr<Module> loadBundle ()
{
	std::string error;
	auto m = Module::load (TOLVAR_TEST_BUNDLE, error);
	EXPECT_TRUE (m) << error;
	return m;
}

Loaded loadPlugin (bool withController)
{
	Loaded l;
	l.module = loadBundle ();
	if (!l.module)
		return l;
	std::string error;
	l.plugin = PluginInstance::create (*l.module, error, withController);
	EXPECT_TRUE (l.plugin) << error;
	return l;
}

Bench::Bench (bool withController) : wantController (withController)
{
	module = loadBundle ();
	if (!module)
		return;
	TUID cid;
	kProcessorClassId.toTUID (cid);
	component = module->create<IComponent> (cid);
	processor = queryAs<IAudioProcessor> (component.get ());
	if (withController)
	{
		kControllerClassId.toTUID (cid);
		controller = module->create<IEditController> (cid);
	}
}

Bench::~Bench ()
{
	processor.reset ();
	component.reset ();
	controller.reset ();
}

tresult Bench::initialize ()
{
	tresult r = component->initialize (static_cast<IHostApplication*> (host.get ()));
	if (r == kResultOk && controller)
		r = controller->initialize (static_cast<IHostApplication*> (host.get ()));
	return r;
}

tresult Bench::setup (int32 sampleSize, double rate, int32 maxBlock, int32 mode)
{
	ProcessSetup s {mode, sampleSize, maxBlock, rate};
	return processor->setupProcessing (s);
}

void Bench::start (int32 sampleSize, double rate, int32 maxBlock)
{
	EXPECT_EQ (setup (sampleSize, rate, maxBlock), kResultOk);
	EXPECT_EQ (component->setActive (true), kResultOk);
	processor->setProcessing (true);
}

void Bench::stop ()
{
	processor->setProcessing (false);
	EXPECT_EQ (component->setActive (false), kResultOk);
}

std::vector<uint8_t> Bench::state ()
{
	Ref<HostStream> s (new HostStream);
	EXPECT_EQ (component->getState (s.get ()), kResultOk);
	return s->data ();
}

std::string text16 (const TChar* s)
{
	return toUtf8 (reinterpret_cast<const char16_t*> (s), 128);
}

StereoBuffer impulse (double rate, size_t frames, size_t at, double height)
{
	StereoBuffer b;
	b.sampleRate = rate;
	b.resize (frames);
	if (at < frames)
		b.left[at] = b.right[at] = height;
	return b;
}

double rms (const StereoBuffer& b, size_t from, size_t to)
{
	to = std::min (to, b.frames ());
	if (from >= to)
		return 0.0;
	double sum = 0.0;
	for (size_t i = from; i < to; ++i)
		sum += b.left[i] * b.left[i] + b.right[i] * b.right[i];
	return std::sqrt (sum / (2.0 * static_cast<double> (to - from)));
}

double recordDouble (const std::vector<uint8_t>& bytes, size_t offset)
{
	uint64_t bits = 0;
	for (int i = 7; i >= 0; --i)
		bits = (bits << 8) | bytes.at (offset + i);
	double v;
	std::memcpy (&v, &bits, sizeof v);
	return v;
}

int32 recordInt32 (const std::vector<uint8_t>& bytes, size_t offset)
{
	uint32_t bits = 0;
	for (int i = 3; i >= 0; --i)
		bits = (bits << 8) | bytes.at (offset + i);
	return static_cast<int32> (bits);
}

std::string tempPath (const std::string& name)
{
	::mkdir (TOLVAR_TEST_TMP, 0755);
	return std::string (TOLVAR_TEST_TMP) + "/" + std::to_string (::getpid ()) + "-" + name;
}

namespace {
std::string slurp (const std::string& path)
{
	std::ifstream f (path, std::ios::binary);
	std::ostringstream s;
	s << f.rdbuf ();
	return s.str ();
}
} // namespace

RunResult runProgram (const std::vector<std::string>& args)
{
	RunResult r;
	std::string outPath = tempPath ("stdout.txt");
	std::string errPath = tempPath ("stderr.txt");
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init (&actions);
	posix_spawn_file_actions_addopen (&actions, 1, outPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	posix_spawn_file_actions_addopen (&actions, 2, errPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	std::vector<char*> argv;
	for (const auto& a : args)
		argv.push_back (const_cast<char*> (a.c_str ()));
	argv.push_back (nullptr);
	pid_t pid = 0;
	int rc = posix_spawn (&pid, argv[0], &actions, nullptr, argv.data (), environ);
	posix_spawn_file_actions_destroy (&actions);
	if (rc != 0)
	{
		r.err = std::string ("spawn failed: ") + std::strerror (rc);
		return r;
	}
	int status = 0;
	::waitpid (pid, &status, 0);
	r.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
	r.out = slurp (outPath);
	r.err = slurp (errPath);
	::unlink (outPath.c_str ());
	::unlink (errPath.c_str ());
	return r;
}

} // namespace itest
