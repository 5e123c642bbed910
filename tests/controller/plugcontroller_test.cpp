// The controller's own behaviour: text input, component state records, notifications, edits
// and knob mode. What hosts read of each parameter is checked through the built bundle.
#include "hostobjects.h"
#include "plugcontroller.h"
#include "plugids.h"

#include "pluginterfaces/vst/ivstmessage.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace testsupport;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity ();

// Exposes the about-box list for inspection.
class InspectablePlugController : public PlugController
{
public:
	const std::vector<AboutController*>& aboutList () const { return aboutControllers; }
};

class PlugControllerTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		controller = Steinberg::owned (new InspectablePlugController);
		context = Steinberg::owned (new FObject);
		ASSERT_EQ (controller->initialize (context->unknownCast ()), kResultOk);
	}
	void TearDown () override
	{
		if (controller)
			controller->terminate ();
	}

	tresult input (ParamID id, const char* text, ParamValue& v)
	{
		std::u16string t = tolvarhost::toUtf16 (text);
		return controller->getParamValueByString (id, t.data (), v);
	}

	std::vector<ParamValue> allValues ()
	{
		std::vector<ParamValue> out;
		for (ParamID id = 0; id < 9; ++id)
			out.push_back (controller->getParamNormalized (id));
		return out;
	}

	IPtr<InspectablePlugController> controller;
	IPtr<FObject> context;
};

} // namespace

TEST_F (PlugControllerTest, TextInputIsClampedOrRefused)
{
	const struct
	{
		ParamID id;
		const char* text;
		tresult code;
		double value;
	} cases[] = {
	    {kPredelayId, "300", kResultTrue, 1.},      {kPredelayId, "-5", kResultTrue, 0.},
	    {kPredelayId, "20", kResultTrue, 0.542562}, {kLevelId, "-6", kResultTrue, 0.625},
	    {kMixId, "-20", kResultTrue, 0.},           {kRvbTimeId, "1.6", kResultTrue, 0.378659},
	    {kBypassId, "1", kResultTrue, 1.},          {kPredelayId, "abc", kResultFalse, 0.},
	    {kPredelayId, "", kResultFalse, 0.},        {kLevelId, "nan", kResultFalse, 0.},
	    {99, "1", kResultFalse, 0.},
	};
	for (const auto& c : cases)
	{
		ParamValue v = 0.125;
		EXPECT_EQ (input (c.id, c.text, v), c.code) << c.id << " " << c.text;
		EXPECT_NEAR (v, c.code == kResultTrue ? c.value : 0.125, 5e-7) << c.id << " " << c.text;
	}
	ParamValue v = 0.125;
	EXPECT_EQ (controller->getParamValueByString (kLevelId, nullptr, v), kInvalidArgument);
	EXPECT_DOUBLE_EQ (v, 0.125);

	// A host string without terminator is read no further than 128 units.
	std::vector<TChar> unterminated (128, u'1');
	unterminated.shrink_to_fit ();
	EXPECT_EQ (controller->getParamValueByString (kMixId, unterminated.data (), v), kResultTrue);
	EXPECT_DOUBLE_EQ (v, 1.);

	// Text input never changes the stored value.
	EXPECT_NEAR (controller->getParamNormalized (kPredelayId), 0.542562, 5e-7);
}

TEST_F (PlugControllerTest, ExponentialParametersMapPlainValuesWithoutLogarithmToRangeEnds)
{
	struct Case
	{
		double plain;
		const char* text;
		double normalized;
		bool textAccepted;
	};
	const double nan = std::nan ("");
	const Case cases[] = {
	    {0., "0", 0., true},      {-0., "-0", 0., true},  {-250., "-250", 0., true},
	    {-kInf, "-inf", 0., true}, {kInf, "inf", 1., true}, {kInf, "1e400", 1., true},
	    {nan, "nan", 0., false},
	};
	for (ParamID id : {kPredelayId, kRvbTimeId, kSizeId, kLPCutId})
	{
		const double min = controller->normalizedParamToPlain (id, 0.);
		const double max = controller->normalizedParamToPlain (id, 1.);
		for (const auto& c : cases)
		{
			SCOPED_TRACE (std::to_string (id) + " " + c.text);
			EXPECT_EQ (controller->plainParamToNormalized (id, c.plain), c.normalized);
			ParamValue parsed = 0.5;
			EXPECT_EQ (input (id, c.text, parsed), c.textAccepted ? kResultTrue : kResultFalse);
			EXPECT_EQ (parsed, c.textAccepted ? c.normalized : 0.5);
		}
		// Ordinary values outside the range still map outside 0..1.
		EXPECT_NEAR (controller->plainParamToNormalized (id, min * min / max), -1., 1e-12);
		EXPECT_NEAR (controller->plainParamToNormalized (id, max * max / min), 2., 1e-12);
	}
	// Below a minimum of 1 the largest double overflows on its way to the logarithm.
	EXPECT_EQ (controller->plainParamToNormalized (kRvbTimeId, std::numeric_limits<double>::max ()), 1.);
}

// NaN and the infinities from a host map into 0..1 for every parameter, and show the text of
// the end they lie beyond (NaN the bottom), never "nan".
TEST_F (PlugControllerTest, NonFiniteValuesLandOnTheEndsOfTheRange)
{
	auto text = [&] (ParamID id, ParamValue v) {
		String128 s {};
		EXPECT_EQ (controller->getParamStringByValue (id, v, s), kResultTrue);
		return toAscii (s);
	};
	const struct
	{
		double value, end;
	} cases[] = {{std::nan (""), 0.}, {kInf, 1.}, {-kInf, 0.}};
	for (ParamID id = kBypassId; id <= kLPCutId; ++id)
	{
		for (const auto& c : cases)
		{
			SCOPED_TRACE (std::to_string (id) + " " + std::to_string (c.value));
			EXPECT_EQ (controller->plainParamToNormalized (id, c.value), c.end);
			EXPECT_EQ (text (id, c.value), text (id, c.end));
		}
	}
}

TEST_F (PlugControllerTest, SecondInitializeIsRefusedAndKeepsNineParameters)
{
	auto* level = controller->getParameterObject (kLevelId);
	EXPECT_EQ (controller->initialize (context->unknownCast ()), kResultFalse);
	EXPECT_EQ (controller->getParameterCount (), 9);
	EXPECT_EQ (controller->getParameterObject (kLevelId), level);

	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 0);
	// Without a host context as well.
	EXPECT_EQ (controller->initialize (nullptr), kResultOk);
	EXPECT_EQ (controller->initialize (nullptr), kResultFalse);
	EXPECT_EQ (controller->getParameterCount (), 9);
}

// Records as the processor writes them and as damaged projects hold them: the controller
// shows the first 140 bytes, bypass on for a positive word, values clamped and NaN as 0;
// a short (other lengths: the record reader's tests) or missing stream changes nothing.
TEST_F (PlugControllerTest, ComponentStateShowsTheRecordOrNothing)
{
	const double nan = std::nan ("");
	const struct
	{
		size_t size;
		int64 reserved;
		int32 bypass;
		double values[8], carried; // carried: the six values past the parameters
		tresult code;
		double shown[9];
	} cases[] = {
	    {140, 0, 1, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}, 123., kResultOk,
	     {1., 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}},
	    {139, 0, 1, {0.33, 0.33, 0.33, 0.33, 0.33, 0.33, 0.33, 0.33}, 0.33, kResultFalse, {}},
	    {160, -1234567, -1, {0.25, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}, 0., kResultOk,
	     {0., 0.25, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}},
	    {140, 0, INT_MAX, {1.5, -0.5, kInf, -kInf, nan, 1e308, -1e-300, 0.5}, nan, kResultOk,
	     {1., 1., 0., 1., 0., 0., 1., 0., 0.5}},
	    {140, -1, -7, {-nan, -nan, -nan, -nan, -nan, -nan, -nan, -nan}, -nan, kResultOk, {}},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE (&c - cases);
		RecordBytes record;
		record.reserved = c.reserved;
		record.bypass = c.bypass;
		std::copy (std::begin (c.values), std::end (c.values), record.values);
		std::fill (record.values + 8, record.values + 14, c.carried);
		record.flags[0] = 1;
		auto bytes = record.bytes ();
		bytes.resize (c.size, 0xFF);
		ByteStream stream (bytes);
		const auto before = allValues ();
		EXPECT_EQ (controller->setComponentState (&stream), c.code);
		if (c.code == kResultOk)
		{
			EXPECT_EQ (stream.position (), 140u);
			EXPECT_EQ (allValues (), std::vector<ParamValue> (std::begin (c.shown), std::end (c.shown)));
		}
		else
			EXPECT_EQ (allValues (), before);
	}
	controller->setParamNormalized (kMixId, 0.9);
	const auto before = allValues ();
	EXPECT_EQ (controller->setComponentState (nullptr), kResultFalse);
	EXPECT_EQ (allValues (), before);
	EXPECT_EQ (controller->setParamNormalized (kMixId, nan), kInvalidArgument);
	EXPECT_EQ (allValues (), before);
}

TEST_F (PlugControllerTest, DependentsHearOnlyRealChanges)
{
	UpdateRecorder mixListener;
	UpdateRecorder bypassListener;
	auto* mix = controller->getParameterObject (kMixId);
	auto* bypass = controller->getParameterObject (kBypassId);
	mix->addDependent (&mixListener);
	bypass->addDependent (&bypassListener);

	// Clamping and unchanged values are the parameters' own (parameters_test); a restored record
	// changing only the mix tells the mix's listener once and the bypass listener nothing.
	EXPECT_EQ (controller->setParamNormalized (kMixId, 0.5), kResultTrue); // already 0.5

	RecordBytes record;
	for (ParamID id = kLevelId; id <= kLPCutId; ++id)
		record.values[id - 1] = controller->getParamNormalized (id);
	record.values[kMixId - 1] = 0.2;
	ByteStream stream (record.bytes ());
	EXPECT_EQ (controller->setComponentState (&stream), kResultOk);
	EXPECT_EQ (mixListener.messages, (std::vector<int32> {IDependent::kChanged}));
	EXPECT_TRUE (bypassListener.messages.empty ());

	mix->removeDependent (&mixListener);
	bypass->removeDependent (&bypassListener);
}

TEST_F (PlugControllerTest, EditsGoToTheComponentHandler)
{
	EXPECT_EQ (controller->beginEdit (kMixId), kResultFalse);

	RecordingHandler handler;
	EXPECT_EQ (controller->setComponentHandler (&handler), kResultTrue);
	EXPECT_EQ (handler.refs, 2);
	EXPECT_EQ (controller->setComponentHandler (&handler), kResultTrue);
	EXPECT_EQ (handler.refs, 2);

	// The edits themselves, and that host-set values are not echoed, are checked with the editor.
	EXPECT_EQ (controller->beginEdit (kMixId), kResultOk);
	EXPECT_EQ (handler.log, (std::vector<std::string> {"begin 2"}));
	// No second handler interface: group edits are not supported.
	EXPECT_EQ (controller->startGroupEdit (), kNotImplemented);

	EXPECT_EQ (controller->setComponentHandler (nullptr), kResultTrue);
	EXPECT_EQ (handler.refs, 1);
	EXPECT_EQ (controller->endEdit (kMixId), kResultFalse);

	controller->setComponentHandler (&handler);
	controller->terminate ();
	EXPECT_EQ (handler.refs, 1);
}

// Opening an editor sets the linear mode (editor tests); the mode is shared and validated.
TEST_F (PlugControllerTest, KnobModeIsSharedAndValidated)
{
	const KnobMode saved = EditController::getHostKnobMode ();
	auto other = Steinberg::owned (new PlugController);

	EXPECT_EQ (other->setKnobMode (kRelativCircularMode), kResultTrue);
	EXPECT_EQ (EditController::getHostKnobMode (), kRelativCircularMode);
	EXPECT_EQ (controller->setKnobMode (3), kInvalidArgument);
	EXPECT_EQ (controller->setKnobMode (-1), kInvalidArgument);
	EXPECT_EQ (EditController::getHostKnobMode (), kRelativCircularMode);

	EXPECT_EQ (controller->openHelp (true), kResultFalse);
	EXPECT_EQ (controller->openAboutBox (true), kResultFalse);
	controller->setKnobMode (saved);
}

// Editors remove their own about box from the list; one that is not listed changes nothing.
TEST_F (PlugControllerTest, AboutListIgnoresAStranger)
{
	int a = 0, b = 0;
	auto* listed = reinterpret_cast<PlugController::AboutController*> (&a);
	controller->addAboutController (listed);
	controller->removeAboutController (reinterpret_cast<PlugController::AboutController*> (&b));
	EXPECT_EQ (controller->aboutList (), (std::vector<PlugController::AboutController*> {listed}));
	controller->removeAboutController (listed);
	EXPECT_TRUE (controller->aboutList ().empty ());
}
