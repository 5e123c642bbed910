#include "hostile.h"

#include "plugcids.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>

namespace hostile {

// Cases that today's engine fails, with the fault behind each. Empty this list when the
// engine rewrite lands.
static const std::map<std::string, std::string> kAwaitingEngineFix = {
    {"audio/next-block", "a non-finite value in the engine is not cleared at the block boundary"},
    {"audio/reactivation", "activation leaves the mid and side high-pass states as they were"},
    {"calls/setup-while-active", "setupProcessing while active is accepted"},
    {"calls/unusable-rate", "setupProcessing takes a rate of 0, NaN, a subnormal or out of range"},
    {"calls/repeated-activation", "a second setActive(true) clears the delay lines"},
    {"buffers/invalid-sample-size", "a sample size other than 32 or 64 bit runs as 64 bit"},
    {"buffers/unwritable-channels", "output channels are left unwritten when the engine does not run"},
    {"queues/empty", "an empty queue is read at index -1"},
    {"queues/negative-point-count", "a negative point count is read below index 0"},
};

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

bool awaitingEngineFix (const std::string& name)
{
	const auto it = kAwaitingEngineFix.find (name);
	if (it == kAwaitingEngineFix.end ())
		return false;
	const char* run = std::getenv ("TOLVAR_HOSTILE_RUN_AWAITING");
	if (run && (std::string (run) == "all" || name.find (run) != std::string::npos))
		return false;
	std::cout << "[ awaiting engine fix ] " << name << ": " << it->second << "\n";
	return true;
}

//------------------------------------------------------------------------
namespace {
Module& bundle ()
{
	static std::unique_ptr<Module> module = [] {
		std::string error;
		auto m = Module::load (TOLVAR_TEST_BUNDLE, error);
		if (!m)
		{
			std::cerr << error << "\n";
			std::abort ();
		}
		return m;
	}();
	return *module;
}
} // namespace

Instance::Instance (bool initialize, bool withController)
{
	TUID cid;
	kProcessorClassId.toTUID (cid);
	component = bundle ().create<IComponent> (cid);
	processor = queryAs<IAudioProcessor> (component.get ());
	if (withController)
	{
		kControllerClassId.toTUID (cid);
		controller = bundle ().create<IEditController> (cid);
	}
	if (!component || !processor || (withController && !controller))
	{
		ADD_FAILURE () << "the factory made no processor or controller";
		std::abort ();
	}
	if (initialize)
	{
		FUnknown* context = static_cast<IHostApplication*> (host.get ());
		EXPECT_EQ (component->initialize (context), kResultOk);
		if (controller)
		{
			EXPECT_EQ (controller->initialize (context), kResultOk);
		}
	}
}

Instance::~Instance ()
{
	// Whatever state a case left: deactivate and terminate as a host does before releasing.
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

tresult Instance::setState (const std::vector<uint8_t>& bytes)
{
	Ref<HostStream> s (new HostStream (bytes));
	return component->setState (s.get ());
}

//------------------------------------------------------------------------
namespace {
constexpr uint32_t kSentinel32 = 0x7FA0DEADu;
constexpr uint64_t kSentinel64 = 0x7FF4DEADDEADDEADull;
} // namespace

Block::Block (int32 sampleSize, std::vector<int32> inChannels, std::vector<int32> outChannels)
: width (sampleSize == kSample32 ? 4 : 8)
{
	for (int32 channels : inChannels)
		firstOutput += static_cast<size_t> (channels);
	size_t next = 0;
	auto addBuses = [&] (const std::vector<int32>& channelsPerBus) {
		for (int32 channels : channelsPerBus)
		{
			pointers.emplace_back ();
			for (int32 c = 0; c < channels; ++c, ++next)
			{
				memory.emplace_back (static_cast<size_t> (kFrames * width), uint8_t {0});
				pointers.back ().push_back (memory[next].data ());
			}
		}
	};
	addBuses (inChannels);
	addBuses (outChannels);
	for (auto& p : pointers)
	{
		AudioBusBuffers bus;
		bus.numChannels = static_cast<int32> (p.size ());
		bus.channelBuffers32 = reinterpret_cast<Sample32**> (p.data ());
		buses.push_back (bus);
	}
	data.processMode = kRealtime;
	data.symbolicSampleSize = sampleSize;
	data.numInputs = static_cast<int32> (inChannels.size ());
	data.numOutputs = static_cast<int32> (outChannels.size ());
	data.inputs = data.numInputs ? buses.data () : nullptr;
	data.outputs = data.numOutputs ? buses.data () + data.numInputs : nullptr;
}

void Block::noise (Rng& rng, double peak)
{
	for (size_t c = 0; c < firstOutput; ++c)
		for (int32 i = 0; i < kFrames; ++i)
			setInput (static_cast<int32> (c), i, rng.real (-peak, peak));
}

void Block::setInput (int32 channel, int32 frame, double value)
{
	uint8_t* at = memory[static_cast<size_t> (channel)].data () + frame * width;
	const float narrow = static_cast<float> (value);
	std::memcpy (at, width == 4 ? static_cast<const void*> (&narrow) : &value, static_cast<size_t> (width));
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
			std::memcpy (memory[c].data () + i * width, width == 4 ? static_cast<const void*> (&kSentinel32)
			                                                       : &kSentinel64,
			             static_cast<size_t> (width));
	inputCopy.assign (memory.begin (), memory.begin () + static_cast<std::ptrdiff_t> (firstOutput));
	data.numSamples = numSamples;
	data.inputParameterChanges = changes;
	return processor->process (data);
}

double Block::sample (const uint8_t* channel, int32 frame) const
{
	if (width == 8)
	{
		double v;
		std::memcpy (&v, channel + frame * 8, 8);
		return v;
	}
	float v;
	std::memcpy (&v, channel + frame * 4, 4);
	return v;
}

bool Block::written (const uint8_t* channel, int32 frame) const
{
	return width == 4 ? std::memcmp (channel + frame * 4, &kSentinel32, 4) != 0
	                  : std::memcmp (channel + frame * 8, &kSentinel64, 8) != 0;
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
	// Only what the host handed over can be written: bus 0 as data describes it.
	const AudioBusBuffers* out = data.numOutputs > 0 ? data.outputs : nullptr;
	for (int32 c = 0; out && out->channelBuffers32 && c < out->numChannels; ++c)
	{
		const auto* channel = reinterpret_cast<const uint8_t*> (out->channelBuffers32[c]);
		for (int32 i = 0; channel && i < n; ++i)
		{
			const double v = sample (channel, i);
			if (!written (channel, i))
				return testing::AssertionFailure () << "output channel " << c << " frame " << i << " not written";
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
			if (written (memory[c].data (), i))
				return testing::AssertionFailure () << "output " << c - firstOutput << " frame " << i << " written";
	return inputsKept ();
}

std::vector<uint8_t> Block::outputBytes (int32 n) const
{
	std::vector<uint8_t> bytes;
	for (void* p : pointers[static_cast<size_t> (data.numInputs)])
		if (p)
			bytes.insert (bytes.end (), static_cast<uint8_t*> (p), static_cast<uint8_t*> (p) + n * width);
	return bytes;
}

testing::AssertionResult sameBytes (const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
	if (a == b)
		return testing::AssertionSuccess ();
	size_t i = 0;
	while (i < a.size () && i < b.size () && a[i] == b[i])
		++i;
	return testing::AssertionFailure () << "sizes " << a.size () << " and " << b.size () << ", first difference at byte "
	                                    << i;
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
