// Shared helpers of the integration tests.
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

// Loads the built bundle; fails the test when it cannot.
std::unique_ptr<Module> loadBundle ();

// Module plus an instance created as a host does.
struct Loaded
{
	std::unique_ptr<Module> module;
	std::unique_ptr<PluginInstance> plugin;
};
Loaded loadPlugin (bool withController = true);

// An impulse of the given height at frame at, silence elsewhere.
StereoBuffer impulse (double rate, size_t frames, size_t at, double height);

// Root mean square of both channels over [from, to).
double rms (const StereoBuffer& b, size_t from, size_t to);

// Reads a double out of a state record at a byte offset (little-endian).
double recordDouble (const std::vector<uint8_t>& bytes, size_t offset);
int32 recordInt32 (const std::vector<uint8_t>& bytes, size_t offset);
void putDouble (std::vector<uint8_t>& bytes, size_t offset, double v);
void putInt32 (std::vector<uint8_t>& bytes, size_t offset, int32 v);

// Runs a program and collects its exit status, stdout and stderr.
struct RunResult
{
	int exitCode = -1;
	std::string out;
	std::string err;
};
RunResult runProgram (const std::vector<std::string>& args);

std::string tempPath (const std::string& name);

// The record a fresh processor writes (normalised defaults of parameters 1 to 8).
extern const double kDefaultValues[8];

} // namespace itest
