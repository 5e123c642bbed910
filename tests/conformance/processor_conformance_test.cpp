// The processor walked through bus scans, state transitions, processing variants and state streams.
#include "bench.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>
#include <cstring>

namespace conformance {
namespace {

constexpr ParamID kBypass = 0;
constexpr ParamID kLevel = 1;
constexpr ParamID kRvbTime = 4;

int32 busCount (IComponent* c, MediaType t, BusDirection d)
{
	return c->getBusCount (t, d);
}

TEST (ProcessorConformance, InitializeTerminateCycles)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	EXPECT_EQ (busCount (b.component.get (), kAudio, kInput), 0) << "no bus before initialize";
	for (int round = 0; round < 3; ++round)
	{
		SCOPED_TRACE (round);
		ASSERT_EQ (b.initialize (), kResultOk);
		EXPECT_EQ (b.component->initialize (static_cast<IHostApplication*> (b.host.get ())), kResultFalse);
		EXPECT_EQ (busCount (b.component.get (), kAudio, kInput), 1);
		EXPECT_EQ (busCount (b.component.get (), kAudio, kOutput), 1);
		// Each life can run audio; repeated activation states are refused.
		EXPECT_NE (b.component->setActive (false), kResultOk) << "deactivate while inactive";
		b.start (kSample32);
		EXPECT_EQ (b.component->setActive (true), kResultFalse) << "activate while active";
		BlockRun run = runBlocks (b.processor.get (), kSample32, 256, {256}, 1024);
		EXPECT_TRUE (run.finite);
		b.stop ();
		EXPECT_NE (b.component->setActive (false), kResultOk);
		EXPECT_EQ (b.component->terminate (), kResultOk);
		EXPECT_NE (b.component->terminate (), kResultOk) << "terminate of a terminated object";
	}
}

TEST (ProcessorConformance, BusScanIsConsistent)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	IComponent* c = b.component.get ();
	for (MediaType type : {kAudio, kEvent})
	{
		for (BusDirection dir : {kInput, kOutput})
		{
			SCOPED_TRACE (testing::Message () << "type " << type << " dir " << dir);
			const int32 count = c->getBusCount (type, dir);
			EXPECT_EQ (count, type == kAudio ? 1 : 0);
			for (int32 i = 0; i < count; ++i)
			{
				BusInfo info {};
				ASSERT_EQ (c->getBusInfo (type, dir, i, info), kResultOk);
				EXPECT_EQ (info.mediaType, type);
				EXPECT_EQ (info.direction, dir);
				EXPECT_EQ (info.busType, kMain);
				EXPECT_EQ (info.flags, static_cast<uint32> (BusInfo::kDefaultActive));
				EXPECT_NE (info.name[0], 0);
				EXPECT_EQ (toUtf8 (reinterpret_cast<const char16_t*> (info.name), 128),
				           dir == kInput ? "AudioInput" : "AudioOutput");
				SpeakerArrangement arr = 0;
				ASSERT_EQ (b.processor->getBusArrangement (dir, i, arr), kResultOk);
				EXPECT_EQ (info.channelCount, SpeakerArr::getChannelCount (arr));
				EXPECT_EQ (arr, SpeakerArr::kStereo);
				EXPECT_EQ (c->activateBus (type, dir, i, false), kResultOk);
				EXPECT_EQ (c->activateBus (type, dir, i, true), kResultOk);
			}
			BusInfo info {};
			SpeakerArrangement arr = 0;
			for (int32 bad : {-1, count, count + 7})
			{
				EXPECT_NE (c->getBusInfo (type, dir, bad, info), kResultOk) << bad;
				EXPECT_NE (c->activateBus (type, dir, bad, true), kResultOk) << bad;
				if (type == kAudio)
				{
					EXPECT_NE (b.processor->getBusArrangement (dir, bad, arr), kResultOk) << bad;
				}
			}
		}
	}
	// Unknown media types and directions have no buses.
	EXPECT_EQ (c->getBusCount (kNumMediaTypes, kInput), 0);
	EXPECT_EQ (c->getBusCount (kAudio, 2), 0);
	BusInfo info {};
	EXPECT_NE (c->getBusInfo (kAudio, 2, 0, info), kResultOk);
	RoutingInfo in {}, out {};
	EXPECT_NE (c->getRoutingInfo (in, out), kResultOk);
	EXPECT_EQ (c->terminate (), kResultOk);
}

TEST (ProcessorConformance, ArrangementNegotiationKeepsBusesConsistent)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	auto current = [&] (BusDirection dir) {
		SpeakerArrangement arr = 0;
		EXPECT_EQ (b.processor->getBusArrangement (dir, 0, arr), kResultOk);
		BusInfo info {};
		EXPECT_EQ (b.component->getBusInfo (kAudio, dir, 0, info), kResultOk);
		EXPECT_EQ (info.channelCount, SpeakerArr::getChannelCount (arr));
		return arr;
	};
	SpeakerArrangement in = current (kInput), out = current (kOutput);
	EXPECT_EQ (b.processor->setBusArrangements (&in, 1, &out, 1), kResultTrue);

	// What a host tries on a stereo effect; each refusal leaves the buses as they were.
	for (SpeakerArrangement wish : {SpeakerArr::kMono, SpeakerArr::k51, SpeakerArr::kEmpty, SpeakerArr::k30Cine,
	                                SpeakerArr::k71Music})
	{
		SCOPED_TRACE (wish);
		SpeakerArrangement wishIn = wish, wishOut = wish;
		EXPECT_EQ (b.processor->setBusArrangements (&wishIn, 1, &wishOut, 1), kResultFalse);
		EXPECT_EQ (b.processor->setBusArrangements (&in, 1, &wishOut, 1), kResultFalse);
		EXPECT_EQ (current (kInput), SpeakerArr::kStereo);
		EXPECT_EQ (current (kOutput), SpeakerArr::kStereo);
		// The host falls back to what the plug-in reports.
		SpeakerArrangement backIn = current (kInput), backOut = current (kOutput);
		EXPECT_EQ (b.processor->setBusArrangements (&backIn, 1, &backOut, 1), kResultTrue);
	}
	// More arrangements than buses are refused.
	SpeakerArrangement two[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
	EXPECT_NE (b.processor->setBusArrangements (two, 2, two, 2), kResultTrue);
	EXPECT_EQ (current (kOutput), SpeakerArr::kStereo);

	EXPECT_EQ (b.processor->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (b.processor->canProcessSampleSize (kSample64), kResultTrue);
	EXPECT_EQ (b.processor->canProcessSampleSize (2), kResultFalse);
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (ProcessorConformance, SuspendResumeAndSampleSizeSwitches)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	EXPECT_EQ (b.processor->getLatencySamples (), 0u);
	auto req = queryAs<IProcessContextRequirements> (b.component.get ());
	ASSERT_TRUE (req);
	EXPECT_EQ (req->getProcessContextRequirements (), 0u);

	b.start (kSample32, 44100.0, 512);
	EXPECT_EQ (b.processor->getTailSamples (), 92609u);
	const BlockRun first = runBlocks (b.processor.get (), kSample32, 512, {512}, 8192);
	ASSERT_TRUE (first.finite);

	// setProcessing(false) straight after setProcessing(true), without a process call.
	b.processor->setProcessing (false);
	b.processor->setProcessing (true);
	b.stop ();

	// Resume: lines and low-pass start cleared again; only the high-pass residue of the
	// last run carries over and dies away.
	b.start (kSample32, 44100.0, 512);
	const BlockRun again = runBlocks (b.processor.get (), kSample32, 512, {512}, 8192);
	ASSERT_EQ (again.left.size (), first.left.size ());
	double early = 0.0, late = 0.0;
	for (size_t i = 0; i < again.left.size (); ++i)
	{
		const double d = std::max (std::fabs (again.left[i] - first.left[i]),
		                           std::fabs (again.right[i] - first.right[i]));
		(i < 4096 ? early : late) = std::max (i < 4096 ? early : late, d);
	}
	EXPECT_GT (early, 0.0);
	EXPECT_LT (early, 1e-3);
	EXPECT_LT (late, 1e-6);
	b.stop ();

	// 64 bit on a fresh processor gives the 32-bit result up to float rounding.
	{
		Bench wide;
		ASSERT_TRUE (wide.ok ());
		ASSERT_EQ (wide.initialize (), kResultOk);
		wide.start (kSample64, 44100.0, 512);
		const BlockRun w = runBlocks (wide.processor.get (), kSample64, 512, {512}, 8192);
		ASSERT_EQ (w.left.size (), first.left.size ());
		double maxDiff = 0.0, peak = 0.0;
		for (size_t i = 0; i < w.left.size (); ++i)
		{
			maxDiff = std::max (maxDiff, std::fabs (w.left[i] - first.left[i]));
			peak = std::max (peak, std::fabs (w.left[i]));
		}
		EXPECT_GT (peak, 0.01);
		EXPECT_LT (maxDiff, 1e-6);
		wide.stop ();
	}

	// A new rate and sample size go through a deactivation, as hosts do.
	b.start (kSample64, 48000.0, 4096);
	EXPECT_EQ (b.processor->getTailSamples (), 100799u);
	EXPECT_TRUE (runBlocks (b.processor.get (), kSample64, 4096, {4096, 1, 77}, 20000).finite);
	b.stop ();

	// Offline and prefetch set-ups are accepted as well.
	for (int32 mode : {kOffline, kPrefetch})
	{
		EXPECT_EQ (b.setup (kSample32, 44100.0, 256, mode), kResultOk);
		EXPECT_EQ (b.component->setActive (true), kResultOk);
		EXPECT_TRUE (runBlocks (b.processor.get (), kSample32, 256, {256}, 512).finite);
		EXPECT_EQ (b.component->setActive (false), kResultOk);
	}
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (ProcessorConformance, VariableBlockSizesMatchFixedOnes)
{
	// Sizes as a validator sends them: 1, the maximum, zero and odd sizes in between.
	std::vector<int32> sizes {1, 4096, 0, 3, 1000, 4095, 1, 17, 0, 2048, 511, 4096};
	uint32 seed = 12345;
	for (int i = 0; i < 40; ++i)
	{
		seed = seed * 1664525u + 1013904223u;
		sizes.push_back (static_cast<int32> ((seed >> 8) % 4097));
	}
	for (int32 sampleSize : {kSample32, kSample64})
	{
		SCOPED_TRACE (sampleSize);
		Bench fixed, varied;
		ASSERT_TRUE (fixed.ok () && varied.ok ());
		ASSERT_EQ (fixed.initialize (), kResultOk);
		ASSERT_EQ (varied.initialize (), kResultOk);
		fixed.start (sampleSize, 44100.0, 4096);
		varied.start (sampleSize, 44100.0, 4096);
		const BlockRun a = runBlocks (fixed.processor.get (), sampleSize, 4096, {64}, 60000);
		const BlockRun v = runBlocks (varied.processor.get (), sampleSize, 4096, sizes, 60000);
		EXPECT_TRUE (a.finite && v.finite);
		EXPECT_TRUE (a.inputsUntouched && v.inputsUntouched) << "out-of-place processing writes no input";
		EXPECT_EQ (a.left, v.left);
		EXPECT_EQ (a.right, v.right);
		fixed.stop ();
		varied.stop ();
	}
}

TEST (ProcessorConformance, SilenceFlagsAreOnlyAHint)
{
	for (int32 sampleSize : {kSample32, kSample64})
	{
		SCOPED_TRACE (sampleSize);
		Bench plain, flagged;
		ASSERT_TRUE (plain.ok () && flagged.ok ());
		ASSERT_EQ (plain.initialize (), kResultOk);
		ASSERT_EQ (flagged.initialize (), kResultOk);
		plain.start (sampleSize);
		flagged.start (sampleSize);
		const BlockRun a = runBlocks (plain.processor.get (), sampleSize, 256, {256}, 44100, false);
		const BlockRun f = runBlocks (flagged.processor.get (), sampleSize, 256, {256}, 44100, true);
		EXPECT_EQ (a.left, f.left);
		EXPECT_EQ (a.right, f.right);
		// The tail of the second burst (the first falls into the fade after activation)
		// goes on while the input is flagged silent.
		double tail = 0.0;
		for (size_t i = 30000; i < f.left.size (); ++i)
			tail = std::max (tail, std::fabs (f.left[i]));
		EXPECT_GT (tail, 1e-4);
		plain.stop ();
		flagged.stop ();
	}
}

TEST (ProcessorConformance, FlushCallsCarryParameters)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	b.start (kSample32, 44100.0, 256);
	Ref<ParameterChanges> changes (new ParameterChanges);
	Ref<ParameterChanges> outChanges (new ParameterChanges);
	int32 index = 0;

	// No buses, null arrays, no samples: only the parameters travel.
	ProcessData flush;
	flush.symbolicSampleSize = kSample32;
	flush.inputParameterChanges = changes.get ();
	flush.outputParameterChanges = outChanges.get ();
	changes->addParameterData (kRvbTime, index)->addPoint (0, 1.0, index);
	changes->addParameterData (kLevel, index)->addPoint (0, 0.25, index);
	changes->addEmptyQueue (kNoParamId);
	EXPECT_EQ (b.processor->process (flush), kResultOk);
	std::vector<uint8_t> s = b.state ();
	EXPECT_EQ (stateDouble (s, 12), 0.25);
	EXPECT_EQ (stateDouble (s, 36), 1.0);
	EXPECT_NEAR (b.processor->getTailSamples (), 8.5 * 44100.0, 1.0) << "the tail follows the reverb time";
	EXPECT_EQ (outChanges->getParameterCount (), 0);

	// Empty queues and unknown ids change nothing.
	changes->clear ();
	changes->addEmptyQueue (kLevel);
	changes->addParameterData (kNoParamId, index)->addPoint (0, 0.9, index);
	changes->addParameterData (1000, index)->addPoint (0, 0.9, index);
	EXPECT_EQ (b.processor->process (flush), kResultOk);
	EXPECT_EQ (b.state (), s);

	// A flush with buses but zero samples leaves the output buffers alone.
	float inL[8] = {1.f}, inR[8] = {}, outL[8], outR[8];
	std::fill (outL, outL + 8, 0.5f);
	std::fill (outR, outR + 8, 0.5f);
	float* ins[2] = {inL, inR};
	float* outs[2] = {outL, outR};
	AudioBusBuffers inBus, outBus;
	inBus.numChannels = outBus.numChannels = 2;
	inBus.channelBuffers32 = ins;
	outBus.channelBuffers32 = outs;
	ProcessData zero;
	zero.symbolicSampleSize = kSample32;
	zero.numInputs = zero.numOutputs = 1;
	zero.inputs = &inBus;
	zero.outputs = &outBus;
	changes->clear ();
	changes->addParameterData (kBypass, index)->addPoint (0, 1.0, index);
	zero.inputParameterChanges = changes.get ();
	EXPECT_EQ (b.processor->process (zero), kResultOk);
	EXPECT_EQ (outL[0], 0.5f);
	EXPECT_EQ (stateInt32 (b.state (), 8), 1) << "bypass arrived in the zero-sample call";

	// Bypassed, a real block copies the input.
	zero.inputParameterChanges = nullptr;
	zero.numSamples = 8;
	inR[3] = -0.25f;
	EXPECT_EQ (b.processor->process (zero), kResultOk);
	EXPECT_EQ (std::memcmp (outL, inL, sizeof outL), 0);
	EXPECT_EQ (std::memcmp (outR, inR, sizeof outR), 0);

	// Input or output bus count of zero: nothing is touched, the call succeeds.
	std::fill (outL, outL + 8, 0.5f);
	zero.numInputs = 0;
	EXPECT_EQ (b.processor->process (zero), kResultOk);
	EXPECT_EQ (outL[0], 0.5f);
	zero.numInputs = 1;
	zero.numOutputs = 0;
	EXPECT_EQ (b.processor->process (zero), kResultOk);
	b.stop ();
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (ProcessorConformance, AutomationInEveryBlockStaysFinite)
{
	// Random automation of all nine parameters, several points per queue, random block
	// sizes, bypass switching on and off, plus an empty queue for an unknown id.
	for (int32 sampleSize : {kSample32, kSample64})
	{
		SCOPED_TRACE (sampleSize);
		Bench b;
		ASSERT_TRUE (b.ok ());
		ASSERT_EQ (b.initialize (), kResultOk);
		b.start (sampleSize, 44100.0, 1024);
		std::vector<float> in32[2], out32[2];
		std::vector<double> in64[2], out64[2];
		float* p32[4];
		double* p64[4];
		for (int c = 0; c < 2; ++c)
		{
			in32[c].assign (1024, 0.f);
			out32[c].assign (1024, 0.f);
			in64[c].assign (1024, 0.0);
			out64[c].assign (1024, 0.0);
			p32[c] = in32[c].data ();
			p32[2 + c] = out32[c].data ();
			p64[c] = in64[c].data ();
			p64[2 + c] = out64[c].data ();
		}
		AudioBusBuffers inBus, outBus;
		inBus.numChannels = outBus.numChannels = 2;
		if (sampleSize == kSample32)
		{
			inBus.channelBuffers32 = p32;
			outBus.channelBuffers32 = p32 + 2;
		}
		else
		{
			inBus.channelBuffers64 = p64;
			outBus.channelBuffers64 = p64 + 2;
		}
		Ref<ParameterChanges> changes (new ParameterChanges);
		ProcessData data;
		data.symbolicSampleSize = sampleSize;
		data.numInputs = data.numOutputs = 1;
		data.inputs = &inBus;
		data.outputs = &outBus;
		data.inputParameterChanges = changes.get ();

		uint32 seed = 777;
		auto next = [&seed] (uint32 range) {
			seed = seed * 1664525u + 1013904223u;
			return (seed >> 8) % range;
		};
		bool allFinite = true;
		for (int block = 0; block < 300; ++block)
		{
			const int32 n = static_cast<int32> (next (1025));
			for (int32 i = 0; i < n; ++i)
			{
				const double x = 0.5 * std::sin (0.031 * (block * 1024 + i));
				in32[0][i] = in32[1][i] = static_cast<float> (x);
				in64[0][i] = in64[1][i] = x;
			}
			changes->clear ();
			for (ParamID id = 0; id < 9; ++id)
			{
				if (next (3) == 0)
					continue;
				int32 index = 0;
				IParamValueQueue* q = changes->addParameterData (id, index);
				const int32 points = 1 + static_cast<int32> (next (4));
				for (int32 k = 0; k < points; ++k)
					q->addPoint (n > 0 ? static_cast<int32> (next (static_cast<uint32> (n))) : 0,
					             next (1001) / 1000.0, index);
			}
			changes->addEmptyQueue (kNoParamId);
			data.numSamples = n;
			ASSERT_EQ (b.processor->process (data), kResultOk);
			for (int c = 0; c < 2; ++c)
				for (int32 i = 0; i < n; ++i)
					allFinite = allFinite && std::isfinite (sampleSize == kSample32 ? out32[c][i] : out64[c][i]);
		}
		EXPECT_TRUE (allFinite);
		EXPECT_LT (b.processor->getTailSamples (), kInfiniteTail);
		b.stop ();
		EXPECT_EQ (b.component->terminate (), kResultOk);
	}
}

TEST (StateConformance, StreamsPositionedAnywhere)
{
	Bench a, other;
	ASSERT_TRUE (a.ok () && other.ok ());
	ASSERT_EQ (a.initialize (), kResultOk);
	ASSERT_EQ (other.initialize (), kResultOk);
	const std::vector<uint8_t> fresh = a.state ();
	ASSERT_EQ (fresh.size (), 140u);

	// getState appends at the stream's position.
	Ref<HostStream> out (new HostStream (std::vector<uint8_t> (7, 0xAB)));
	int64 pos = 0;
	ASSERT_EQ (out->seek (0, IBStream::kIBSeekEnd, &pos), kResultOk);
	ASSERT_EQ (a.component->getState (out.get ()), kResultOk);
	ASSERT_EQ (out->data ().size (), 147u);
	EXPECT_EQ (std::vector<uint8_t> (out->data ().begin () + 7, out->data ().end ()), fresh);
	EXPECT_EQ (out->data ()[6], 0xAB);

	// setState reads 140 bytes from where the stream stands and leaves the rest.
	std::vector<uint8_t> changed = fresh;
	changed[8] = 1; // bypass on
	const double level = 0.125;
	std::memcpy (changed.data () + 12, &level, 8);
	std::vector<uint8_t> framed (5, 0xEE);
	framed.insert (framed.end (), changed.begin (), changed.end ());
	framed.insert (framed.end (), {1, 2, 3});
	Ref<HostStream> in (new HostStream (framed));
	ASSERT_EQ (in->seek (5, IBStream::kIBSeekSet, nullptr), kResultOk);
	EXPECT_EQ (other.component->setState (in.get ()), kResultOk);
	EXPECT_EQ (in->position (), 145);
	EXPECT_EQ (other.state (), changed);

	// A record cut short at the end of the stream is refused and changes nothing.
	Ref<HostStream> cut (new HostStream (std::vector<uint8_t> (framed.begin (), framed.begin () + 144)));
	ASSERT_EQ (cut->seek (5, IBStream::kIBSeekSet, nullptr), kResultOk);
	EXPECT_NE (a.component->setState (cut.get ()), kResultOk);
	EXPECT_EQ (a.state (), fresh);

	// The round trip through a second processor is exact.
	Ref<HostStream> trip (new HostStream (other.state ()));
	EXPECT_EQ (a.component->setState (trip.get ()), kResultOk);
	EXPECT_EQ (a.state (), changed);
	EXPECT_EQ (a.component->terminate (), kResultOk);
	EXPECT_EQ (other.component->terminate (), kResultOk);
}

} // namespace
} // namespace conformance
