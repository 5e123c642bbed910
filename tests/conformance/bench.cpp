#include "bench.h"

#include "entry/plugcids.h"

#include <cmath>
#include <cstring>

namespace conformance {

std::unique_ptr<Module> loadModule ()
{
	std::string error;
	auto m = Module::load (TOLVAR_TEST_BUNDLE, error);
	EXPECT_TRUE (m) << error;
	return m;
}

Bench::Bench (bool withController) : wantController (withController)
{
	module = loadModule ();
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

namespace {

template <typename Sample>
void runTyped (IAudioProcessor* processor, int32 maxBlock, const std::vector<int32>& sizes,
               int32 totalFrames, bool silenceFlags, BlockRun& run)
{
	std::vector<Sample> in[2], out[2], reference[2];
	for (int c = 0; c < 2; ++c)
	{
		in[c].assign (static_cast<size_t> (maxBlock), Sample (0));
		out[c].assign (static_cast<size_t> (maxBlock), Sample (0));
	}
	Sample* inPtr[2] = {in[0].data (), in[1].data ()};
	Sample* outPtr[2] = {out[0].data (), out[1].data ()};
	AudioBusBuffers inBus, outBus;
	inBus.numChannels = outBus.numChannels = 2;
	if constexpr (sizeof (Sample) == 4)
	{
		inBus.channelBuffers32 = inPtr;
		outBus.channelBuffers32 = outPtr;
	}
	else
	{
		inBus.channelBuffers64 = inPtr;
		outBus.channelBuffers64 = outPtr;
	}
	ProcessData data;
	data.symbolicSampleSize = sizeof (Sample) == 4 ? kSample32 : kSample64;
	data.numInputs = data.numOutputs = 1;
	data.inputs = &inBus;
	data.outputs = &outBus;

	int32 frame = 0;
	for (size_t k = 0; frame < totalFrames; ++k)
	{
		int32 n = sizes[k % sizes.size ()];
		if (n > totalFrames - frame)
			n = totalFrames - frame;
		bool silent = true;
		for (int32 i = 0; i < n; ++i)
		{
			// A short decaying burst every 22050 frames, silence in between.
			const int32 t = (frame + i) % 22050;
			const double x = t < 2000 ? std::sin (0.05 * t) * std::exp (-0.002 * t) : 0.0;
			in[0][i] = Sample (x);
			in[1][i] = Sample (-0.5 * x);
			silent = silent && x == 0.0;
		}
		inBus.silenceFlags = (silenceFlags && silent) ? 3 : 0;
		for (int c = 0; c < 2; ++c)
			reference[c].assign (in[c].begin (), in[c].begin () + n);
		data.numSamples = n;
		EXPECT_EQ (processor->process (data), kResultOk);
		for (int32 i = 0; i < n; ++i)
		{
			for (int c = 0; c < 2; ++c)
			{
				if (std::memcmp (&in[c][i], &reference[c][i], sizeof (Sample)) != 0)
					run.inputsUntouched = false;
				if (!std::isfinite (out[c][i]))
					run.finite = false;
			}
			run.left.push_back (out[0][i]);
			run.right.push_back (out[1][i]);
		}
		frame += n;
	}
}

} // namespace

BlockRun runBlocks (IAudioProcessor* processor, int32 sampleSize, int32 maxBlock,
                    const std::vector<int32>& sizes, int32 totalFrames, bool silenceFlags)
{
	BlockRun run;
	if (sampleSize == kSample32)
		runTyped<float> (processor, maxBlock, sizes, totalFrames, silenceFlags, run);
	else
		runTyped<double> (processor, maxBlock, sizes, totalFrames, silenceFlags, run);
	return run;
}

double stateDouble (const std::vector<uint8_t>& record, size_t offset)
{
	double v = 0.0;
	if (offset + 8 <= record.size ())
		std::memcpy (&v, record.data () + offset, 8);
	return v;
}

int32 stateInt32 (const std::vector<uint8_t>& record, size_t offset)
{
	int32 v = 0;
	if (offset + 4 <= record.size ())
		std::memcpy (&v, record.data () + offset, 4);
	return v;
}

} // namespace conformance
