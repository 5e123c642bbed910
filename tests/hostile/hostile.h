// The hostile-host suite's rig: the built bundle, fresh instances, host buffers that show
// unwritten samples, a replayable random source.
#pragma once

#include "hostobjects.h"
#include "module.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace hostile {

using namespace tolvarhost;
using namespace Steinberg;
using namespace Steinberg::Vst;

// Largest magnitude accepted from finite input of magnitude 1 at any setting.
constexpr double kBound = 64.0;
constexpr int32 kSizes[] = {kSample32, kSample64};

// shortCount normally, longCount when TOLVAR_HOSTILE_LONG=1.
int64_t scaled (int64_t shortCount, int64_t longCount);
// TOLVAR_HOSTILE_SEED, or a fixed seed; every test names it in its failures.
uint64_t baseSeed ();
#define HOSTILE_TRACE_SEED() SCOPED_TRACE ("replay with TOLVAR_HOSTILE_SEED=" + std::to_string (baseSeed ()))
std::string describe (const std::string& name, int32 sampleSize);

class Rng
{
public:
	explicit Rng (uint64_t seed) : gen (seed) {}
	int64_t range (int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t> (lo, hi) (gen); }
	double real (double lo, double hi) { return std::uniform_real_distribution<double> (lo, hi) (gen); }
	uint64_t bits () { return gen (); }
	template <class T, size_t N>
	const T& pick (const T (&items)[N])
	{
		return items[range (0, N - 1)];
	}

private:
	std::mt19937_64 gen;
};

// A processor (and, if asked, its controller) from the factory of the bundle, which is
// loaded once per program; initialised unless asked not to be.
struct Instance
{
	explicit Instance (bool withController = false, bool initialise = true);
	~Instance ();

	tresult setup (int32 sampleSize, double rate);
	// setupProcessing and setActive(true), both required to succeed.
	void start (int32 sampleSize, double rate);
	std::vector<uint8_t> state ();

	Ref<HostApplication> host {new HostApplication};
	Ref<IComponent> component;
	Ref<IAudioProcessor> processor;
	Ref<IEditController> controller;
	// Released as it stands, without deactivation or terminate.
	bool careless = false;
};

// Host buffers of one block: buses of any channel count, in either width. process fills
// the outputs with a signalling-NaN pattern first, so an unwritten sample shows.
class Block
{
public:
	static constexpr int32 kFrames = 64;

	explicit Block (int32 sampleSize, std::vector<int32> inChannels = {2}, std::vector<int32> outChannels = {2});

	// Noise in -1..1 on every input channel.
	void noise (Rng& rng);
	void setInput (size_t channel, int32 frame, double value);
	// The output channels of bus 0 become the input channels of bus 0.
	void inPlace ();
	tresult process (IAudioProcessor* processor, int32 numSamples, IParameterChanges* changes = nullptr);

	// In the first n frames every output channel of bus 0 (as data describes it) is written,
	// silent where flagged so, and finite and bounded when finite is true; no input was written.
	testing::AssertionResult good (int32 n, bool finite = true) const;
	// No output sample and no input sample written.
	testing::AssertionResult untouched () const;
	// The first n frames of every output channel of bus 0.
	std::vector<uint8_t> outputBytes (int32 n) const;

	ProcessData data;

private:
	uint64_t bitsAt (const void* channel, int32 frame) const;
	testing::AssertionResult inputsKept () const;

	size_t width;
	uint64_t sentinel;
	std::vector<std::vector<uint8_t>> memory, inputCopy;
	std::vector<std::vector<void*>> pointers;
	std::vector<AudioBusBuffers> buses;
	size_t firstOutput;
	bool shared = false;
};

// Equal bytes, or where they first differ.
testing::AssertionResult sameBytes (const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// Output bytes of blocks of seeded noise (sizes 1 to 64 from the same seed), every block
// checked with Block::good; stops at the first bad block.
std::vector<uint8_t> render (IAudioProcessor* processor, int32 sampleSize, uint64_t seed, int blocks);

} // namespace hostile
