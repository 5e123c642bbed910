// The processor of the built bundle as a host sees it: buses and arrangements, latency,
// process modes and flush calls, state streams positioned anywhere, renders through the host
// library. Careless calls are the hostile suite's.
#include "support.h"

#include "plugids.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>
#include <cstring>

namespace itest {
namespace {

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

TEST (ProcessorConformance, LatencyModesAndFlushCalls)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	EXPECT_EQ (b.processor->getLatencySamples (), 0u);
	auto req = queryAs<IProcessContextRequirements> (b.component.get ());
	ASSERT_TRUE (req);
	EXPECT_EQ (req->getProcessContextRequirements (), 0u);

	// Offline and prefetch set-ups are accepted as well; the dry signal passes at once.
	for (int32 mode : {kOffline, kPrefetch, kRealtime})
	{
		EXPECT_EQ (b.setup (kSample32, 44100.0, 256, mode), kResultOk);
		EXPECT_EQ (b.component->setActive (true), kResultOk);
		AudioBlock block (256, kSample32);
		block.in32[0][0] = 1.f;
		EXPECT_EQ (block.process (b.processor.get (), 256, nullptr), kResultOk);
		EXPECT_TRUE (std::isfinite (block.out32[0][0]) && block.out32[0][0] != 0.f) << mode;
		if (mode != kRealtime)
		{
			EXPECT_EQ (b.component->setActive (false), kResultOk);
		}
	}

	// Flushes: no buses, null arrays, with and without samples; only the parameters travel,
	// and nothing comes back.
	Ref<ParameterChanges> changes (new ParameterChanges);
	Ref<ParameterChanges> outChanges (new ParameterChanges);
	ProcessData flush;
	flush.symbolicSampleSize = kSample32;
	flush.inputParameterChanges = changes.get ();
	flush.outputParameterChanges = outChanges.get ();
	for (int32 samples : {0, 64})
	{
		const double level = samples ? 0.5 : 0.25;
		int32 index = 0;
		changes->clear ();
		changes->addParameterData (kRvbTimeId, index)->addPoint (0, level, index);
		changes->addParameterData (kLevelId, index)->addPoint (0, level, index);
		flush.numSamples = samples;
		EXPECT_EQ (b.processor->process (flush), kResultOk);
		const std::vector<uint8_t> s = b.state ();
		EXPECT_EQ (recordDouble (s, 12), level) << samples;
		EXPECT_EQ (recordDouble (s, 36), level) << samples;
	}
	EXPECT_EQ (outChanges->getParameterCount (), 0);
	b.stop ();
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (StateConformance, StreamsAreReadAndWrittenWhereTheyStand)
{
	Bench a;
	ASSERT_TRUE (a.ok ());
	ASSERT_EQ (a.initialize (), kResultOk);
	const std::vector<uint8_t> fresh = a.state ();
	ASSERT_EQ (fresh.size (), 140u);

	// getState appends at the stream's position.
	Ref<HostStream> out (new HostStream (std::vector<uint8_t> (7, 0xAB)));
	ASSERT_EQ (out->seek (0, IBStream::kIBSeekEnd, nullptr), kResultOk);
	ASSERT_EQ (a.component->getState (out.get ()), kResultOk);
	std::vector<uint8_t> appended (7 + 140, 0xAB);
	std::copy (fresh.begin (), fresh.end (), appended.begin () + 7);
	EXPECT_EQ (out->data (), appended);

	// setState reads 140 bytes from where the stream stands and leaves the rest; cut short
	// there, it is refused and nothing is taken over.
	std::vector<uint8_t> changed = fresh;
	changed[8] = 1; // bypass
	const double level = 0.125;
	std::memcpy (changed.data () + 12, &level, sizeof level);
	std::vector<uint8_t> framed (5 + 140 + 3, 0xEE);
	std::copy (changed.begin (), changed.end (), framed.begin () + 5);
	Ref<HostStream> cut (new HostStream (std::vector<uint8_t> (framed.begin (), framed.begin () + 144)));
	ASSERT_EQ (cut->seek (5, IBStream::kIBSeekSet, nullptr), kResultOk);
	EXPECT_EQ (a.component->setState (cut.get ()), kResultFalse);
	EXPECT_EQ (a.state (), fresh);
	Ref<HostStream> in (new HostStream (framed));
	ASSERT_EQ (in->seek (5, IBStream::kIBSeekSet, nullptr), kResultOk);
	EXPECT_EQ (a.component->setState (in.get ()), kResultOk);
	EXPECT_EQ (in->position (), 145);
	EXPECT_EQ (a.state (), changed);

	// No stream, or one that refuses a byte: the failure is reported.
	EXPECT_EQ (a.component->getState (nullptr), kResultFalse);
	for (int64 limit : {0, 40, 139})
	{
		Ref<HostStream> refusing (new HostStream);
		refusing->setWriteLimit (limit);
		EXPECT_EQ (a.component->getState (refusing.get ()), kResultFalse) << limit;
	}
	EXPECT_EQ (a.component->terminate (), kResultOk);
}

RenderResult renderWith (PluginInstance& plugin, const StereoBuffer& in, int32 bits,
                         std::vector<ParamSetting> params = {})
{
	RenderSettings s;
	s.sampleRate = in.sampleRate;
	s.bits = bits;
	s.blockSize = 256;
	s.params = std::move (params);
	RenderResult r;
	std::string error;
	EXPECT_TRUE (render (plugin, in, s, r, error)) << error;
	return r;
}

TEST (Processing, RenderRingsOnAfterTheInputAndDiesAway)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin);
	// An impulse after the network has faded in following activation.
	StereoBuffer in = impulse (44100.0, 44100, 22050, 0.5);
	for (int32 bits : {32, 64})
	{
		SCOPED_TRACE (bits);
		RenderResult r = renderWith (*l.plugin, in, bits);
		EXPECT_FALSE (l.plugin->isStarted ());
		const size_t inEnd = in.frames ();
		const size_t n = r.output.frames ();
		ASSERT_EQ (n, inEnd + r.tailSamples);
		// Still ringing when the input has ended, and at least 40 dB down by the tail's end.
		const double early = rms (r.output, inEnd, inEnd + 4410);
		EXPECT_GT (early, 1e-6);
		EXPECT_LT (rms (r.output, n - 4410, n), early * 0.01);
	}

	// Without input the parameters still arrive, and the tail they ask for is rendered.
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
