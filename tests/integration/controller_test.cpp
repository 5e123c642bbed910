// The controller of the built bundle as hosts see it: every parameter's information, value
// texts and conversions, state synchronisation with the processor and the connection points.
#include "support.h"

#include "plugids.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <cstring>
#include <string>

namespace itest {
namespace {

std::string valueText (IEditController* c, ParamID id, ParamValue v)
{
	String128 s {};
	EXPECT_EQ (c->getParamStringByValue (id, v, s), kResultOk) << id << " at " << v;
	return text16 (s);
}

// What a host reads for each parameter, checked against the processor's fresh record; texts
// read back to the value they show; unknown ids and missing buffers are refused.
TEST (ControllerConformance, EveryParameterAsHostsSeeIt)
{
	struct Row
	{
		const char* title;
		const char* units;
		int32 stepCount, flags;
		double defaultValue;
		const char* texts[3]; // at 0, at the default and at 1
	};
	const Row rows[] = {
	    {"Bypass", "", 1, 0x10001, 0., {"Off", "Off", "On"}},
	    {"Level", "dB", 0, 1, 0.75, {"-36.00", "0.00", "12.00"}},
	    {"Mix", "%", 0, 1, 0.5, {"0", "50", "100"}},
	    {"Predelay", "ms", 0, 1, 0.542562, {"1.0", "20.0", "250.0"}},
	    {"Rvb Time", "s", 0, 1, 0.378659, {"0.60", "1.60", "8.00"}},
	    {"Size", "m3", 0, 1, 0.768622, {"1000", "10000", "20000"}},
	    {"Diffusion", "%", 0, 1, 1.0, {"0", "100", "100"}},
	    {"HFDamp", "%", 0, 1, 0.75, {"0", "75", "100"}},
	    {"LPCut", "Hz", 0, 1, 0.464386, {"500", "2500", "16000"}},
	};
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	IEditController* c = b.controller.get ();
	const std::vector<uint8_t> record = b.state ();
	ASSERT_EQ (c->getParameterCount (), 9);
	ParameterInfo p {};
	EXPECT_NE (c->getParameterInfo (-1, p), kResultOk);
	EXPECT_NE (c->getParameterInfo (9, p), kResultOk);
	for (int32 index = 0; index < 9; ++index)
	{
		const Row& row = rows[index];
		SCOPED_TRACE (row.title);
		std::memset (&p, 0xAB, sizeof p);
		ASSERT_EQ (c->getParameterInfo (index, p), kResultOk);
		EXPECT_EQ (p.id, static_cast<ParamID> (index));
		EXPECT_EQ (text16 (p.title), row.title);
		EXPECT_EQ (text16 (p.units), row.units);
		EXPECT_EQ (p.shortTitle[0], 0);
		EXPECT_EQ (p.stepCount, row.stepCount);
		EXPECT_EQ (p.flags, row.flags);
		EXPECT_EQ (p.unitId, kRootUnitId) << "no unit information is offered";
		EXPECT_NEAR (p.defaultNormalizedValue, row.defaultValue, 5e-7);
		EXPECT_DOUBLE_EQ (c->getParamNormalized (p.id), p.defaultNormalizedValue);
		const double stored = index == 0 ? recordInt32 (record, 8) : recordDouble (record, 12 + 8 * (index - 1));
		EXPECT_NEAR (stored, p.defaultNormalizedValue, 1e-6) << "the processor's fresh record";
		EXPECT_EQ (valueText (c, p.id, 0.), row.texts[0]);
		EXPECT_EQ (valueText (c, p.id, p.defaultNormalizedValue), row.texts[1]);
		EXPECT_EQ (valueText (c, p.id, 1.), row.texts[2]);

		double lastPlain = -1e300;
		for (double v : {0.0, 0.1, 0.25, 0.5, 0.5000001, 0.75, 0.9, 1.0})
		{
			SCOPED_TRACE (v);
			const ParamValue plain = c->normalizedParamToPlain (p.id, v);
			EXPECT_NEAR (c->plainParamToNormalized (p.id, plain), v, 1e-9);
			EXPECT_GE (plain, lastPlain) << "plain values grow with the normalised value";
			lastPlain = plain;
			// Text to value and back gives the same text.
			const std::string shown = valueText (c, p.id, v);
			std::u16string typed = toUtf16 (shown);
			ParamValue parsed = -1.0;
			ASSERT_EQ (c->getParamValueByString (p.id, typed.data (), parsed), kResultOk) << shown;
			EXPECT_TRUE (parsed >= 0.0 && parsed <= 1.0) << parsed;
			EXPECT_EQ (valueText (c, p.id, parsed), shown);
		}
	}

	// The switch's threshold, rounding, the exponential middle and no sign on a zero.
	const struct
	{
		ParamID id;
		double v;
		const char* text;
	} spots[] = {{kBypassId, 0.5, "Off"}, {kBypassId, 0.5000001, "On"}, {kMixId, 0.556, "56"},
	             {kLevelId, 0.5, "-12.00"}, {kLevelId, 0.7499999, "0.00"}, {kPredelayId, 0.5, "15.8"}};
	for (const auto& s : spots)
		EXPECT_EQ (valueText (c, s.id, s.v), s.text) << s.id << " at " << s.v;

	String128 untouched {u'#'};
	EXPECT_NE (c->getParamStringByValue (99, 0.5, untouched), kResultOk);
	EXPECT_EQ (untouched[0], u'#');
	EXPECT_EQ (c->getParamStringByValue (kLevelId, 0.5, nullptr), kInvalidArgument);
	EXPECT_EQ (c->getParamNormalized (99), 0.);
	EXPECT_EQ (c->normalizedParamToPlain (99, 0.3), 0.3);
	EXPECT_NE (c->setParamNormalized (99, 0.3), kResultOk);
	EXPECT_EQ (c->terminate (), kResultOk);
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (ControllerConformance, ControllerFollowsProcessorState)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin && l.plugin->controller ());
	IEditController* ctrl = l.plugin->controller ();

	// Change every parameter on the processor side in one call, as automation would.
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
	EXPECT_EQ (ctrl->getParamNormalized (0), 0.0);
	EXPECT_NEAR (ctrl->getParamNormalized (1), 0.75, 1e-12);
	ASSERT_EQ (l.plugin->syncControllerFromProcessor (), kResultOk);
	std::vector<uint8_t> record;
	ASSERT_TRUE (l.plugin->saveState (record));
	EXPECT_EQ (recordInt32 (record, 8), 1);
	for (ParamID id = 0; id < 9; ++id)
	{
		EXPECT_EQ (ctrl->getParamNormalized (id), sent[id]) << "id " << id;
		if (id > 0)
		{
			EXPECT_EQ (recordDouble (record, 12 + 8 * (id - 1)), sent[id]) << "id " << id;
		}
	}
}

// The reference count an object reports after its callers' references.
uint32 refs (FUnknown* obj)
{
	obj->addRef ();
	return obj->release ();
}

TEST (ControllerConformance, ConnectionPointsInBothDirections)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	auto procCP = queryAs<IConnectionPoint> (b.component.get ());
	auto ctrlCP = queryAs<IConnectionPoint> (b.controller.get ());
	ASSERT_TRUE (procCP && ctrlCP);

	// Directly, peer to peer: one peer at a time, held while connected.
	const uint32 ctrlRefs = refs (ctrlCP.get ());
	EXPECT_EQ (procCP->connect (ctrlCP.get ()), kResultOk);
	EXPECT_EQ (refs (ctrlCP.get ()), ctrlRefs + 1);
	EXPECT_EQ (ctrlCP->connect (procCP.get ()), kResultOk);
	EXPECT_EQ (procCP->connect (ctrlCP.get ()), kResultFalse);
	EXPECT_EQ (procCP->disconnect (procCP.get ()), kResultFalse) << "not its peer";
	EXPECT_EQ (procCP->disconnect (ctrlCP.get ()), kResultOk);
	EXPECT_EQ (refs (ctrlCP.get ()), ctrlRefs);
	EXPECT_EQ (ctrlCP->disconnect (procCP.get ()), kResultOk);
	EXPECT_EQ (procCP->disconnect (ctrlCP.get ()), kResultFalse) << "not connected any more";
	EXPECT_EQ (procCP->connect (nullptr), kInvalidArgument);
	EXPECT_NE (ctrlCP->disconnect (nullptr), kResultOk);

	// Through host proxies, as hosts do; messages nobody expects are refused, not crashed on.
	Ref<ConnectionProxy> toCtrl (new ConnectionProxy (procCP.get ()));
	Ref<ConnectionProxy> toProc (new ConnectionProxy (ctrlCP.get ()));
	ASSERT_EQ (toCtrl->link (ctrlCP.get ()), kResultOk);
	ASSERT_EQ (toProc->link (procCP.get ()), kResultOk);
	Ref<HostMessage> msg (new HostMessage);
	msg->setMessageID ("Unknown");
	EXPECT_NE (toCtrl->notify (msg.get ()), kResultOk);
	EXPECT_NE (toProc->notify (msg.get ()), kResultOk);
	EXPECT_EQ (procCP->notify (nullptr), kInvalidArgument);
	EXPECT_EQ (toCtrl->unlink (), kResultOk);
	EXPECT_EQ (toProc->unlink (), kResultOk);

	// Terminating while connected drops the peer; a later connection starts afresh.
	ASSERT_EQ (toCtrl->link (ctrlCP.get ()), kResultOk);
	EXPECT_EQ (b.component->terminate (), kResultOk);
	EXPECT_EQ (b.component->initialize (static_cast<IHostApplication*> (b.host.get ())), kResultOk);
	EXPECT_EQ (procCP->connect (ctrlCP.get ()), kResultOk);
	EXPECT_EQ (procCP->disconnect (ctrlCP.get ()), kResultOk);
	toCtrl.reset ();
	toProc.reset ();
	EXPECT_EQ (b.controller->terminate (), kResultOk);
	EXPECT_EQ (b.component->terminate (), kResultOk);
	// Nothing keeps a reference: only the bench's and the queried ones are left.
	EXPECT_EQ (refs (b.component.get ()), 3u);
	EXPECT_EQ (refs (b.controller.get ()), 2u);
	EXPECT_EQ (refs (b.host.get ()), 1u);
}

// The bundle's editor finds its description from the module's own path and opens on the
// host's run loop (its timers and size are checked with the editor's own tests).
TEST (ControllerConformance, EditorOpensFromTheBundle)
{
	Loaded l = loadPlugin ();
	ASSERT_TRUE (l.plugin && l.plugin->controller ());
	Ref<IPlugView> view (l.plugin->controller ()->createView ("editor"));
	ASSERT_TRUE (view); // its size through the bundle: the info command's test
	Ref<PlugFrame> frame (new PlugFrame);
	EXPECT_EQ (view->setFrame (frame.get ()), kResultTrue);
	ASSERT_EQ (view->attached (nullptr, "VSTGUI.Offscreen"), kResultOk);
	l.plugin->controller ()->setParamNormalized (1, 0.25);
	frame->runTimers ();
	EXPECT_EQ (view->removed (), kResultOk);
	EXPECT_EQ (view->setFrame (nullptr), kResultTrue);
	EXPECT_TRUE (l.plugin->componentHandler ()->edits.empty ());
}

} // namespace
} // namespace itest
