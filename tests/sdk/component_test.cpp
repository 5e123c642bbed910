#include "pluginterfaces/base/ibstream.h"
#include "public.sdk/source/vst/vstaudioeffect.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

class Context : public FObject
{
};

class Effect : public AudioEffect
{
public:
	bool accept64 = false;
	tresult PLUGIN_API canProcessSampleSize(int32 size) override
	{
		return (size == kSample32 || (accept64 && size == kSample64)) ? kResultTrue : kResultFalse;
	}
	tresult PLUGIN_API initialize(FUnknown* context) override
	{
		const tresult r = AudioEffect::initialize(context);
		if (r != kResultOk)
			return r;
		addAudioInput(u"In", SpeakerArr::kStereo);
		addAudioInput(u"Side", SpeakerArr::kMono, kAux, 0);
		addAudioOutput(u"Out", SpeakerArr::kStereo);
		return kResultOk;
	}
	const ProcessSetup& setup() const { return processSetup; }
};

struct EffectTest : ::testing::Test
{
	Effect* fx = new Effect;
	Context context;
	void TearDown() override { fx->release(); }
};

} // namespace

TEST_F(EffectTest, SecondInitializeIsRefusedWhileAContextIsHeld)
{
	ASSERT_EQ(kResultOk, fx->initialize(context.unknownCast()));
	EXPECT_EQ(2, context.getRefCount());
	EXPECT_EQ(kResultFalse, fx->initialize(context.unknownCast()));
	EXPECT_EQ(2, context.getRefCount());
	EXPECT_EQ(2, fx->getBusCount(kAudio, kInput)); // buses not added twice

	EXPECT_EQ(kResultOk, fx->terminate());
	EXPECT_EQ(1, context.getRefCount());
	EXPECT_EQ(0, fx->getBusCount(kAudio, kInput));
	EXPECT_NE(kResultOk, fx->terminate());

	EXPECT_EQ(kResultOk, fx->initialize(context.unknownCast()));
	EXPECT_EQ(2, fx->getBusCount(kAudio, kInput));
	EXPECT_EQ(kResultOk, fx->terminate());

	// Without a context a second initialize is refused as well.
	EXPECT_EQ(kResultOk, fx->initialize(nullptr));
	EXPECT_EQ(kResultFalse, fx->initialize(nullptr));
	EXPECT_EQ(kResultFalse, fx->initialize(context.unknownCast()));
	EXPECT_EQ(1, context.getRefCount());
	EXPECT_EQ(2, fx->getBusCount(kAudio, kInput));
	EXPECT_EQ(kResultOk, fx->terminate());
}

// The plug-in's interface answers are checked through the bundle; the base adds IDependent.
TEST_F(EffectTest, AnswersIDependentAndItsClassNames)
{
	void* p = nullptr;
	ASSERT_EQ(kResultOk, fx->queryInterface(IDependent::iid, &p));
	EXPECT_EQ(static_cast<IDependent*>(fx), p);
	static_cast<IDependent*>(p)->release();
	EXPECT_EQ(1, fx->getRefCount());
	EXPECT_STREQ("AudioEffect", fx->isA());
	EXPECT_TRUE(fx->isTypeOf("ComponentBase"));
}

TEST_F(EffectTest, BusInfoAndActivation)
{
	fx->initialize(nullptr);
	BusInfo info {};
	ASSERT_EQ(kResultTrue, fx->getBusInfo(kAudio, kInput, 1, info));
	EXPECT_EQ(kAudio, info.mediaType);
	EXPECT_EQ(kInput, info.direction);
	EXPECT_EQ(1, info.channelCount);
	EXPECT_EQ(std::u16string(u"Side"), std::u16string(info.name));
	EXPECT_EQ(kAux, info.busType);
	EXPECT_EQ(0u, info.flags);
	ASSERT_EQ(kResultTrue, fx->getBusInfo(kAudio, kOutput, 0, info));
	EXPECT_EQ(2, info.channelCount);
	EXPECT_EQ(uint32(BusInfo::kDefaultActive), info.flags);

	EXPECT_EQ(kInvalidArgument, fx->getBusInfo(kAudio, kOutput, 1, info));
	EXPECT_EQ(kInvalidArgument, fx->getBusInfo(kAudio, kInput, -1, info));
	EXPECT_EQ(kInvalidArgument, fx->getBusInfo(kEvent, kInput, 0, info));
	EXPECT_EQ(0, fx->getBusCount(7, kInput));
	EXPECT_EQ(0, fx->getBusCount(kAudio, 2));

	EXPECT_FALSE(fx->getAudioInput(0)->isActive());
	EXPECT_EQ(kResultTrue, fx->activateBus(kAudio, kInput, 0, true));
	EXPECT_TRUE(fx->getAudioInput(0)->isActive());
	EXPECT_EQ(kInvalidArgument, fx->activateBus(kAudio, kInput, 5, true));

	// A change of state succeeds; asking for the state already held is refused.
	EXPECT_EQ(kResultFalse, fx->setActive(false));
	EXPECT_FALSE(fx->isActive());
	EXPECT_EQ(kResultOk, fx->setActive(true));
	EXPECT_EQ(kResultFalse, fx->setActive(true));
	EXPECT_TRUE(fx->isActive());
	EXPECT_EQ(kResultOk, fx->setActive(false));
	EXPECT_EQ(kResultFalse, fx->setActive(false));
	EXPECT_FALSE(fx->isActive());
	// terminate leaves the component inactive.
	EXPECT_EQ(kResultOk, fx->setActive(true));
	fx->terminate();
	EXPECT_FALSE(fx->isActive());
	fx->initialize(nullptr);
	fx->terminate();
}

TEST_F(EffectTest, SetBusArrangementsResultCodes)
{
	fx->initialize(nullptr);
	SpeakerArrangement ins[3] = {SpeakerArr::k51, SpeakerArr::kStereo, SpeakerArr::kMono};
	SpeakerArrangement outs[2] = {SpeakerArr::kMono, SpeakerArr::kMono};

	EXPECT_EQ(kInvalidArgument, fx->setBusArrangements(ins, -1, outs, 1));
	EXPECT_EQ(kInvalidArgument, fx->setBusArrangements(ins, 1, outs, -1));
	EXPECT_EQ(kInvalidArgument, fx->setBusArrangements(nullptr, 1, outs, 1));
	// More arrangements than buses on either side: nothing is applied.
	EXPECT_EQ(kResultFalse, fx->setBusArrangements(ins, 3, outs, 1));
	EXPECT_EQ(kResultFalse, fx->setBusArrangements(ins, 2, outs, 2));
	SpeakerArrangement arr = 0;
	ASSERT_EQ(kResultTrue, fx->getBusArrangement(kInput, 0, arr));
	EXPECT_EQ(SpeakerArr::kStereo, arr);
	ASSERT_EQ(kResultTrue, fx->getBusArrangement(kOutput, 0, arr));
	EXPECT_EQ(SpeakerArr::kStereo, arr);

	EXPECT_EQ(kResultTrue, fx->setBusArrangements(ins, 2, outs, 1));
	fx->getBusArrangement(kInput, 0, arr);
	EXPECT_EQ(SpeakerArr::k51, arr);
	fx->getBusArrangement(kInput, 1, arr);
	EXPECT_EQ(SpeakerArr::kStereo, arr);
	fx->getBusArrangement(kOutput, 0, arr);
	EXPECT_EQ(SpeakerArr::kMono, arr);
	BusInfo info {};
	fx->getBusInfo(kAudio, kInput, 0, info);
	EXPECT_EQ(6, info.channelCount);

	// Fewer arrangements than buses: the given ones apply.
	EXPECT_EQ(kResultTrue, fx->setBusArrangements(outs, 1, nullptr, 0));
	fx->getBusArrangement(kInput, 0, arr);
	EXPECT_EQ(SpeakerArr::kMono, arr);
	fx->getBusArrangement(kInput, 1, arr);
	EXPECT_EQ(SpeakerArr::kStereo, arr);

	EXPECT_EQ(kInvalidArgument, fx->getBusArrangement(kOutput, 1, arr));
	EXPECT_EQ(kInvalidArgument, fx->getBusArrangement(5, 0, arr));
	fx->terminate();
}

TEST_F(EffectTest, SetupProcessingKeepsARefusedSampleSizeOut)
{
	EXPECT_EQ(kSample32, fx->setup().symbolicSampleSize);
	ProcessSetup s {kOffline, kSample64, 512, 96000.0};
	EXPECT_EQ(kResultFalse, fx->setupProcessing(s));
	EXPECT_EQ(kSample32, fx->setup().symbolicSampleSize);
	EXPECT_EQ(kOffline, fx->setup().processMode);
	EXPECT_EQ(512, fx->setup().maxSamplesPerBlock);
	EXPECT_EQ(96000.0, fx->setup().sampleRate);

	fx->accept64 = true;
	s.sampleRate = 48000.0;
	EXPECT_EQ(kResultOk, fx->setupProcessing(s));
	EXPECT_EQ(kSample64, fx->setup().symbolicSampleSize);
	EXPECT_EQ(48000.0, fx->setup().sampleRate);

	AudioEffect* base = fx;
	EXPECT_EQ(kResultTrue, base->AudioEffect::canProcessSampleSize(kSample32));
	EXPECT_EQ(kResultFalse, base->AudioEffect::canProcessSampleSize(kSample64));
	EXPECT_EQ(kNotImplemented, fx->setProcessing(true));
	EXPECT_EQ(0u, fx->getLatencySamples());
	EXPECT_EQ(0u, fx->getProcessContextRequirements());
}

TEST(Component, ControllerClassIdBeforeAndAfterInitialize)
{
	auto* c = new Component;
	TUID out = {};
	EXPECT_EQ(kResultFalse, c->getControllerClassId(out)); // none set
	const FUID cid(0x11111111, 0x22222222, 0x33333333, 0x44444444);
	c->setControllerClass(cid);
	ASSERT_EQ(kResultTrue, c->getControllerClassId(out));
	EXPECT_EQ(cid, FUID::fromTUID(out));
	c->initialize(nullptr);
	TUID again = {};
	ASSERT_EQ(kResultTrue, c->getControllerClassId(again));
	EXPECT_EQ(cid, FUID::fromTUID(again));
	EXPECT_EQ(kInvalidArgument, c->getControllerClassId(nullptr));
	c->terminate();
	c->release();
}

TEST(ComponentBase, ConnectionPointKeepsOnePeer)
{
	auto* a = new Component;
	auto* b = new Component;
	IConnectionPoint* pb = b;
	EXPECT_EQ(kInvalidArgument, a->connect(nullptr));
	EXPECT_EQ(kResultOk, a->connect(pb));
	EXPECT_EQ(2, b->getRefCount());
	EXPECT_EQ(kResultFalse, a->connect(pb));
	EXPECT_EQ(kResultFalse, a->disconnect(a));
	EXPECT_EQ(kResultOk, a->disconnect(pb));
	EXPECT_EQ(1, b->getRefCount());
	EXPECT_EQ(kResultFalse, a->disconnect(pb));
	EXPECT_EQ(kInvalidArgument, a->notify(nullptr));
	a->release();
	b->release();
}
