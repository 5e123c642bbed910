// Calls a careless or hostile host might make, straight through the interfaces.
#include "support.h"

#include "entry/plugcids.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>

namespace itest {
namespace {

using namespace Steinberg::Vst;

struct RawProcessor
{
	std::unique_ptr<Module> module;
	Ref<HostApplication> host {new HostApplication};
	Ref<IComponent> comp;
	Ref<IAudioProcessor> proc;

	RawProcessor ()
	{
		module = loadBundle ();
		if (!module)
			return;
		TUID cid;
		kProcessorClassId.toTUID (cid);
		comp = module->create<IComponent> (cid);
		proc = queryAs<IAudioProcessor> (comp.get ());
	}
	~RawProcessor ()
	{
		proc.reset ();
		comp.reset ();
	}
	bool ok () const { return comp && proc; }
	tresult setup (int32 sampleSize, double rate = 44100.0)
	{
		ProcessSetup s {kRealtime, sampleSize, 256, rate};
		return proc->setupProcessing (s);
	}
};

bool finite (const AudioBlock& b)
{
	for (int c = 0; c < 2; ++c)
		for (int32 i = 0; i < b.maxSamples (); ++i)
			if (b.sampleSize () == kSample32 ? !std::isfinite (b.out32[c][i])
			                                 : !std::isfinite (b.out64[c][i]))
				return false;
	return true;
}

TEST (HostileCalls, ProcessOutsideTheActiveStateIsHarmless)
{
	RawProcessor p;
	ASSERT_TRUE (p.ok ());
	AudioBlock block (256, kSample32);
	block.in32[0][3] = 1.f;

	// Never initialised, never activated: no buffers exist yet.
	EXPECT_EQ (block.process (p.proc.get (), 256, nullptr), kResultOk);
	EXPECT_TRUE (finite (block));

	ASSERT_EQ (p.comp->initialize (p.host.get ()), kResultOk);
	EXPECT_EQ (block.process (p.proc.get (), 256, nullptr), kResultOk);
	EXPECT_TRUE (finite (block));

	// Activated and deactivated again: the buffers are gone.
	ASSERT_EQ (p.setup (kSample32), kResultOk);
	ASSERT_EQ (p.comp->setActive (true), kResultOk);
	EXPECT_EQ (block.process (p.proc.get (), 256, nullptr), kResultOk);
	EXPECT_TRUE (finite (block));
	EXPECT_EQ (p.comp->setActive (false), kResultOk);
	EXPECT_EQ (block.process (p.proc.get (), 256, nullptr), kResultOk);
	EXPECT_TRUE (finite (block));
	EXPECT_EQ (p.comp->terminate (), kResultOk);
}

TEST (HostileCalls, DegenerateProcessData)
{
	RawProcessor p;
	ASSERT_TRUE (p.ok ());
	ASSERT_EQ (p.comp->initialize (p.host.get ()), kResultOk);
	ASSERT_EQ (p.setup (kSample64), kResultOk);
	ASSERT_EQ (p.comp->setActive (true), kResultOk);

	// Flush without buses, null arrays.
	ProcessData empty;
	empty.symbolicSampleSize = kSample64;
	EXPECT_EQ (p.proc->process (empty), kResultOk);
	empty.numSamples = 64;
	EXPECT_EQ (p.proc->process (empty), kResultOk);

	AudioBlock block (256, kSample64);
	block.in64[0][0] = 0.25;
	EXPECT_EQ (block.process (p.proc.get (), 0, nullptr), kResultOk);
	EXPECT_EQ (block.out64[0][0], 0.0) << "a zero-length block writes no audio";
	EXPECT_EQ (block.process (p.proc.get (), -5, nullptr), kResultOk);
	EXPECT_EQ (block.out64[0][0], 0.0);

	EXPECT_EQ (p.comp->setActive (false), kResultOk);
	EXPECT_EQ (p.comp->terminate (), kResultOk);
}

TEST (HostileCalls, InPlaceBuffersGiveTheSameResultAsSeparateOnes)
{
	RawProcessor separate, inPlace;
	ASSERT_TRUE (separate.ok () && inPlace.ok ());
	for (RawProcessor* p : {&separate, &inPlace})
	{
		ASSERT_EQ (p->comp->initialize (p->host.get ()), kResultOk);
		ASSERT_EQ (p->setup (kSample64), kResultOk);
		ASSERT_EQ (p->comp->setActive (true), kResultOk);
	}
	AudioBlock a (256, kSample64), b (256, kSample64);
	b.data ().outputs = b.data ().inputs;
	for (int blockIndex = 0; blockIndex < 200; ++blockIndex)
	{
		for (int32 i = 0; i < 256; ++i)
		{
			double x = std::sin (0.01 * (blockIndex * 256 + i)) * (blockIndex < 100 ? 0.5 : 0.0);
			a.in64[0][i] = b.in64[0][i] = x;
			a.in64[1][i] = b.in64[1][i] = -x;
		}
		ASSERT_EQ (a.process (separate.proc.get (), 256, nullptr), kResultOk);
		ASSERT_EQ (b.process (inPlace.proc.get (), 256, nullptr), kResultOk);
		for (int32 i = 0; i < 256; ++i)
		{
			ASSERT_EQ (a.out64[0][i], b.in64[0][i]) << "block " << blockIndex << " frame " << i;
			ASSERT_EQ (a.out64[1][i], b.in64[1][i]) << "block " << blockIndex << " frame " << i;
		}
	}
	EXPECT_NE (a.out64[0][255], 0.0) << "the reverb is still ringing";
	for (RawProcessor* p : {&separate, &inPlace})
	{
		EXPECT_EQ (p->comp->setActive (false), kResultOk);
		EXPECT_EQ (p->comp->terminate (), kResultOk);
	}
}

TEST (HostileCalls, StateStreamsThatAreMissingShortOrRefusing)
{
	RawProcessor p;
	ASSERT_TRUE (p.ok ());
	ASSERT_EQ (p.comp->initialize (p.host.get ()), kResultOk);

	Ref<HostStream> good (new HostStream);
	ASSERT_EQ (p.comp->getState (good.get ()), kResultOk);
	const std::vector<uint8_t> before = good->data ();
	ASSERT_EQ (before.size (), 140u);

	EXPECT_EQ (p.comp->setState (nullptr), kResultFalse);
	EXPECT_EQ (p.comp->getState (nullptr), kResultFalse);

	// 139 bytes of a different record: refused, nothing taken over.
	std::vector<uint8_t> other (140, 0);
	putInt32 (other, 8, 1);
	for (int k = 0; k < 14; ++k)
		putDouble (other, 12 + 8 * k, 0.125);
	other.pop_back ();
	Ref<HostStream> shortStream (new HostStream (other));
	EXPECT_EQ (p.comp->setState (shortStream.get ()), kResultFalse);
	Ref<HostStream> empty (new HostStream);
	EXPECT_EQ (p.comp->setState (empty.get ()), kResultFalse);

	Ref<HostStream> after (new HostStream);
	ASSERT_EQ (p.comp->getState (after.get ()), kResultOk);
	EXPECT_EQ (after->data (), before);

	// A stream that refuses writes part-way.
	for (int64 limit : {0, 7, 12, 139})
	{
		Ref<HostStream> refusing (new HostStream);
		refusing->setWriteLimit (limit);
		EXPECT_EQ (p.comp->getState (refusing.get ()), kResultFalse) << "limit " << limit;
		EXPECT_LE (static_cast<int64> (refusing->data ().size ()), limit);
	}
	EXPECT_EQ (p.comp->terminate (), kResultOk);
}

TEST (HostileCalls, BusArrangementsAndSampleSizes)
{
	RawProcessor p;
	ASSERT_TRUE (p.ok ());
	ASSERT_EQ (p.comp->initialize (p.host.get ()), kResultOk);

	SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono,
	                   s51 = SpeakerArr::k51, none = SpeakerArr::kEmpty,
	                   lsrs = kSpeakerLs | kSpeakerRs;
	EXPECT_EQ (p.proc->setBusArrangements (&stereo, 1, &stereo, 1), kResultTrue);
	EXPECT_EQ (p.proc->setBusArrangements (&mono, 1, &stereo, 1), kResultFalse);
	EXPECT_EQ (p.proc->setBusArrangements (&stereo, 1, &s51, 1), kResultFalse);
	EXPECT_EQ (p.proc->setBusArrangements (&none, 1, &stereo, 1), kResultFalse);
	// Any two speakers are a pair.
	EXPECT_EQ (p.proc->setBusArrangements (&lsrs, 1, &lsrs, 1), kResultTrue);
	SpeakerArrangement two[2] = {stereo, stereo};
	EXPECT_EQ (p.proc->setBusArrangements (two, 2, two, 2), kResultFalse);
	EXPECT_EQ (p.proc->setBusArrangements (&stereo, -1, &stereo, 1), kInvalidArgument);
	// Null arrays with a count of one must not be read.
	EXPECT_NE (p.proc->setBusArrangements (nullptr, 1, nullptr, 1), kResultTrue);

	// A refused arrangement leaves the bus as it was.
	EXPECT_EQ (p.proc->setBusArrangements (&stereo, 1, &stereo, 1), kResultTrue);
	EXPECT_EQ (p.proc->setBusArrangements (&mono, 1, &mono, 1), kResultFalse);
	SpeakerArrangement got = 0;
	EXPECT_EQ (p.proc->getBusArrangement (kOutput, 0, got), kResultOk);
	EXPECT_EQ (got, stereo);
	EXPECT_NE (p.proc->getBusArrangement (kOutput, 1, got), kResultOk);

	EXPECT_EQ (p.proc->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (p.proc->canProcessSampleSize (kSample64), kResultTrue);
	EXPECT_EQ (p.proc->canProcessSampleSize (2), kResultFalse);
	EXPECT_EQ (p.proc->canProcessSampleSize (-1), kResultFalse);
	EXPECT_EQ (p.setup (7), kResultFalse);
	// The rate of the refused setup is taken all the same (the tail uses it).
	EXPECT_EQ (p.proc->getTailSamples (), 92609u);
	EXPECT_EQ (p.setup (kSample32, 48000.0), kResultOk);
	EXPECT_EQ (p.proc->getTailSamples (), 100799u);

	BusInfo info {};
	EXPECT_EQ (p.comp->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (p.comp->getBusCount (kAudio, kOutput), 1);
	EXPECT_EQ (p.comp->getBusCount (kEvent, kInput), 0);
	EXPECT_EQ (p.comp->getBusInfo (kAudio, kOutput, 0, info), kResultOk);
	EXPECT_EQ (toUtf8 (reinterpret_cast<const char16_t*> (info.name), 128), "AudioOutput");
	EXPECT_EQ (info.channelCount, 2);
	EXPECT_EQ (info.flags, static_cast<uint32> (BusInfo::kDefaultActive));
	EXPECT_NE (p.comp->getBusInfo (kAudio, kOutput, 3, info), kResultOk);
	EXPECT_NE (p.comp->getBusInfo (kAudio, kInput, -1, info), kResultOk);
	EXPECT_EQ (p.comp->terminate (), kResultOk);
}

TEST (HostileCalls, WrongCallOrder)
{
	RawProcessor p;
	ASSERT_TRUE (p.ok ());
	// Deactivating what never started is refused, and does no harm.
	EXPECT_NE (p.comp->setActive (false), kResultOk);
	ASSERT_EQ (p.comp->initialize (p.host.get ()), kResultOk);
	EXPECT_EQ (p.comp->initialize (p.host.get ()), kResultFalse);
	EXPECT_EQ (p.comp->getBusCount (kAudio, kInput), 1) << "a refused initialize adds no bus";

	// Activating twice keeps one set of buffers and still processes.
	ASSERT_EQ (p.setup (kSample32), kResultOk);
	EXPECT_EQ (p.comp->setActive (true), kResultOk);
	EXPECT_EQ (p.comp->setActive (true), kResultFalse) << "the repeat is reported";
	AudioBlock block (256, kSample32);
	block.in32[0][0] = 1.f;
	EXPECT_EQ (block.process (p.proc.get (), 256, nullptr), kResultOk);
	EXPECT_TRUE (finite (block));
	EXPECT_NE (block.out32[0][0], 0.f) << "the dry signal passes";

	// Setting up while active, then terminating while still active.
	EXPECT_EQ (p.setup (kSample64, 96000.0), kResultOk);
	EXPECT_EQ (p.comp->terminate (), kResultOk);
	p.comp->setActive (false);
	// Terminate then initialize works again.
	EXPECT_EQ (p.comp->initialize (p.host.get ()), kResultOk);
	EXPECT_EQ (p.comp->getBusCount (kAudio, kOutput), 1);
	EXPECT_EQ (p.comp->terminate (), kResultOk);
}

TEST (HostileCalls, ReleasedWithoutDeactivation)
{
	// The processor is dropped while active; nothing may leak or crash.
	RawProcessor p;
	ASSERT_TRUE (p.ok ());
	ASSERT_EQ (p.comp->initialize (p.host.get ()), kResultOk);
	ASSERT_EQ (p.setup (kSample32), kResultOk);
	ASSERT_EQ (p.comp->setActive (true), kResultOk);
}

} // namespace
} // namespace itest

namespace itest {
namespace {

using namespace Steinberg::Vst;

TEST (HostileCalls, UnusableSampleRates)
{
	// 1 Hz is odd but usable; the others cannot size a delay line.
	for (double rate : {0.0, -44100.0, std::nan (""), 1e12, 1.0})
	{
		SCOPED_TRACE (rate);
		RawProcessor p;
		ASSERT_TRUE (p.ok ());
		ASSERT_EQ (p.comp->initialize (p.host.get ()), kResultOk);
		p.setup (kSample32, rate);
		tresult active = p.comp->setActive (true);
		if (rate != 1.0)
		{
			EXPECT_NE (active, kResultOk);
		}
		AudioBlock block (256, kSample32);
		block.in32[0][0] = 1.f;
		EXPECT_EQ (block.process (p.proc.get (), 256, nullptr), kResultOk);
		EXPECT_TRUE (finite (block));
		p.comp->setActive (false);
		p.comp->terminate ();
	}
}

} // namespace
} // namespace itest
