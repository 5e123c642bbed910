// Shared helpers of the bundle tests: loading, raw objects driven call by call,
// state record bytes and child programs.
#pragma once

#include "module.h"
#include "plugin.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace itest {

using namespace tolvarhost;
using namespace Steinberg;
using namespace Steinberg::Vst;

// Loads the built bundle; fails the test when it cannot.
std::unique_ptr<Module> loadBundle ();

// Module plus an instance created as a host does.
struct Loaded
{
	std::unique_ptr<Module> module;
	std::unique_ptr<PluginInstance> plugin;
};
Loaded loadPlugin (bool withController = true);

// The processor (and, if asked, its controller) made by the factory, not initialised,
// driven call by call as a validator or a careless host would.
struct Bench
{
	std::unique_ptr<Module> module;
	Ref<HostApplication> host {new HostApplication};
	Ref<IComponent> component;
	Ref<IAudioProcessor> processor;
	Ref<IEditController> controller;

	explicit Bench (bool withController = false);
	~Bench ();
	bool ok () const { return component && processor && (!wantController || controller); }

	tresult initialize ();
	tresult setup (int32 sampleSize, double rate = 44100.0, int32 maxBlock = 1024, int32 mode = kRealtime);
	// setupProcessing, setActive(true) and setProcessing(true).
	void start (int32 sampleSize, double rate = 44100.0, int32 maxBlock = 1024);
	void stop ();

	// The processor's state record as bytes.
	std::vector<uint8_t> state ();

private:
	bool wantController;
};

// An impulse of the given height at frame at, silence elsewhere.
StereoBuffer impulse (double rate, size_t frames, size_t at, double height);

// Root mean square of both channels over [from, to).
double rms (const StereoBuffer& b, size_t from, size_t to);

// Little-endian fields of a state record.
double recordDouble (const std::vector<uint8_t>& bytes, size_t offset);
int32 recordInt32 (const std::vector<uint8_t>& bytes, size_t offset);

// Text of a 128-unit string field.
std::string text16 (const TChar* s);

// Runs a program and collects its exit status, stdout and stderr.
struct RunResult
{
	int exitCode = -1;
	std::string out;
	std::string err;
};
RunResult runProgram (const std::vector<std::string>& args);

std::string tempPath (const std::string& name);

} // namespace itest
