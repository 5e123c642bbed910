// Cost of PlugProcessor::process at 48 kHz stereo, 256-sample blocks.
// Reports ns per stereo sample and the real-time factor (processing time / audio time).
#include "plugids.h"
#include "plugprocessor.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr double kRate = 48000.0;
constexpr int32 kBlock = 256;

// One queue with one point, for the Predelay parameter.
class OnePointChanges : public IParameterChanges, public IParamValueQueue
{
public:
	ParamValue value = 0.5;

	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

	int32 PLUGIN_API getParameterCount () override { return 1; }
	IParamValueQueue* PLUGIN_API getParameterData (int32) override { return this; }
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID&, int32&) override { return nullptr; }

	ParamID PLUGIN_API getParameterId () override { return kPredelayId; }
	int32 PLUGIN_API getPointCount () override { return 1; }
	tresult PLUGIN_API getPoint (int32, int32& offset, ParamValue& v) override
	{
		offset = 0;
		v = value;
		return kResultOk;
	}
	tresult PLUGIN_API addPoint (int32, ParamValue, int32&) override { return kResultFalse; }
};

template <typename Sample>
void runProcess (benchmark::State& state, bool changeEveryBlock)
{
	const int32 sampleSize = sizeof (Sample) == 4 ? kSample32 : kSample64;
	PlugProcessor processor;
	processor.initialize (nullptr);
	ProcessSetup setup {kRealtime, sampleSize, kBlock, kRate};
	processor.setupProcessing (setup);
	processor.setActive (true);

	std::mt19937 gen (1);
	std::uniform_real_distribution<double> dist (-0.5, 0.5);
	std::vector<Sample> in[2], out[2];
	for (int c = 0; c < 2; ++c)
	{
		in[c].resize (kBlock);
		out[c].resize (kBlock);
		for (Sample& s : in[c])
			s = static_cast<Sample> (dist (gen));
	}
	Sample* inPtrs[2] = {in[0].data (), in[1].data ()};
	Sample* outPtrs[2] = {out[0].data (), out[1].data ()};
	AudioBusBuffers inBus, outBus;
	inBus.numChannels = outBus.numChannels = 2;
	if constexpr (sizeof (Sample) == 4)
	{
		inBus.channelBuffers32 = inPtrs;
		outBus.channelBuffers32 = outPtrs;
	}
	else
	{
		inBus.channelBuffers64 = inPtrs;
		outBus.channelBuffers64 = outPtrs;
	}

	OnePointChanges changes;
	ProcessData data;
	data.symbolicSampleSize = sampleSize;
	data.numSamples = kBlock;
	data.numInputs = data.numOutputs = 1;
	data.inputs = &inBus;
	data.outputs = &outBus;

	// Get past the crossfade that follows activation.
	for (int i = 0; i < static_cast<int> (kRate / kBlock); ++i)
		processor.process (data);

	int64_t blocks = 0;
	for (auto _ : state)
	{
		if (changeEveryBlock)
		{
			changes.value = (blocks & 1) ? 0.5 : 0.6;
			data.inputParameterChanges = &changes;
		}
		processor.process (data);
		benchmark::DoNotOptimize (out[0][kBlock - 1]);
		benchmark::ClobberMemory ();
		++blocks;
	}

	const double samples = static_cast<double> (blocks) * kBlock;
	state.SetItemsProcessed (static_cast<int64_t> (samples));
	// Processing time per stereo sample, and per second of audio (the real-time factor).
	state.counters["time_per_sample"] =
	    benchmark::Counter (samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	state.counters["rt_factor"] =
	    benchmark::Counter (samples / kRate, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	processor.setActive (false);
	processor.terminate ();
}

void BM_Process32Steady (benchmark::State& s) { runProcess<float> (s, false); }
void BM_Process64Steady (benchmark::State& s) { runProcess<double> (s, false); }
void BM_Process32ParamChange (benchmark::State& s) { runProcess<float> (s, true); }
void BM_Process64ParamChange (benchmark::State& s) { runProcess<double> (s, true); }

} // namespace

BENCHMARK (BM_Process32Steady);
BENCHMARK (BM_Process64Steady);
BENCHMARK (BM_Process32ParamChange);
BENCHMARK (BM_Process64ParamChange);
