#include "support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace itest {

const double kDefaultValues[8] = {0.75, 0.5, 0.542562, 0.378659, 0.768622, 1.0, 0.75, 0.464386};

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
