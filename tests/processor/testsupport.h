#pragma once

#include "plugprocessor.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cstring>
#include <random>
#include <vector>

namespace tolvartest {

using namespace Steinberg;
using namespace Steinberg::Vst;

// Stack objects: reference counting is not needed for these host-side helpers.
#define TOLVAR_TEST_UNKNOWN(Interface)                                                           \
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override                      \
	{                                                                                            \
		if (FUnknownPrivate::iidEqual (iid, Interface::iid) ||                                   \
		    FUnknownPrivate::iidEqual (iid, FUnknown::iid))                                      \
		{                                                                                        \
			*obj = static_cast<Interface*> (this);                                               \
			return kResultOk;                                                                    \
		}                                                                                        \
		*obj = nullptr;                                                                          \
		return kNoInterface;                                                                     \
	}                                                                                            \
	uint32 PLUGIN_API addRef () override { return 1; }                                           \
	uint32 PLUGIN_API release () override { return 1; }

// Byte stream over a vector.
class ByteStream : public IBStream
{
public:
	std::vector<uint8> bytes;
	int64 pos = 0;

	ByteStream () = default;
	explicit ByteStream (std::vector<uint8> b) : bytes (std::move (b)) {}

	TOLVAR_TEST_UNKNOWN (IBStream)

	tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
	{
		int64 n = numBytes < 0 ? 0 : numBytes;
		int64 left = static_cast<int64> (bytes.size ()) - pos;
		if (n > left)
			n = left;
		if (n > 0)
			std::memcpy (buffer, bytes.data () + pos, static_cast<size_t> (n));
		pos += n;
		if (numBytesRead)
			*numBytesRead = static_cast<int32> (n);
		return kResultOk;
	}
	tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
	{
		int64 n = numBytes < 0 ? 0 : numBytes;
		if (static_cast<int64> (bytes.size ()) < pos + n)
			bytes.resize (static_cast<size_t> (pos + n));
		if (n > 0)
			std::memcpy (bytes.data () + pos, buffer, static_cast<size_t> (n));
		pos += n;
		if (numBytesWritten)
			*numBytesWritten = static_cast<int32> (n);
		return kResultOk;
	}
	tresult PLUGIN_API seek (int64 p, int32 mode, int64* result) override
	{
		int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? pos : static_cast<int64> (bytes.size ());
		if (base + p < 0)
			return kResultFalse;
		pos = base + p;
		if (result)
			*result = pos;
		return kResultOk;
	}
	tresult PLUGIN_API tell (int64* p) override
	{
		if (p)
			*p = pos;
		return kResultOk;
	}
};

class ParamQueue : public IParamValueQueue
{
public:
	ParamID id;
	std::vector<std::pair<int32, ParamValue>> points;

	ParamQueue (ParamID i, std::vector<std::pair<int32, ParamValue>> p) : id (i), points (std::move (p)) {}

	TOLVAR_TEST_UNKNOWN (IParamValueQueue)

	ParamID PLUGIN_API getParameterId () override { return id; }
	int32 PLUGIN_API getPointCount () override { return static_cast<int32> (points.size ()); }
	tresult PLUGIN_API getPoint (int32 index, int32& offset, ParamValue& value) override
	{
		if (index < 0 || index >= getPointCount ())
			return kResultFalse;
		offset = points[static_cast<size_t> (index)].first;
		value = points[static_cast<size_t> (index)].second;
		return kResultOk;
	}
	tresult PLUGIN_API addPoint (int32, ParamValue, int32&) override { return kResultFalse; }
};

class ParamChanges : public IParameterChanges
{
public:
	std::vector<ParamQueue*> queues;

	TOLVAR_TEST_UNKNOWN (IParameterChanges)

	int32 PLUGIN_API getParameterCount () override { return static_cast<int32> (queues.size ()); }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
	{
		if (index < 0 || index >= static_cast<int32> (queues.size ()))
			return nullptr;
		return queues[static_cast<size_t> (index)];
	}
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID&, int32&) override { return nullptr; }
};

// Stereo (or wider) audio block of one sample type.
template <typename Sample>
struct Block
{
	int32 channels;
	int32 frames;
	std::vector<std::vector<Sample>> in, out;
	std::vector<Sample*> inPtrs, outPtrs;
	AudioBusBuffers inBus, outBus;

	Block (int32 ch, int32 n) : channels (ch), frames (n)
	{
		in.assign (static_cast<size_t> (ch), std::vector<Sample> (static_cast<size_t> (n), 0));
		out.assign (static_cast<size_t> (ch), std::vector<Sample> (static_cast<size_t> (n), 0));
		for (int32 c = 0; c < ch; ++c)
		{
			inPtrs.push_back (in[static_cast<size_t> (c)].data ());
			outPtrs.push_back (out[static_cast<size_t> (c)].data ());
		}
		inBus.numChannels = ch;
		outBus.numChannels = ch;
		setPointers ();
	}
	void setPointers ();
	Sample* output (int32 c) { return outPtrs[static_cast<size_t> (c)]; }

	ProcessData data (IParameterChanges* changes = nullptr)
	{
		ProcessData d;
		d.symbolicSampleSize = sizeof (Sample) == 4 ? kSample32 : kSample64;
		d.numSamples = frames;
		d.numInputs = 1;
		d.numOutputs = 1;
		d.inputs = &inBus;
		d.outputs = &outBus;
		d.inputParameterChanges = changes;
		return d;
	}
};

template <>
inline void Block<float>::setPointers ()
{
	inBus.channelBuffers32 = inPtrs.data ();
	outBus.channelBuffers32 = outPtrs.data ();
}
template <>
inline void Block<double>::setPointers ()
{
	inBus.channelBuffers64 = inPtrs.data ();
	outBus.channelBuffers64 = outPtrs.data ();
}

template <typename Sample>
void fillNoise (Block<Sample>& b, unsigned seed, double amp = 0.5)
{
	std::mt19937 gen (seed);
	std::uniform_real_distribution<double> dist (-amp, amp);
	for (auto& ch : b.in)
		for (auto& s : ch)
			s = static_cast<Sample> (static_cast<float> (dist (gen)));
}

// Processor set up and activated at the given rate and sample size.
inline void startProcessor (PlugProcessor& p, double rate, int32 sampleSize = kSample32, int32 maxBlock = 4096)
{
	p.initialize (nullptr);
	ProcessSetup setup {kRealtime, sampleSize, maxBlock, rate};
	p.setupProcessing (setup);
	p.setActive (true);
}

// A block without samples that carries one parameter value.
inline void sendValue (PlugProcessor& p, ParamID id, double value)
{
	ParamQueue q (id, {{0, value}});
	ParamChanges changes;
	changes.queues = {&q};
	Block<float> flush (2, 0);
	ProcessData d = flush.data (&changes);
	p.process (d);
}

// Writes a record holding the given normalised values for parameters 1..8.
inline ByteStream stateWith (const double (&values)[8], bool bypass = false)
{
	StateRecord r;
	r.bypass = bypass;
	for (int i = 0; i < 8; ++i)
		r.values[i] = values[i];
	ByteStream s;
	writeStateRecord (r, &s);
	s.pos = 0;
	return s;
}

constexpr double kDefaults[8] = {0.75, 0.5, 0.542562, 0.378659, 0.768622, 1.0, 0.75, 0.464386};

} // namespace tolvartest
