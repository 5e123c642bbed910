// A test bench that holds the loaded bundle and raw processor/controller objects,
// driven call by call as a validator or a host would.
#pragma once

#include "module.h"
#include "plugin.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace conformance {

using namespace tolvarhost;
using namespace Steinberg;
using namespace Steinberg::Vst;

std::unique_ptr<Module> loadModule ();

struct Bench
{
	std::unique_ptr<Module> module;
	Ref<HostApplication> host {new HostApplication};
	Ref<IComponent> component;
	Ref<IAudioProcessor> processor;
	Ref<IEditController> controller;

	// Creates the processor (and, if asked, its controller) without initialising them.
	explicit Bench (bool withController = false);
	~Bench ();
	bool ok () const { return component && processor && (!wantController || controller); }

	tresult initialize ();
	tresult setup (int32 sampleSize, double rate = 44100.0, int32 maxBlock = 1024,
	               int32 mode = kRealtime);
	// setupProcessing, setActive(true) and setProcessing(true).
	void start (int32 sampleSize, double rate = 44100.0, int32 maxBlock = 1024);
	void stop ();

	// The processor's state record as bytes.
	std::vector<uint8_t> state ();

private:
	bool wantController;
};

// Output after processing a signal in blocks of the given sizes, used in turn.
// The signal is a decaying burst on both channels every 22050 frames.
struct BlockRun
{
	std::vector<double> left, right;
	bool inputsUntouched = true;
	bool finite = true;
};
BlockRun runBlocks (IAudioProcessor* processor, int32 sampleSize, int32 maxBlock,
                    const std::vector<int32>& sizes, int32 totalFrames, bool silenceFlags = false);

double stateDouble (const std::vector<uint8_t>& record, size_t offset);
int32 stateInt32 (const std::vector<uint8_t>& record, size_t offset);

} // namespace conformance
