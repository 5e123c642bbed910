// The edit controller as validators and hosts see it: parameter scan, value texts,
// conversions, state synchronisation and the connection points.
#include "bench.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <cmath>
#include <set>
#include <string>

namespace conformance {
namespace {

std::string text16 (const TChar* s)
{
	return toUtf8 (reinterpret_cast<const char16_t*> (s), 128);
}

std::vector<ParameterInfo> scan (IEditController* c)
{
	std::vector<ParameterInfo> out;
	const int32 count = c->getParameterCount ();
	for (int32 i = 0; i < count; ++i)
	{
		ParameterInfo info {};
		EXPECT_EQ (c->getParameterInfo (i, info), kResultOk) << i;
		out.push_back (info);
	}
	return out;
}

TEST (ControllerConformance, ParameterScan)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	const auto params = scan (b.controller.get ());
	ASSERT_EQ (params.size (), 9u);
	std::set<ParamID> ids;
	int bypassCount = 0;
	for (const ParameterInfo& p : params)
	{
		SCOPED_TRACE (p.id);
		EXPECT_TRUE (ids.insert (p.id).second) << "ids are unique";
		EXPECT_NE (p.id, kNoParamId);
		EXPECT_FALSE (text16 (p.title).empty ());
		EXPECT_GE (p.stepCount, 0);
		EXPECT_GE (p.defaultNormalizedValue, 0.0);
		EXPECT_LE (p.defaultNormalizedValue, 1.0);
		EXPECT_EQ (p.unitId, kRootUnitId) << "no unit information is offered";
		EXPECT_TRUE (p.flags & ParameterInfo::kCanAutomate);
		EXPECT_FALSE (p.flags & (ParameterInfo::kIsReadOnly | ParameterInfo::kIsHidden));
		EXPECT_FALSE (p.flags & ParameterInfo::kIsProgramChange);
		EXPECT_DOUBLE_EQ (b.controller->getParamNormalized (p.id), p.defaultNormalizedValue);
		if (p.flags & ParameterInfo::kIsBypass)
		{
			++bypassCount;
			EXPECT_EQ (p.stepCount, 1);
			EXPECT_EQ (p.id, 0u);
		}
	}
	EXPECT_EQ (bypassCount, 1);
	ParameterInfo info {};
	EXPECT_NE (b.controller->getParameterInfo (-1, info), kResultOk);
	EXPECT_NE (b.controller->getParameterInfo (9, info), kResultOk);
	EXPECT_EQ (b.controller->terminate (), kResultOk);
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (ControllerConformance, InitializeTerminateCycles)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	IEditController* c = b.controller.get ();
	auto* context = static_cast<IHostApplication*> (b.host.get ());
	for (int round = 0; round < 2; ++round)
	{
		SCOPED_TRACE (round);
		ASSERT_EQ (c->initialize (context), kResultOk);
		EXPECT_EQ (c->initialize (context), kResultFalse);
		EXPECT_EQ (c->getParameterCount (), 9) << "parameters are registered once";
		EXPECT_EQ (c->terminate (), kResultOk);
		EXPECT_NE (c->terminate (), kResultOk);
	}
}

TEST (ControllerConformance, ValueTextsAndConversionsRoundTrip)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	IEditController* c = b.controller.get ();
	for (const ParameterInfo& p : scan (c))
	{
		SCOPED_TRACE (text16 (p.title));
		double lastPlain = -1e300;
		for (double v : {0.0, 0.1, 0.25, 0.5, 0.5000001, 0.75, 0.9, 1.0})
		{
			SCOPED_TRACE (v);
			const ParamValue plain = c->normalizedParamToPlain (p.id, v);
			EXPECT_NEAR (c->plainParamToNormalized (p.id, plain), v, 1e-9);
			EXPECT_GE (plain, lastPlain) << "plain values grow with the normalised value";
			lastPlain = plain;

			String128 str {};
			ASSERT_EQ (c->getParamStringByValue (p.id, v, str), kResultOk);
			ASSERT_FALSE (text16 (str).empty ());
			// Text to value and back gives the same text.
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
			String128 off {}, on {};
			c->getParamStringByValue (p.id, 0.0, off);
			c->getParamStringByValue (p.id, 1.0, on);
			EXPECT_EQ (text16 (off), "Off");
			EXPECT_EQ (text16 (on), "On");
			ParamValue parsed = -1.0;
			EXPECT_EQ (c->getParamValueByString (p.id, on, parsed), kResultOk);
			EXPECT_EQ (parsed, 1.0);
			EXPECT_EQ (c->getParamValueByString (p.id, off, parsed), kResultOk);
			EXPECT_EQ (parsed, 0.0);
			EXPECT_EQ (c->getParamValueByString (p.id, const_cast<TChar*> (u"1"), parsed), kResultOk);
			EXPECT_EQ (parsed, 1.0);
		}
	}
	// Unknown ids are answered without a value, not followed.
	String128 str {};
	ParamValue v = 0.0;
	EXPECT_NE (c->getParamStringByValue (kNoParamId, 0.5, str), kResultOk);
	EXPECT_NE (c->getParamValueByString (kNoParamId, str, v), kResultOk);
	EXPECT_NE (c->setParamNormalized (kNoParamId, 0.5), kResultOk);
	EXPECT_EQ (c->terminate (), kResultOk);
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (ControllerConformance, ControllerFollowsProcessorState)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	b.start (kSample32, 44100.0, 256);

	// Change every parameter on the processor side in one flush call.
	Ref<ParameterChanges> changes (new ParameterChanges);
	const double wanted[9] = {1.0, 0.1, 0.2, 0.3, 0.4, 0.6, 0.7, 0.8, 0.9};
	int32 index = 0;
	for (ParamID id = 0; id < 9; ++id)
		changes->addParameterData (id, index)->addPoint (0, wanted[id], index);
	ProcessData flush;
	flush.inputParameterChanges = changes.get ();
	ASSERT_EQ (b.processor->process (flush), kResultOk);

	Ref<HostStream> s (new HostStream);
	ASSERT_EQ (b.component->getState (s.get ()), kResultOk);
	s->rewind ();
	ASSERT_EQ (b.controller->setComponentState (s.get ()), kResultOk);
	for (ParamID id = 0; id < 9; ++id)
		EXPECT_DOUBLE_EQ (b.controller->getParamNormalized (id), wanted[id]) << id;
	b.stop ();
	EXPECT_EQ (b.controller->terminate (), kResultOk);
	EXPECT_EQ (b.component->terminate (), kResultOk);
}

TEST (ControllerConformance, BypassSurvivesSaveAndReload)
{
	// Bypass on through a flush call and on the controller, save both states,
	// bypass off, reload: the controller reports bypass on again.
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	ASSERT_EQ (b.initialize (), kResultOk);
	b.start (kSample32, 44100.0, 256);
	ParamID bypassId = kNoParamId;
	for (const ParameterInfo& p : scan (b.controller.get ()))
		if (p.flags & ParameterInfo::kIsBypass)
			bypassId = p.id;
	ASSERT_NE (bypassId, kNoParamId);

	auto setBypass = [&] (double v) {
		Ref<ParameterChanges> changes (new ParameterChanges);
		int32 index = 0;
		changes->addParameterData (bypassId, index)->addPoint (0, v, index);
		ProcessData flush;
		flush.inputParameterChanges = changes.get ();
		EXPECT_EQ (b.processor->process (flush), kResultOk);
		EXPECT_EQ (b.controller->setParamNormalized (bypassId, v), kResultOk);
	};
	setBypass (1.0);
	Ref<HostStream> procState (new HostStream), ctrlState (new HostStream);
	ASSERT_EQ (b.component->getState (procState.get ()), kResultOk);
	const tresult ctrlSaved = b.controller->getState (ctrlState.get ());
	EXPECT_TRUE (ctrlSaved == kResultOk || ctrlSaved == kNotImplemented);

	setBypass (0.0);
	EXPECT_EQ (b.controller->getParamNormalized (bypassId), 0.0);

	procState->rewind ();
	ctrlState->rewind ();
	ASSERT_EQ (b.component->setState (procState.get ()), kResultOk);
	procState->rewind ();
	ASSERT_EQ (b.controller->setComponentState (procState.get ()), kResultOk);
	const tresult ctrlLoaded = b.controller->setState (ctrlState.get ());
	EXPECT_TRUE (ctrlLoaded == kResultOk || ctrlLoaded == kNotImplemented);
	EXPECT_EQ (b.controller->getParamNormalized (bypassId), 1.0);
	EXPECT_EQ (stateInt32 (b.state (), 8), 1);
	b.stop ();
	EXPECT_EQ (b.controller->terminate (), kResultOk);
	EXPECT_EQ (b.component->terminate (), kResultOk);
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
	void* obj = nullptr;
	ASSERT_EQ (b.host->createInstance (const_cast<int8*> (IMessage::iid.toTUID ()),
	                                   const_cast<int8*> (IMessage::iid.toTUID ()), &obj),
	           kResultOk);
	Ref<IMessage> msg (static_cast<IMessage*> (obj));
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

} // namespace
} // namespace conformance
