// The processor of the built bundle: lifecycle, buses, processing variants, parameter
// flushes, hostile calls, state streams and renders through the host library.
#include "support.h"

#include "plugids.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>
#include <cstring>

namespace itest {
namespace {

TEST (ProcessorConformance, LifecycleCyclesAndWrongCallOrder)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	IComponent* c = b.component.get ();
	EXPECT_EQ (c->getBusCount (kAudio, kInput), 0) << "no bus before initialize";
	EXPECT_NE (c->setActive (false), kResultOk) << "deactivating what never started";
	for (int round = 0; round < 3; ++round)
	{
		SCOPED_TRACE (round);
		ASSERT_EQ (b.initialize (), kResultOk);
		EXPECT_EQ (c->initialize (static_cast<IHostApplication*> (b.host.get ())), kResultFalse);
		EXPECT_EQ (c->getBusCount (kAudio, kInput), 1) << "a refused initialize adds no bus";
		EXPECT_EQ (c->getBusCount (kAudio, kOutput), 1);
		EXPECT_NE (c->setActive (false), kResultOk) << "deactivate while inactive";
		b.start (kSample32);
		EXPECT_EQ (c->setActive (true), kResultFalse) << "activate while active";
		// The repeat keeps one set of buffers and still processes.
		AudioBlock block (256, kSample32);
		block.in32[0][0] = 1.f;
		EXPECT_EQ (block.process (b.processor.get (), 256, nullptr), kResultOk);
		EXPECT_NE (block.out32[0][0], 0.f) << "the dry signal passes";
		EXPECT_TRUE (runBlocks (b.processor.get (), kSample32, 256, {256}, 1024).finite);
		if (round == 1)
		{
			// No new set-up while active; terminated while still active.
			EXPECT_EQ (b.setup (kSample64, 96000.0), kResultFalse);
			EXPECT_EQ (c->terminate (), kResultOk);
			c->setActive (false);
			continue;
		}
		b.stop ();
		EXPECT_NE (c->setActive (false), kResultOk);
		EXPECT_EQ (c->terminate (), kResultOk);
		EXPECT_NE (c->terminate (), kResultOk) << "terminate of a terminated object";
	}
	// Released while active: nothing may leak or crash.
	ASSERT_EQ (b.initialize (), kResultOk);
	b.start (kSample32);
}

TEST (ProcessorConformance, BusesArrangementsAndSampleSizes)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	IComponent* c = b.component.get ();
	IAudioProcessor* p = b.processor.get ();
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
				EXPECT_EQ (text16 (info.name), dir == kInput ? "AudioInput" : "AudioOutput");
				SpeakerArrangement arr = 0;
				ASSERT_EQ (p->getBusArrangement (dir, i, arr), kResultOk);
				EXPECT_EQ (arr, SpeakerArr::kStereo);
				EXPECT_EQ (info.channelCount, 2);
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
					EXPECT_NE (p->getBusArrangement (dir, bad, arr), kResultOk) << bad;
				}
			}
		}
	}
	// Unknown media types and directions have no buses; there is no routing.
	EXPECT_EQ (c->getBusCount (kNumMediaTypes, kInput), 0);
	EXPECT_EQ (c->getBusCount (kAudio, 2), 0);
	BusInfo info {};
	EXPECT_NE (c->getBusInfo (kAudio, 2, 0, info), kResultOk);
	RoutingInfo in {}, out {};
	EXPECT_NE (c->getRoutingInfo (in, out), kResultOk);

	// What a host tries on a stereo effect; a refusal leaves the buses as they were.
	auto current = [&] (BusDirection dir) {
		SpeakerArrangement arr = 0;
		EXPECT_EQ (p->getBusArrangement (dir, 0, arr), kResultOk);
		BusInfo bi {};
		EXPECT_EQ (c->getBusInfo (kAudio, dir, 0, bi), kResultOk);
		EXPECT_EQ (bi.channelCount, SpeakerArr::getChannelCount (arr));
		return arr;
	};
	const SpeakerArrangement stereo = SpeakerArr::kStereo, lsrs = kSpeakerLs | kSpeakerRs,
	                         lls = kSpeakerL | kSpeakerLs;
	struct Case
	{
		SpeakerArrangement in[2], out[2];
		int32 ins, outs;
		tresult result;
	} cases[] = {
	    {{stereo}, {stereo}, 1, 1, kResultTrue},
	    {{lsrs}, {lsrs}, 1, 1, kResultTrue}, // any two speakers are a pair
	    {{lls}, {lls}, 1, 1, kResultTrue},
	    {{stereo}, {stereo}, 0, 0, kResultTrue},
	    {{SpeakerArr::kMono}, {stereo}, 1, 1, kResultFalse},
	    {{stereo}, {SpeakerArr::kMono}, 1, 1, kResultFalse},
	    {{stereo}, {SpeakerArr::k51}, 1, 1, kResultFalse},
	    {{SpeakerArr::kEmpty}, {stereo}, 1, 1, kResultFalse},
	    {{stereo}, {SpeakerArr::kEmpty}, 1, 1, kResultFalse},
	    {{SpeakerArr::k30Cine}, {SpeakerArr::k30Cine}, 1, 1, kResultFalse},
	    {{SpeakerArr::k71Music}, {SpeakerArr::k71Music}, 1, 1, kResultFalse},
	    {{stereo, stereo}, {stereo, stereo}, 2, 2, kResultFalse}, // more arrangements than buses
	    {{stereo}, {stereo}, -1, 1, kInvalidArgument},
	};
	for (auto& k : cases)
	{
		SCOPED_TRACE (testing::Message () << std::hex << k.in[0] << "/" << k.out[0] << " " << k.ins);
		SpeakerArrangement backIn = stereo, backOut = stereo;
		ASSERT_EQ (p->setBusArrangements (&backIn, 1, &backOut, 1), kResultTrue);
		EXPECT_EQ (p->setBusArrangements (k.in, k.ins, k.out, k.outs), k.result);
		if (k.result != kResultTrue)
		{
			EXPECT_EQ (current (kInput), stereo);
			EXPECT_EQ (current (kOutput), stereo);
		}
	}
	// Null arrays with a count of one are not read.
	EXPECT_EQ (p->setBusArrangements (nullptr, 1, nullptr, 1), kInvalidArgument);

	EXPECT_EQ (p->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (p->canProcessSampleSize (kSample64), kResultTrue);
	EXPECT_EQ (p->canProcessSampleSize (2), kResultFalse);
	EXPECT_EQ (p->canProcessSampleSize (-1), kResultFalse);
	// The rate of a refused setup is taken all the same (the tail uses it).
	EXPECT_EQ (b.setup (7, 48000.0), kResultFalse);
	EXPECT_EQ (p->getTailSamples (), 100799u);
	EXPECT_EQ (b.setup (kSample32, 44100.0), kResultOk);
	EXPECT_EQ (p->getTailSamples (), 92609u);
	EXPECT_EQ (c->terminate (), kResultOk);
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

	// Resume: every line and filter starts cleared again, so the run repeats exactly.
	b.start (kSample32, 44100.0, 512);
	const BlockRun again = runBlocks (b.processor.get (), kSample32, 512, {512}, 8192);
	EXPECT_EQ (again.left, first.left);
	EXPECT_EQ (again.right, first.right);
	b.stop ();

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

TEST (ProcessorConformance, VariableBlockSizesAndSilenceFlagsChangeNothing)
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
		Bench fixed, varied, flagged;
		ASSERT_TRUE (fixed.ok () && varied.ok () && flagged.ok ());
		for (Bench* b : {&fixed, &varied, &flagged})
		{
			ASSERT_EQ (b->initialize (), kResultOk);
			b->start (sampleSize, 44100.0, 4096);
		}
		const BlockRun a = runBlocks (fixed.processor.get (), sampleSize, 4096, {64}, 60000);
		const BlockRun v = runBlocks (varied.processor.get (), sampleSize, 4096, sizes, 60000);
		const BlockRun f = runBlocks (flagged.processor.get (), sampleSize, 4096, {256}, 60000, true);
		EXPECT_TRUE (a.finite && v.finite);
		EXPECT_TRUE (a.inputsUntouched && v.inputsUntouched) << "out-of-place processing writes no input";
		EXPECT_EQ (a.left, v.left);
		EXPECT_EQ (a.right, v.right);
		// Silence flags are only a hint: same output, and the tail of the second burst (the
		// first falls into the fade after activation) goes on while the input is flagged silent.
		EXPECT_EQ (a.left, f.left);
		EXPECT_EQ (a.right, f.right);
		double tail = 0.0;
		for (size_t i = 30000; i < 44100; ++i)
			tail = std::max (tail, std::fabs (f.left[i]));
		EXPECT_GT (tail, 1e-4);
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
	changes->addParameterData (kRvbTimeId, index)->addPoint (0, 1.0, index);
	changes->addParameterData (kLevelId, index)->addPoint (0, 0.25, index);
	changes->addEmptyQueue (kNoParamId);
	EXPECT_EQ (b.processor->process (flush), kResultOk);
	std::vector<uint8_t> s = b.state ();
	EXPECT_EQ (recordDouble (s, 12), 0.25);
	EXPECT_EQ (recordDouble (s, 36), 1.0);
	EXPECT_NEAR (b.processor->getTailSamples (), 8.5 * 44100.0, 1.0) << "the tail follows the reverb time";
	EXPECT_EQ (outChanges->getParameterCount (), 0);
	// The same without buses but with samples.
	flush.numSamples = 64;
	EXPECT_EQ (b.processor->process (flush), kResultOk);

	// A call with buses but zero or negative samples leaves the output buffers alone.
	AudioBlock block (8, kSample32);
	block.in32[0][0] = 1.f;
	block.out32[0].assign (8, 0.5f);
	changes->clear ();
	changes->addParameterData (kBypassId, index)->addPoint (0, 1.0, index);
	EXPECT_EQ (block.process (b.processor.get (), 0, changes.get ()), kResultOk);
	EXPECT_EQ (block.process (b.processor.get (), -5, nullptr), kResultOk);
	EXPECT_EQ (block.out32[0][0], 0.5f);
	EXPECT_EQ (recordInt32 (b.state (), 8), 1) << "bypass arrived in the zero-sample call";

	// No input bus: the outputs are silent; no output bus: nothing to write. Parameters
	// arrive either way.
	block.out32[0].assign (8, 0.5f);
	block.data ().numInputs = 0;
	changes->clear ();
	changes->addParameterData (kMixId, index)->addPoint (0, 0.125, index);
	EXPECT_EQ (block.process (b.processor.get (), 8, changes.get ()), kResultOk);
	EXPECT_EQ (block.out32[0][0], 0.0f);
	EXPECT_EQ (block.data ().outputs[0].silenceFlags & 3, 3u);
	EXPECT_EQ (recordDouble (b.state (), 20), 0.125);
	block.data ().numInputs = 1;
	block.data ().numOutputs = 0;
	EXPECT_EQ (block.process (b.processor.get (), 8, nullptr), kResultOk);
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
		AudioBlock block (1024, sampleSize);
		const bool wide = sampleSize == kSample64;
		Ref<ParameterChanges> changes (new ParameterChanges);
		uint32 seed = 777;
		auto next = [&seed] (uint32 range) {
			seed = seed * 1664525u + 1013904223u;
			return (seed >> 8) % range;
		};
		bool allFinite = true;
		for (int blockIndex = 0; blockIndex < 300; ++blockIndex)
		{
			const int32 n = static_cast<int32> (next (1025));
			for (int32 i = 0; i < n; ++i)
			{
				const double x = 0.5 * std::sin (0.031 * (blockIndex * 1024 + i));
				for (int c = 0; c < 2; ++c)
				{
					if (wide)
						block.in64[c][i] = x;
					else
						block.in32[c][i] = static_cast<float> (x);
				}
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
					q->addPoint (n > 0 ? static_cast<int32> (next (static_cast<uint32> (n))) : 0, next (1001) / 1000.0,
					             index);
			}
			changes->addEmptyQueue (kNoParamId);
			ASSERT_EQ (block.process (b.processor.get (), n, changes.get ()), kResultOk);
			for (int c = 0; c < 2; ++c)
				for (int32 i = 0; i < n; ++i)
					allFinite = allFinite && std::isfinite (wide ? block.out64[c][i] : block.out32[c][i]);
		}
		EXPECT_TRUE (allFinite);
		EXPECT_LT (b.processor->getTailSamples (), kInfiniteTail);
		b.stop ();
		EXPECT_EQ (b.component->terminate (), kResultOk);
	}
}

// Whether every output sample of a 32-bit block is finite, or zero.
bool all (const AudioBlock& b, bool (*good) (float))
{
	for (int c = 0; c < 2; ++c)
		for (float s : b.out32[c])
			if (!good (s))
				return false;
	return true;
}
bool finite (float s) { return std::isfinite (s); }
bool silent (float s) { return s == 0.f; }

TEST (HostileCalls, ProcessOutsideTheActiveStateIsHarmless)
{
	Bench p;
	ASSERT_TRUE (p.ok ());
	AudioBlock block (256, kSample32);
	block.in32[0][3] = 1.f;
	// Not active: silence out.
	auto process = [&] (bool active) {
		block.out32[0].assign (256, 5.f);
		EXPECT_EQ (block.process (p.processor.get (), 256, nullptr), kResultOk);
		EXPECT_TRUE (all (block, active ? finite : silent)) << active;
	};
	process (false); // never initialised: no buffers exist yet
	ASSERT_EQ (p.initialize (), kResultOk);
	process (false);
	p.start (kSample32);
	process (true);
	p.stop ();
	process (false); // deactivated: the buffers are gone
	EXPECT_EQ (p.component->terminate (), kResultOk);
}

TEST (HostileCalls, UnusableSampleRates)
{
	// 1 Hz is odd but usable; the others cannot size a delay line and are refused at set-up,
	// which keeps the rate before (44.1 kHz).
	for (double rate : {0.0, -44100.0, std::nan (""), HUGE_VAL, 1e12, 1.0})
	{
		SCOPED_TRACE (rate);
		Bench p;
		ASSERT_TRUE (p.ok ());
		ASSERT_EQ (p.initialize (), kResultOk);
		EXPECT_EQ (p.setup (kSample32, rate) == kResultOk, rate == 1.0);
		EXPECT_EQ (p.component->setActive (true), kResultOk);
		EXPECT_EQ (p.processor->getTailSamples (), rate == 1.0 ? 2u : 92609u);
		AudioBlock block (256, kSample32);
		block.in32[0][0] = 1.f;
		block.out32[1].assign (256, 5.f);
		EXPECT_EQ (block.process (p.processor.get (), 256, nullptr), kResultOk);
		EXPECT_TRUE (all (block, finite));
		p.component->setActive (false);
		p.component->terminate ();
	}
}

TEST (StateConformance, StreamsPositionedAnywhereShortOrMissing)
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
	const std::vector<uint8_t> appended = out->data ();
	ASSERT_EQ (appended.size (), 147u);
	EXPECT_EQ (std::vector<uint8_t> (appended.begin () + 7, appended.end ()), fresh);
	EXPECT_EQ (appended[6], 0xAB);

	// setState reads 140 bytes from where the stream stands and leaves the rest.
	std::vector<uint8_t> changed = fresh;
	putInt32 (changed, 8, 1);
	putDouble (changed, 12, 0.125);
	std::vector<uint8_t> framed (5 + 140 + 3, 0xEE); // 5 bytes before the record, 3 after
	std::copy (changed.begin (), changed.end (), framed.begin () + 5);
	Ref<HostStream> in (new HostStream (framed));
	ASSERT_EQ (in->seek (5, IBStream::kIBSeekSet, nullptr), kResultOk);
	EXPECT_EQ (other.component->setState (in.get ()), kResultOk);
	EXPECT_EQ (in->position (), 145);
	EXPECT_EQ (other.state (), changed);
	// The restored bypass drives processing: the input comes out unchanged.
	other.start (kSample64);
	AudioBlock block (64, kSample64);
	block.in64[0][5] = 0.5;
	block.in64[1][9] = -0.25;
	EXPECT_EQ (block.process (other.processor.get (), 64, nullptr), kResultOk);
	EXPECT_EQ (block.out64[0], block.in64[0]);
	EXPECT_EQ (block.out64[1], block.in64[1]);
	other.stop ();

	// Cut short at the end of the stream, empty or absent: refused, nothing taken over.
	Ref<HostStream> cut (new HostStream (std::vector<uint8_t> (framed.begin (), framed.begin () + 144)));
	ASSERT_EQ (cut->seek (5, IBStream::kIBSeekSet, nullptr), kResultOk);
	EXPECT_EQ (a.component->setState (cut.get ()), kResultFalse);
	Ref<HostStream> empty (new HostStream);
	EXPECT_EQ (a.component->setState (empty.get ()), kResultFalse);
	EXPECT_EQ (a.component->setState (nullptr), kResultFalse);
	EXPECT_EQ (a.component->getState (nullptr), kResultFalse);
	EXPECT_EQ (a.state (), fresh);
	// A stream that refuses the last byte: the failure is reported.
	Ref<HostStream> refusing (new HostStream);
	refusing->setWriteLimit (139);
	EXPECT_EQ (a.component->getState (refusing.get ()), kResultFalse);

	// The round trip through a second processor is exact.
	Ref<HostStream> trip (new HostStream (other.state ()));
	EXPECT_EQ (a.component->setState (trip.get ()), kResultOk);
	EXPECT_EQ (a.state (), changed);
	EXPECT_EQ (a.component->terminate (), kResultOk);
	EXPECT_EQ (other.component->terminate (), kResultOk);
}

//------------------------------------------------------------------------
RenderResult renderWith (PluginInstance& plugin, const StereoBuffer& in, int32 bits,
                         std::vector<ParamSetting> params = {}, int32 block = 256)
{
	RenderSettings s;
	s.sampleRate = in.sampleRate;
	s.bits = bits;
	s.blockSize = block;
	s.params = std::move (params);
	RenderResult r;
	std::string error;
	EXPECT_TRUE (render (plugin, in, s, r, error)) << error;
	return r;
}

// Impulse after the network has faded in again following activation.
StereoBuffer testImpulse (double rate)
{
	return impulse (rate, static_cast<size_t> (rate), static_cast<size_t> (0.5 * rate), 0.5);
}

TEST (Processing, RenderRingsOutAndDecaysAt32And64Bit)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	StereoBuffer in = testImpulse (44100.0);
	RenderResult r32 = renderWith (*l.plugin, in, 32);
	RenderResult r64 = renderWith (*l.plugin, in, 64);
	EXPECT_FALSE (l.plugin->isStarted ());

	for (const RenderResult* r : {&r32, &r64})
	{
		// Default reverb time 1.6 s plus half a second.
		EXPECT_EQ (r->tailSamples, 92609u);
		ASSERT_EQ (r->output.frames (), in.frames () + 92609u);
		const size_t inEnd = in.frames ();
		const size_t n = r->output.frames ();
		// Still ringing when the input has ended, then fading window by window to at
		// least 40 dB down.
		const double early = rms (r->output, inEnd, inEnd + 4410);
		EXPECT_GT (early, 1e-6);
		EXPECT_LT (rms (r->output, n - 4410, n), early * 0.01);
		double previous = early;
		for (size_t w = inEnd + 4410; w + 11025 <= n; w += 11025)
		{
			const double now = rms (r->output, w, w + 11025);
			EXPECT_LT (now, previous) << "window at " << w;
			previous = now;
		}
		// Wet signal reaches the right channel too, differing from the left.
		double diff = 0.0;
		for (size_t i = inEnd; i < inEnd + 4410; ++i)
			diff += std::fabs (r->output.left[i] - r->output.right[i]);
		EXPECT_GT (diff, 0.0);
	}
	// The two precisions run the same double engine; they differ only by rounding.
	double maxDiff = 0.0;
	for (size_t i = 0; i < r32.output.frames (); ++i)
		maxDiff = std::max (maxDiff, std::fabs (r32.output.left[i] - r64.output.left[i]));
	EXPECT_LT (maxDiff, 1e-5);
}

TEST (Processing, LevelParameterScalesTheOutput)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	StereoBuffer in = testImpulse (44100.0);
	RenderResult ref = renderWith (*l.plugin, in, 64);
	// Normalised 0.5 is -12 dB; the smoothing settles long before the tail.
	RenderResult low = renderWith (*l.plugin, in, 64, {{kLevelId, 0.5}});
	ASSERT_EQ (ref.output.frames (), low.output.frames ());
	const double expected = std::pow (10.0, -12.0 / 20.0);
	size_t checked = 0;
	for (size_t i = 30000; i < ref.output.frames (); ++i)
	{
		if (std::fabs (ref.output.left[i]) < 1e-9)
			continue;
		ASSERT_NEAR (low.output.left[i] / ref.output.left[i], expected, 1e-6) << "frame " << i;
		++checked;
	}
	EXPECT_GT (checked, 1000u);
}

TEST (Processing, EmptyInputStillDeliversParametersAndRendersTheTail)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	StereoBuffer empty;
	empty.sampleRate = 44100.0;
	RenderResult r = renderWith (*l.plugin, empty, 32, {{kRvbTimeId, 0.0}});
	EXPECT_EQ (r.inputFrames, 0);
	EXPECT_EQ (r.tailSamples, 48510u);
	EXPECT_EQ (r.output.frames (), 48510u);
	for (size_t i = 0; i < r.output.frames (); ++i)
		ASSERT_TRUE (std::isfinite (r.output.left[i]) && std::isfinite (r.output.right[i]));
}

} // namespace
} // namespace itest
