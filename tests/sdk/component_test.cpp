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

// The real processor's repeated initialisation, its buses, bad indices and activation are
// checked through the bundle; here the host context's reference, an aux bus, a bus's own
// active state and a repeated setActive(false).
TEST_F(EffectTest, ContextReferenceAuxBusAndActiveStates)
{
	ASSERT_EQ(kResultOk, fx->initialize(context.unknownCast()));
	EXPECT_EQ(2, context.getRefCount());
	EXPECT_EQ(kResultFalse, fx->initialize(context.unknownCast()));
	EXPECT_EQ(2, context.getRefCount());
	EXPECT_EQ(kResultOk, fx->terminate());
	EXPECT_EQ(1, context.getRefCount());
	// Without a context a second initialize is refused as well.
	EXPECT_EQ(kResultOk, fx->initialize(nullptr));
	EXPECT_EQ(kResultFalse, fx->initialize(context.unknownCast()));
	EXPECT_EQ(1, context.getRefCount());
	EXPECT_EQ(2, fx->getBusCount(kAudio, kInput));

	BusInfo info {};
	ASSERT_EQ(kResultTrue, fx->getBusInfo(kAudio, kInput, 1, info));
	EXPECT_EQ(1, info.channelCount);
	EXPECT_EQ(std::u16string(u"Side"), std::u16string(info.name));
	EXPECT_EQ(kAux, info.busType);
	EXPECT_EQ(0u, info.flags);
	EXPECT_FALSE(fx->getAudioInput(0)->isActive());
	EXPECT_EQ(kResultTrue, fx->activateBus(kAudio, kInput, 0, true));
	EXPECT_TRUE(fx->getAudioInput(0)->isActive());

	// A change of state succeeds; asking for the state already held is refused.
	EXPECT_EQ(kResultOk, fx->setActive(true));
	EXPECT_EQ(kResultOk, fx->setActive(false));
	EXPECT_EQ(kResultFalse, fx->setActive(false));
	EXPECT_FALSE(fx->isActive());
	EXPECT_EQ(kResultOk, fx->terminate());
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
	EXPECT_EQ(512, fx->setup().maxSamplesPerBlock); // the rate too: the bundle's tail follows it

	fx->accept64 = true;
	EXPECT_EQ(kResultOk, fx->setupProcessing(s));
	EXPECT_EQ(kSample64, fx->setup().symbolicSampleSize);

	AudioEffect* base = fx;
	EXPECT_EQ(kResultTrue, base->AudioEffect::canProcessSampleSize(kSample32));
	EXPECT_EQ(kResultFalse, base->AudioEffect::canProcessSampleSize(kSample64));
	EXPECT_EQ(kNotImplemented, fx->setProcessing(true));
	EXPECT_EQ(0u, fx->getProcessContextRequirements());
}

// The plug-in's class id before and after initialize and its connection points are checked
// through the bundle; here what it never shows.
TEST(Component, ControllerClassIdMissingOrNoBuffer)
{
	auto* c = new Component;
	TUID out = {};
	EXPECT_EQ(kResultFalse, c->getControllerClassId(out));
	c->setControllerClass(FUID(0x11111111, 0x22222222, 0x33333333, 0x44444444));
	EXPECT_EQ(kInvalidArgument, c->getControllerClassId(nullptr));
	c->release();
}
