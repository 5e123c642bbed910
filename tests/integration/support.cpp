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

BlockRun runBlocks (IAudioProcessor* processor, int32 sampleSize, int32 maxBlock, const std::vector<int32>& sizes,
                    int32 totalFrames, bool silenceFlags)
{
	BlockRun run;
	AudioBlock block (maxBlock, sampleSize);
	const bool wide = sampleSize == kSample64;
	auto& inBus = block.data ().inputs[0];
	int32 frame = 0;
	for (size_t k = 0; frame < totalFrames; ++k)
	{
		const int32 n = std::min (sizes[k % sizes.size ()], totalFrames - frame);
		bool silent = true;
		for (int32 i = 0; i < n; ++i)
		{
			const int32 t = (frame + i) % 22050;
			const double x = t < 2000 ? std::sin (0.05 * t) * std::exp (-0.002 * t) : 0.0;
			silent = silent && x == 0.0;
			if (wide)
			{
				block.in64[0][i] = x;
				block.in64[1][i] = -0.5 * x;
			}
			else
			{
				block.in32[0][i] = static_cast<float> (x);
				block.in32[1][i] = static_cast<float> (-0.5 * x);
			}
		}
		inBus.silenceFlags = (silenceFlags && silent) ? 3 : 0;
		const std::vector<float> in32[2] = {block.in32[0], block.in32[1]};
		const std::vector<double> in64[2] = {block.in64[0], block.in64[1]};
		EXPECT_EQ (block.process (processor, n, nullptr), kResultOk);
		for (int c = 0; c < 2; ++c)
			run.inputsUntouched = run.inputsUntouched && in32[c] == block.in32[c] && in64[c] == block.in64[c];
		for (int32 i = 0; i < n; ++i)
		{
			const double l = wide ? block.out64[0][i] : block.out32[0][i];
			const double r = wide ? block.out64[1][i] : block.out32[1][i];
			run.finite = run.finite && std::isfinite (l) && std::isfinite (r);
			run.left.push_back (l);
			run.right.push_back (r);
		}
		frame += n;
	}
	return run;
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

void putDouble (std::vector<uint8_t>& bytes, size_t offset, double v)
{
	uint64_t bits;
	std::memcpy (&bits, &v, sizeof v);
	for (int i = 0; i < 8; ++i)
		bytes.at (offset + i) = static_cast<uint8_t> (bits >> (8 * i));
}

void putInt32 (std::vector<uint8_t>& bytes, size_t offset, int32 v)
{
	auto bits = static_cast<uint32_t> (v);
	for (int i = 0; i < 4; ++i)
		bytes.at (offset + i) = static_cast<uint8_t> (bits >> (8 * i));
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
