#include "support.h"

#include "processor/plugids.h"

#include <cmath>

namespace itest {
namespace {

using namespace Steinberg::Vst;

TEST (Controller, PublishesTheNineParameters)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin && l.plugin->controller ());
	auto params = l.plugin->parameters ();
	ASSERT_EQ (params.size (), 9u);

	struct Expect
	{
		const char* title;
		const char* units;
		int32 flags;
		int32 steps;
	};
	static const Expect expect[9] = {
	    {"Bypass", "", 0x10001, 1}, {"Level", "dB", 1, 0},     {"Mix", "%", 1, 0},
	    {"Predelay", "ms", 1, 0},   {"Rvb Time", "s", 1, 0},   {"Size", "m3", 1, 0},
	    {"Diffusion", "%", 1, 0},   {"HFDamp", "%", 1, 0},     {"LPCut", "Hz", 1, 0},
	};
	for (uint32 i = 0; i < 9; ++i)
	{
		SCOPED_TRACE (expect[i].title);
		EXPECT_EQ (params[i].id, i);
		EXPECT_EQ (params[i].title, expect[i].title);
		EXPECT_EQ (params[i].units, expect[i].units);
		EXPECT_EQ (params[i].shortTitle, "");
		EXPECT_EQ (params[i].flags, expect[i].flags);
		EXPECT_EQ (params[i].stepCount, expect[i].steps);
		EXPECT_EQ (params[i].unitId, 0);
		if (i == 0)
			EXPECT_EQ (params[i].defaultNormalized, 0.0);
		else
			EXPECT_NEAR (params[i].defaultNormalized, kDefaultValues[i - 1], 5e-7);
	}

	auto& p = *l.plugin;
	EXPECT_EQ (p.valueText (kBypassId, 0.5), "Off");
	EXPECT_EQ (p.valueText (kBypassId, 0.75), "On");
	EXPECT_EQ (p.valueText (kLevelId, 0.0), "-36.00");
	EXPECT_EQ (p.valueText (kLevelId, 0.75), "0.00");
	EXPECT_EQ (p.valueText (kLevelId, 1.0), "12.00");
	EXPECT_EQ (p.valueText (kMixId, 0.5), "50");
	EXPECT_EQ (p.valueText (kPredelayId, params[3].defaultNormalized), "20.0");
	EXPECT_EQ (p.valueText (kLPCutId, 0.0), "500");
	EXPECT_EQ (p.valueText (kLPCutId, 1.0), "16000");
}

TEST (Controller, FollowsTheProcessorState)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin && l.plugin->controller ());
	auto* ctrl = l.plugin->controller ();

	// Change the processor through parameter changes, as automation would.
	std::string error;
	ASSERT_TRUE (l.plugin->start (44100.0, 64, kSample32, error)) << error;
	AudioBlock block (64, kSample32);
	Ref<ParameterChanges> changes (new ParameterChanges);
	const double sent[9] = {1.0, 0.1, 0.2, 0.3, 0.4, 0.6, 0.7, 0.8, 0.9};
	for (ParamID id = 0; id < 9; ++id)
	{
		int32 index = 0;
		changes->addParameterData (id, index)->addPoint (0, sent[id], index);
	}
	ASSERT_EQ (block.process (l.plugin->processor (), 64, changes.get ()), kResultOk);
	l.plugin->stop ();

	// The controller still shows the defaults until the host hands it the state.
	EXPECT_EQ (ctrl->getParamNormalized (kBypassId), 0.0);
	EXPECT_NEAR (ctrl->getParamNormalized (kLevelId), 0.75, 1e-12);

	ASSERT_EQ (l.plugin->syncControllerFromProcessor (), kResultOk);
	std::vector<uint8_t> record;
	ASSERT_TRUE (l.plugin->saveState (record));
	EXPECT_EQ (recordInt32 (record, 8), 1);
	EXPECT_EQ (ctrl->getParamNormalized (kBypassId), 1.0);
	for (ParamID id = 1; id < 9; ++id)
	{
		EXPECT_EQ (recordDouble (record, 12 + 8 * (id - 1)), sent[id]) << "id " << id;
		EXPECT_EQ (ctrl->getParamNormalized (id), recordDouble (record, 12 + 8 * (id - 1)))
		    << "id " << id;
	}

	// Values outside 0..1 in a record end up clamped in the controller.
	std::vector<uint8_t> wild = record;
	putInt32 (wild, 8, 0);
	putDouble (wild, 12, 1.5);
	putDouble (wild, 20, -0.25);
	ASSERT_EQ (l.plugin->loadState (wild), kResultOk);
	EXPECT_EQ (ctrl->getParamNormalized (kBypassId), 0.0);
	EXPECT_EQ (ctrl->getParamNormalized (kLevelId), 1.0);
	EXPECT_EQ (ctrl->getParamNormalized (kMixId), 0.0);

	// A short record changes nothing.
	Ref<HostStream> shortStream (new HostStream (std::vector<uint8_t> (record.begin (), record.end () - 1)));
	EXPECT_EQ (ctrl->setComponentState (shortStream.get ()), kResultFalse);
	EXPECT_EQ (ctrl->setComponentState (nullptr), kResultFalse);
	EXPECT_EQ (ctrl->getParamNormalized (kLevelId), 1.0);
	EXPECT_EQ (ctrl->getParamNormalized (kPredelayId), sent[kPredelayId]);
}

TEST (Controller, TextInputConvertsThroughTheParameter)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin && l.plugin->controller ());
	auto* ctrl = l.plugin->controller ();
	auto toValue = [&] (ParamID id, const char* text, ParamValue& v) {
		std::u16string t = toUtf16 (text);
		String128 buf {};
		std::copy (t.begin (), t.end (), buf);
		return ctrl->getParamValueByString (id, buf, v);
	};
	ParamValue v = -1.0;
	ASSERT_EQ (toValue (kPredelayId, "300", v), kResultOk);
	EXPECT_EQ (v, 1.0);
	ASSERT_EQ (toValue (kLevelId, "0", v), kResultOk);
	EXPECT_NEAR (v, 0.75, 1e-12);
	ASSERT_EQ (toValue (kRvbTimeId, "1.6", v), kResultOk);
	EXPECT_NEAR (v, 0.378659, 5e-7);
	EXPECT_NE (toValue (kMixId, "loud", v), kResultOk);
	EXPECT_NE (toValue (42, "1", v), kResultOk);
}

TEST (Controller, RefusesUnknownIdsAndIndices)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin && l.plugin->controller ());
	auto* ctrl = l.plugin->controller ();
	ParameterInfo info {};
	EXPECT_NE (ctrl->getParameterInfo (-1, info), kResultOk);
	EXPECT_NE (ctrl->getParameterInfo (9, info), kResultOk);
	String128 text {};
	EXPECT_NE (ctrl->getParamStringByValue (9, 0.5, text), kResultOk);
	EXPECT_NE (ctrl->setParamNormalized (1234, 0.5), kResultOk);
	EXPECT_EQ (ctrl->getParamNormalized (1234), 0.0);
	EXPECT_EQ (ctrl->createView ("Editor"), nullptr);
	EXPECT_EQ (ctrl->createView (nullptr), nullptr);
	// A second initialize is refused and leaves the nine parameters as they are.
	EXPECT_EQ (ctrl->initialize (l.plugin->hostApplication ()), kResultFalse);
	EXPECT_EQ (ctrl->getParameterCount (), 9);
}

} // namespace
} // namespace itest
