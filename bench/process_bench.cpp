// Cost of the reverb at 48 kHz stereo in 256-sample blocks, in ns per stereo frame: the
// engine on each of its signal paths, the processor with every parameter automated in every
// block, and the per-sample reference engine, with the reference's time over the engine's.
#include "hallengine.h"
#include "plugids.h"
#include "plugprocessor.h"
#include "referencehall.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr double kRate = 48000.0;
constexpr int32 kBlock = 256;
constexpr double kDefaults[8] = {0.75, 0.5, 0.542562, 0.378659, 0.768622, 1.0, 0.75, 0.464386};

enum class Path
{
	automatic,
	baseline,
};

template <typename Sample>
struct Buffers
{
	std::vector<Sample> in[2], out[2];

	Buffers ()
	{
		std::mt19937 gen (1);
		std::uniform_real_distribution<double> dist (-0.5, 0.5);
		for (int c = 0; c < 2; ++c)
		{
			out[c].resize (kBlock);
			for (int32 i = 0; i < kBlock; ++i)
				in[c].push_back (static_cast<Sample> (dist (gen)));
		}
	}
};

void setPath (tolvar::HallEngine& e, Path path)
{
	e.useBaselineKernels (path == Path::baseline);
}
void setPath (tolvartest::ReferenceHall&, Path) {}

void report (benchmark::State& state)
{
	state.counters["ns_per_frame"] = benchmark::Counter (static_cast<double> (state.iterations ()) * kBlock,
	                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// An engine on its own: steady, or all eight values new in every block.
template <typename Engine, typename Sample>
void engineBench (benchmark::State& state, Path path, bool automated)
{
	Engine engine;
	setPath (engine, path);
	double values[8];
	std::copy (std::begin (kDefaults), std::end (kDefaults), values);
	engine.setValues (values);
	engine.prepare (kRate);
	Buffers<Sample> b;
	auto block = [&] { engine.process (b.in[0].data (), b.in[1].data (), b.out[0].data (), b.out[1].data (), kBlock); };
	// Past the crossfade that follows activation, with the smoothing settled.
	for (int i = 0; i < static_cast<int> (2.0 * kRate / kBlock); ++i)
		block ();

	std::mt19937 gen (2);
	std::uniform_real_distribution<double> dist (0.0, 1.0);
	for (auto _ : state)
	{
		if (automated)
		{
			for (double& v : values)
			{
				v = dist (gen);
				engine.setValues (values);
			}
		}
		block ();
		benchmark::DoNotOptimize (b.out[0][kBlock - 1]);
		benchmark::ClobberMemory ();
	}
	report (state);
}

// All nine parameters, bypass held off, as queues of one point in every block.
class AllParameters : public IParameterChanges, public IParamValueQueue
{
public:
	ParamValue values[kNumParams] = {};
	ParamID current = 0;

	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

	int32 PLUGIN_API getParameterCount () override { return kNumParams; }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
	{
		current = static_cast<ParamID> (index);
		return this;
	}
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID&, int32&) override { return nullptr; }

	ParamID PLUGIN_API getParameterId () override { return current; }
	int32 PLUGIN_API getPointCount () override { return 1; }
	tresult PLUGIN_API getPoint (int32, int32& offset, ParamValue& v) override
	{
		offset = 0;
		v = values[current];
		return kResultOk;
	}
	tresult PLUGIN_API addPoint (int32, ParamValue, int32&) override { return kResultFalse; }
};

class PathProcessor : public PlugProcessor
{
public:
	explicit PathProcessor (Path path) { hall.useBaselineKernels (path == Path::baseline); }
};

template <typename Sample>
void processorBench (benchmark::State& state, Path path)
{
	constexpr int32 size = sizeof (Sample) == 4 ? kSample32 : kSample64;
	PathProcessor processor (path);
	processor.initialize (nullptr);
	ProcessSetup setup {kRealtime, size, kBlock, kRate};
	processor.setupProcessing (setup);
	processor.setActive (true);

	Buffers<Sample> b;
	Sample* inPtrs[2] = {b.in[0].data (), b.in[1].data ()};
	Sample* outPtrs[2] = {b.out[0].data (), b.out[1].data ()};
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
	ProcessData data;
	data.symbolicSampleSize = size;
	data.numSamples = kBlock;
	data.numInputs = data.numOutputs = 1;
	data.inputs = &inBus;
	data.outputs = &outBus;
	for (int i = 0; i < static_cast<int> (2.0 * kRate / kBlock); ++i)
		processor.process (data);

	AllParameters changes;
	data.inputParameterChanges = &changes;
	std::mt19937 gen (2);
	std::uniform_real_distribution<double> dist (0.0, 1.0);
	for (auto _ : state)
	{
		for (ParamID id = kLevelId; id < kNumParams; ++id)
			changes.values[id] = dist (gen);
		processor.process (data);
		benchmark::DoNotOptimize (b.out[0][kBlock - 1]);
		benchmark::ClobberMemory ();
	}
	report (state);
	processor.setActive (false);
	processor.terminate ();
}

// Keeps each result's ns per frame (the least over repetitions, the one least disturbed by
// other load) to print the reference's time over the engine's.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
	std::map<std::string, double> nsPerFrame;

	void ReportRuns (const std::vector<Run>& runs) override
	{
		for (const Run& run : runs)
		{
			auto it = run.counters.find ("ns_per_frame");
			if (it == run.counters.end () || run.run_type != Run::RT_Iteration)
				continue;
			const std::string name = run.run_name.function_name;
			const double ns = it->second.value * 1e9;
			auto known = nsPerFrame.find (name);
			nsPerFrame[name] = known == nsPerFrame.end () || ns < known->second ? ns : known->second;
		}
		ConsoleReporter::ReportRuns (runs);
	}
};

} // namespace

int main (int argc, char** argv)
{
	const bool avx2 = tolvar::HallEngine ().usesAvx2Kernels ();
	const std::vector<std::pair<std::string, Path>> paths =
	    avx2 ? std::vector<std::pair<std::string, Path>> {{"avx2", Path::automatic}, {"baseline", Path::baseline}}
	         : std::vector<std::pair<std::string, Path>> {{"baseline", Path::baseline}};
	for (const auto& [pathName, path] : paths)
	{
		for (bool automated : {false, true})
		{
			const std::string kind = automated ? "automated" : "steady";
			benchmark::RegisterBenchmark (("Hall/" + kind + "/64/" + pathName).c_str (), [=] (benchmark::State& s) {
				engineBench<tolvar::HallEngine, double> (s, path, automated);
			});
			benchmark::RegisterBenchmark (("Hall/" + kind + "/32/" + pathName).c_str (), [=] (benchmark::State& s) {
				engineBench<tolvar::HallEngine, float> (s, path, automated);
			});
		}
		benchmark::RegisterBenchmark (("Processor/automated/64/" + pathName).c_str (),
		                              [=] (benchmark::State& s) { processorBench<double> (s, path); });
		benchmark::RegisterBenchmark (("Processor/automated/32/" + pathName).c_str (),
		                              [=] (benchmark::State& s) { processorBench<float> (s, path); });
	}
	for (bool automated : {false, true})
	{
		const std::string kind = automated ? "automated" : "steady";
		benchmark::RegisterBenchmark (("Reference/" + kind + "/64").c_str (), [=] (benchmark::State& s) {
			engineBench<tolvartest::ReferenceHall, double> (s, Path::automatic, automated);
		});
		benchmark::RegisterBenchmark (("Reference/" + kind + "/32").c_str (), [=] (benchmark::State& s) {
			engineBench<tolvartest::ReferenceHall, float> (s, Path::automatic, automated);
		});
	}

	benchmark::Initialize (&argc, argv);
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks (&reporter);

	std::printf ("\nns per stereo frame, and the per-sample reference's time over this one's:\n");
	for (const auto& [name, ns] : reporter.nsPerFrame)
	{
		if (name.rfind ("Hall/", 0) != 0)
			continue;
		const std::string rest = name.substr (5);
		const std::string reference = "Reference/" + rest.substr (0, rest.rfind ('/'));
		auto ref = reporter.nsPerFrame.find (reference);
		if (ref != reporter.nsPerFrame.end ())
			std::printf ("  %-28s %7.2f ns   reference %7.2f ns   ratio %5.1f\n", name.c_str (), ns, ref->second,
			             ref->second / ns);
		else
			std::printf ("  %-28s %7.2f ns\n", name.c_str (), ns);
	}
	return 0;
}
