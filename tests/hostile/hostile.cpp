#include "hostile.h"

#include "plugcids.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <numeric>

namespace hostile {

int64_t scaled (int64_t shortCount, int64_t longCount)
{
	const char* v = std::getenv ("TOLVAR_HOSTILE_LONG");
	return v && std::string (v) == "1" ? longCount : shortCount;
}

uint64_t baseSeed ()
{
	const char* v = std::getenv ("TOLVAR_HOSTILE_SEED");
	return v ? std::strtoull (v, nullptr, 10) : 20240917u;
}

std::string describe (const std::string& name, int32 sampleSize)
{
	return name + (sampleSize == kSample64 ? ", 64 bit" : ", 32 bit");
}

//------------------------------------------------------------------------
static Module& bundle ()
{
	static std::string error;
	static const std::unique_ptr<Module> module = Module::load (TOLVAR_TEST_BUNDLE, error);
	if (!module)
	{
		std::cerr << error << "\n";
		std::abort ();
	}
	return *module;
}

Instance::Instance (bool withController, bool initialise)
{
	TUID cid;
	kProcessorClassId.toTUID (cid);
	component = bundle ().create<IComponent> (cid);
	processor = queryAs<IAudioProcessor> (component.get ());
	kControllerClassId.toTUID (cid);
	if (withController)
		controller = bundle ().create<IEditController> (cid);
	if (!processor || (withController && !controller))
		std::abort ();
	FUnknown* context = static_cast<IHostApplication*> (host.get ());
	EXPECT_TRUE (!initialise || component->initialize (context) == kResultOk);
	EXPECT_TRUE (!controller || controller->initialize (context) == kResultOk);
}

Instance::~Instance ()
{
	if (careless)
		return;
	// Whatever state a case left: deactivated and terminated, as a host does before releasing.
	component->setActive (false);
	component->terminate ();
	if (controller)
		controller->terminate ();
}

tresult Instance::setup (int32 sampleSize, double rate)
{
	ProcessSetup s {kRealtime, sampleSize, Block::kFrames, rate};
	return processor->setupProcessing (s);
}

void Instance::start (int32 sampleSize, double rate)
{
	ASSERT_EQ (setup (sampleSize, rate), kResultOk) << rate;
	ASSERT_EQ (component->setActive (true), kResultOk) << rate;
}

std::vector<uint8_t> Instance::state ()
{
	Ref<HostStream> s (new HostStream);
	EXPECT_EQ (component->getState (s.get ()), kResultOk);
	return s->data ();
}

//------------------------------------------------------------------------
Block::Block (int32 sampleSize, std::vector<int32> inChannels, std::vector<int32> outChannels)
: width (sampleSize == kSample32 ? 4 : 8)
, sentinel (width == 4 ? 0x7FA0DEADu : 0x7FF4DEADDEADDEADu)
, firstOutput (static_cast<size_t> (std::accumulate (inChannels.begin (), inChannels.end (), 0)))
{
	for (const auto* side : {&inChannels, &outChannels})
	{
		for (int32 channels : *side)
		{
			pointers.emplace_back ();
			for (int32 c = 0; c < channels; ++c)
			{
				memory.emplace_back (kFrames * width, uint8_t {0});
				pointers.back ().push_back (memory.back ().data ());
			}
		}
	}
	for (auto& p : pointers)
	{
		buses.emplace_back ();
		buses.back ().numChannels = static_cast<int32> (p.size ());
		buses.back ().channelBuffers32 = reinterpret_cast<Sample32**> (p.data ());
	}
	data.symbolicSampleSize = sampleSize;
	data.numInputs = static_cast<int32> (inChannels.size ());
	data.numOutputs = static_cast<int32> (outChannels.size ());
	data.inputs = data.numInputs ? buses.data () : nullptr;
	data.outputs = data.numOutputs ? buses.data () + data.numInputs : nullptr;
}

void Block::noise (Rng& rng)
{
	for (size_t c = 0; c < firstOutput; ++c)
		for (int32 i = 0; i < kFrames; ++i)
			setInput (c, i, rng.real (-1.0, 1.0));
}

void Block::setInput (size_t channel, int32 frame, double value)
{
	const float narrow = static_cast<float> (value);
	std::memcpy (memory[channel].data () + frame * width, width == 4 ? static_cast<const void*> (&narrow) : &value, width);
}

void Block::inPlace ()
{
	auto& out = pointers[static_cast<size_t> (data.numInputs)];
	for (size_t c = 0; c < out.size () && c < pointers.front ().size (); ++c)
		out[c] = pointers.front ()[c];
	shared = true;
}

tresult Block::process (IAudioProcessor* processor, int32 numSamples, IParameterChanges* changes)
{
	for (size_t c = firstOutput; c < memory.size (); ++c)
		for (int32 i = 0; i < kFrames; ++i)
			std::memcpy (memory[c].data () + i * width, &sentinel, width);
	for (auto& bus : buses)
		bus.silenceFlags = 0;
	inputCopy.assign (memory.begin (), memory.begin () + static_cast<std::ptrdiff_t> (firstOutput));
	data.numSamples = numSamples;
	data.inputParameterChanges = changes;
	return processor->process (data);
}

uint64_t Block::bitsAt (const void* channel, int32 frame) const
{
	uint64_t bits = 0;
	std::memcpy (&bits, static_cast<const uint8_t*> (channel) + frame * width, width);
	return bits;
}

testing::AssertionResult Block::inputsKept () const
{
	for (size_t c = 0; c < firstOutput && !shared; ++c)
		if (memory[c] != inputCopy[c])
			return testing::AssertionFailure () << "input channel " << c << " was written";
	return testing::AssertionSuccess ();
}

testing::AssertionResult Block::good (int32 n, bool finite) const
{
	const AudioBusBuffers* out = data.numOutputs > 0 ? data.outputs : nullptr;
	for (int32 c = 0; out && out->channelBuffers32 && c < out->numChannels; ++c)
	{
		for (int32 i = 0; out->channelBuffers32[c] && i < n; ++i)
		{
			const double v = width == 4 ? out->channelBuffers32[c][i] : out->channelBuffers64[c][i];
			if (bitsAt (out->channelBuffers32[c], i) == sentinel)
				return testing::AssertionFailure () << "output channel " << c << " frame " << i << " not written";
			if ((out->silenceFlags >> c & 1) && v != 0.0)
				return testing::AssertionFailure () << "output channel " << c << " flagged silent holds " << v;
			if (finite && !(std::fabs (v) <= kBound))
				return testing::AssertionFailure () << "output channel " << c << " frame " << i << " is " << v;
		}
	}
	return inputsKept ();
}

testing::AssertionResult Block::untouched () const
{
	for (size_t c = firstOutput; c < memory.size (); ++c)
		for (int32 i = 0; i < kFrames; ++i)
			if (bitsAt (memory[c].data (), i) != sentinel)
				return testing::AssertionFailure () << "output " << c - firstOutput << " frame " << i << " written";
	return inputsKept ();
}

std::vector<uint8_t> Block::outputBytes (int32 n) const
{
	std::vector<uint8_t> bytes;
	for (void* p : pointers[static_cast<size_t> (data.numInputs)])
		bytes.insert (bytes.end (), static_cast<uint8_t*> (p), static_cast<uint8_t*> (p) + n * width);
	return bytes;
}

testing::AssertionResult sameBytes (const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
	const auto at = std::mismatch (a.begin (), a.end (), b.begin (), b.end ());
	if (at.first == a.end () && at.second == b.end ())
		return testing::AssertionSuccess ();
	return testing::AssertionFailure () << a.size () << " and " << b.size () << " bytes, first difference at "
	                                    << at.first - a.begin ();
}

std::vector<uint8_t> render (IAudioProcessor* processor, int32 sampleSize, uint64_t seed, int blocks)
{
	Rng rng (seed);
	Block block (sampleSize);
	std::vector<uint8_t> bytes;
	for (int k = 0; k < blocks; ++k)
	{
		const auto n = static_cast<int32> (rng.range (1, Block::kFrames));
		block.noise (rng);
		const tresult r = block.process (processor, n);
		const testing::AssertionResult good = block.good (n);
		if (r != kResultOk || !good)
		{
			ADD_FAILURE () << "block " << k << ": result " << r << ", " << good.message ();
			break;
		}
		const auto out = block.outputBytes (n);
		bytes.insert (bytes.end (), out.begin (), out.end ());
	}
	return bytes;
}

} // namespace hostile
