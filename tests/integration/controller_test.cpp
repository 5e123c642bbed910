// The controller of the built bundle as hosts see it: value texts and conversions,
// state synchronisation with the processor and the connection points.
#include "support.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <string>

namespace itest {
namespace {

TEST (ControllerConformance, ValueTextsAndConversionsRoundTrip)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	IEditController* c = b.controller.get ();
	ASSERT_EQ (c->getParameterCount (), 9);
	ParameterInfo p {};
	EXPECT_NE (c->getParameterInfo (-1, p), kResultOk);
	EXPECT_NE (c->getParameterInfo (9, p), kResultOk);
	for (int32 index = 0; index < 9; ++index)
	{
		ASSERT_EQ (c->getParameterInfo (index, p), kResultOk);
		SCOPED_TRACE (text16 (p.title));
		EXPECT_EQ (p.unitId, kRootUnitId) << "no unit information is offered";
		EXPECT_DOUBLE_EQ (c->getParamNormalized (p.id), p.defaultNormalizedValue);
		double lastPlain = -1e300;
		for (double v : {0.0, 0.1, 0.25, 0.5, 0.5000001, 0.75, 0.9, 1.0})
		{
			SCOPED_TRACE (v);
			const ParamValue plain = c->normalizedParamToPlain (p.id, v);
			EXPECT_NEAR (c->plainParamToNormalized (p.id, plain), v, 1e-9);
			EXPECT_GE (plain, lastPlain) << "plain values grow with the normalised value";
			lastPlain = plain;

			// Text to value and back gives the same text.
			String128 str {};
			ASSERT_EQ (c->getParamStringByValue (p.id, v, str), kResultOk);
			ASSERT_FALSE (text16 (str).empty ());
			ParamValue parsed = -1.0;
			ASSERT_EQ (c->getParamValueByString (p.id, str, parsed), kResultOk);
			EXPECT_GE (parsed, 0.0);
			EXPECT_LE (parsed, 1.0);
			String128 again {};
			ASSERT_EQ (c->getParamStringByValue (p.id, parsed, again), kResultOk);
			EXPECT_EQ (text16 (again), text16 (str));
		}
		if (p.stepCount == 1)
		{
			// The switch reads back its own texts as well as numbers.
			ParamValue parsed = -1.0;
			EXPECT_EQ (c->getParamValueByString (p.id, const_cast<TChar*> (u"On"), parsed), kResultOk);
			EXPECT_EQ (parsed, 1.0);
			EXPECT_EQ (c->getParamValueByString (p.id, const_cast<TChar*> (u"Off"), parsed), kResultOk);
			EXPECT_EQ (parsed, 0.0);
			EXPECT_EQ (c->getParamValueByString (p.id, const_cast<TChar*> (u"1"), parsed), kResultOk);
			EXPECT_EQ (parsed, 1.0);
		}
	}
	EXPECT_EQ (c->terminate (), kResultOk);
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (ControllerConformance, FreshProcessorRecordHoldsTheControllerDefaults)
{
	auto l = loadPlugin ();
	ASSERT_TRUE (l.plugin && l.plugin->controller ());
	std::vector<uint8_t> record;
	ASSERT_TRUE (l.plugin->saveState (record));
	IEditController* ctrl = l.plugin->controller ();
	ASSERT_EQ (ctrl->getParameterCount (), 9);
	for (int32 i = 0; i < 9; ++i)
	{
		ParameterInfo info {};
		ASSERT_EQ (ctrl->getParameterInfo (i, info), kResultOk);
		const double stored = info.id == 0 ? recordInt32 (record, 8) : recordDouble (record, 12 + 8 * (info.id - 1));
		EXPECT_NEAR (stored, info.defaultNormalizedValue, 1e-6) << "id " << info.id;
	}
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

TEST (ControllerConformance, ConnectionPointsInBothDirections)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	auto procCP = queryAs<IConnectionPoint> (b.component.get ());
	auto ctrlCP = queryAs<IConnectionPoint> (b.controller.get ());
	ASSERT_TRUE (procCP && ctrlCP);

	// Directly, peer to peer.
	EXPECT_EQ (procCP->connect (ctrlCP.get ()), kResultOk);
	EXPECT_EQ (ctrlCP->connect (procCP.get ()), kResultOk);
	EXPECT_NE (procCP->connect (ctrlCP.get ()), kResultOk) << "one peer at a time";
	EXPECT_EQ (procCP->disconnect (ctrlCP.get ()), kResultOk);
	EXPECT_EQ (ctrlCP->disconnect (procCP.get ()), kResultOk);
	EXPECT_NE (procCP->disconnect (ctrlCP.get ()), kResultOk) << "not connected any more";
	EXPECT_NE (procCP->connect (nullptr), kResultOk);
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
	EXPECT_NE (procCP->notify (nullptr), kResultOk);
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
}

// The bundle's editor finds its description from the module's own path and opens on
// the host's run loop; its edits reach the host's component handler.
TEST (ControllerConformance, EditorOpensFromTheBundle)
{
	Loaded l = loadPlugin ();
	ASSERT_TRUE (l.plugin && l.plugin->controller ());
	Ref<IPlugView> view (l.plugin->controller ()->createView ("editor"));
	ASSERT_TRUE (view);
	ViewRect size;
	EXPECT_EQ (view->getSize (&size), kResultTrue);
	EXPECT_GT (size.getWidth (), 0);
	Ref<PlugFrame> frame (new PlugFrame);
	EXPECT_EQ (view->setFrame (frame.get ()), kResultTrue);
	ASSERT_EQ (view->attached (nullptr, "VSTGUI.Offscreen"), kResultOk);
	EXPECT_GT (frame->numTimers (), 0u);
	l.plugin->controller ()->setParamNormalized (1, 0.25);
	frame->runTimers ();
	EXPECT_EQ (view->removed (), kResultOk);
	EXPECT_EQ (frame->numTimers (), 0u);
	EXPECT_EQ (view->setFrame (nullptr), kResultTrue);
	EXPECT_TRUE (l.plugin->componentHandler ()->edits.empty ());
}

} // namespace
} // namespace itest
