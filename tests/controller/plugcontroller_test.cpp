#include "plugcontroller.h"
#include "plugids.h"

#include "pluginterfaces/vst/ivstmessage.h"
#include "testsupport.h"

#include <gtest/gtest.h>

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

	std::string valueText (ParamID id, ParamValue v)
	{
		String128 s;
		std::fill (std::begin (s), std::end (s), u'#');
		EXPECT_EQ (controller->getParamStringByValue (id, v, s), kResultTrue);
		return toAscii (s);
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

TEST_F (PlugControllerTest, RegistersNineParametersInOrder)
{
	struct Expected
	{
		const char* title;
		const char* units;
		int32 stepCount;
		int32 flags;
		double defaultValue;
		const char* defaultText;
	};
	const Expected expected[] = {
	    {"Bypass", "", 1, 65537, 0., "Off"},
	    {"Level", "dB", 0, 1, 0.75, "0.00"},
	    {"Mix", "%", 0, 1, 0.5, "50"},
	    {"Predelay", "ms", 0, 1, 0.542562, "20.0"},
	    {"Rvb Time", "s", 0, 1, 0.378659, "1.60"},
	    {"Size", "m3", 0, 1, 0.768622, "10000"},
	    {"Diffusion", "%", 0, 1, 1.0, "100"},
	    {"HFDamp", "%", 0, 1, 0.75, "75"},
	    {"LPCut", "Hz", 0, 1, 0.464386, "2500"},
	};

	ASSERT_EQ (controller->getParameterCount (), 9);
	for (int32 i = 0; i < 9; ++i)
	{
		SCOPED_TRACE (i);
		ParameterInfo info;
		std::memset (&info, 0xAB, sizeof (info));
		ASSERT_EQ (controller->getParameterInfo (i, info), kResultTrue);
		EXPECT_EQ (info.id, static_cast<ParamID> (i));
		EXPECT_EQ (toAscii (info.title), expected[i].title);
		EXPECT_EQ (toAscii (info.units), expected[i].units);
		EXPECT_EQ (info.shortTitle[0], 0);
		EXPECT_EQ (info.stepCount, expected[i].stepCount);
		EXPECT_EQ (info.flags, expected[i].flags);
		EXPECT_EQ (info.unitId, 0);
		EXPECT_NEAR (info.defaultNormalizedValue, expected[i].defaultValue, 5e-7);
		EXPECT_DOUBLE_EQ (controller->getParamNormalized (info.id), info.defaultNormalizedValue);
		EXPECT_EQ (valueText (info.id, info.defaultNormalizedValue), expected[i].defaultText);
	}

	ParameterInfo info;
	EXPECT_EQ (controller->getParameterInfo (9, info), kResultFalse);
	EXPECT_EQ (controller->getParameterInfo (-1, info), kResultFalse);
}

TEST_F (PlugControllerTest, ValueTextsThroughTheController)
{
	EXPECT_EQ (valueText (kBypassId, 0.5), "Off");
	EXPECT_EQ (valueText (kBypassId, 0.51), "On");
	EXPECT_EQ (valueText (kLevelId, 0.), "-36.00");
	EXPECT_EQ (valueText (kLevelId, 1.), "12.00");
	EXPECT_EQ (valueText (kLPCutId, 0.), "500");
	EXPECT_EQ (valueText (kLPCutId, 1.), "16000");
	EXPECT_DOUBLE_EQ (controller->plainParamToNormalized (kLevelId, -12.), 0.5);
	EXPECT_NEAR (controller->normalizedParamToPlain (kPredelayId, 0.5), std::sqrt (250.), 1e-12);

	// Unknown ids and missing buffers.
	String128 s;
	s[0] = u'#';
	EXPECT_EQ (controller->getParamStringByValue (99, 0.5, s), kResultFalse);
	EXPECT_EQ (s[0], u'#');
	EXPECT_EQ (controller->getParamStringByValue (kLevelId, 0.5, nullptr), kInvalidArgument);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (99), 0.);
	EXPECT_DOUBLE_EQ (controller->normalizedParamToPlain (99, 0.3), 0.3);
	EXPECT_EQ (controller->setParamNormalized (99, 0.3), kResultFalse);
}

TEST_F (PlugControllerTest, TextInputIsClampedOrRefused)
{
	auto input = [&] (ParamID id, const char* text, ParamValue& v) {
		std::u16string t = toUtf16 (text);
		return controller->getParamValueByString (id, t.data (), v);
	};
	ParamValue v = -1.;
	EXPECT_EQ (input (kPredelayId, "300", v), kResultTrue);
	EXPECT_DOUBLE_EQ (v, 1.);
	EXPECT_EQ (input (kLevelId, "-6", v), kResultTrue);
	EXPECT_DOUBLE_EQ (v, 0.625);
	EXPECT_EQ (input (kMixId, "-20", v), kResultTrue);
	EXPECT_DOUBLE_EQ (v, 0.);
	EXPECT_EQ (input (kRvbTimeId, "1.6", v), kResultTrue);
	EXPECT_NEAR (v, 0.378659, 5e-7);
	EXPECT_EQ (input (kBypassId, "1", v), kResultTrue);
	EXPECT_DOUBLE_EQ (v, 1.);

	v = 0.125;
	EXPECT_EQ (input (kPredelayId, "abc", v), kResultFalse);
	EXPECT_EQ (input (kPredelayId, "", v), kResultFalse);
	EXPECT_EQ (input (kLevelId, "nan", v), kResultFalse);
	EXPECT_EQ (input (99, "1", v), kResultFalse);
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
			std::u16string t = toUtf16 (c.text);
			ParamValue parsed = 0.5;
			EXPECT_EQ (controller->getParamValueByString (id, t.data (), parsed),
			           c.textAccepted ? kResultTrue : kResultFalse);
			EXPECT_EQ (parsed, c.textAccepted ? c.normalized : 0.5);
		}
		// Ordinary values outside the range still map outside 0..1.
		EXPECT_NEAR (controller->plainParamToNormalized (id, min * min / max), -1., 1e-12);
		EXPECT_NEAR (controller->plainParamToNormalized (id, max * max / min), 2., 1e-12);
	}
	// Below a minimum of 1 the largest double overflows on its way to the logarithm.
	EXPECT_EQ (controller->plainParamToNormalized (kRvbTimeId, std::numeric_limits<double>::max ()), 1.);
}

TEST_F (PlugControllerTest, SecondInitializeIsRefusedAndKeepsNineParameters)
{
	auto* level = controller->getParameterObject (kLevelId);
	EXPECT_EQ (controller->initialize (context->unknownCast ()), kResultFalse);
	EXPECT_EQ (controller->getParameterCount (), 9);
	EXPECT_EQ (controller->getParameterObject (kLevelId), level);

	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 0);
	EXPECT_EQ (controller->initialize (context->unknownCast ()), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 9);
}

TEST (PlugControllerNoContextTest, InitializeWithoutContextTwiceStillNine)
{
	auto controller = Steinberg::owned (new PlugController);
	EXPECT_EQ (controller->initialize (nullptr), kResultOk);
	EXPECT_EQ (controller->initialize (nullptr), kResultFalse);
	EXPECT_EQ (controller->getParameterCount (), 9);
	controller->terminate ();
}

TEST_F (PlugControllerTest, ComponentStateSetsAllNineValues)
{
	RecordBytes record;
	record.bypass = 1;
	const double values[8] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8};
	std::copy (std::begin (values), std::end (values), record.values);
	record.values[8] = 123.; // carried values and flags are ignored
	record.flags[0] = 1;

	ByteStream stream (record.bytes ());
	EXPECT_EQ (controller->setComponentState (&stream), kResultOk);
	EXPECT_EQ (stream.position (), 140u);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kBypassId), 1.);
	for (ParamID id = 1; id <= 8; ++id)
		EXPECT_DOUBLE_EQ (controller->getParamNormalized (id), values[id - 1]) << id;

	// A bypass word read as off: zero or negative.
	record.bypass = -1;
	ByteStream off (record.bytes ());
	EXPECT_EQ (controller->setComponentState (&off), kResultOk);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kBypassId), 0.);
	record.bypass = 2147483647;
	ByteStream on (record.bytes ());
	EXPECT_EQ (controller->setComponentState (&on), kResultOk);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kBypassId), 1.);
}

TEST_F (PlugControllerTest, ComponentStateReadsOnlyTheFirst140Bytes)
{
	RecordBytes record;
	record.reserved = -1234567;
	record.values[0] = 0.25;
	auto bytes = record.bytes ();
	bytes.resize (160, 0xFF);
	ByteStream stream (bytes);
	EXPECT_EQ (controller->setComponentState (&stream), kResultOk);
	EXPECT_EQ (stream.position (), 140u);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kLevelId), 0.25);
}

TEST_F (PlugControllerTest, ShortOrAbsentStateChangesNothing)
{
	controller->setParamNormalized (kMixId, 0.9);
	const auto before = allValues ();

	RecordBytes record;
	record.bypass = 1;
	for (double& v : record.values)
		v = 0.33;
	auto bytes = record.bytes ();
	for (size_t size : {size_t (139), size_t (12), size_t (0)})
	{
		SCOPED_TRACE (size);
		ByteStream stream (std::vector<uint8> (bytes.begin (), bytes.begin () + size));
		EXPECT_EQ (controller->setComponentState (&stream), kResultFalse);
		EXPECT_EQ (allValues (), before);
	}
	EXPECT_EQ (controller->setComponentState (nullptr), kResultFalse);
	EXPECT_EQ (allValues (), before);
}

TEST_F (PlugControllerTest, ComponentStateClampsOutOfRangeAndTakesNaNAsZero)
{
	RecordBytes record;
	const double values[8] = {1.5, -0.5, kInf, -kInf, std::nan (""), 1e308, -1e-300, 0.5};
	std::copy (std::begin (values), std::end (values), record.values);
	for (int i = 8; i < 14; ++i)
		record.values[i] = std::nan ("");

	ByteStream stream (record.bytes ());
	EXPECT_EQ (controller->setComponentState (&stream), kResultOk);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kLevelId), 1.);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kMixId), 0.);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kPredelayId), 1.);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kRvbTimeId), 0.);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kSizeId), 0.); // NaN, as the processor runs it
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kDiffusionId), 1.);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kHFDampId), 0.);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kLPCutId), 0.5);

	for (ParamID id = 0; id < 9; ++id)
	{
		const double v = controller->getParamNormalized (id);
		EXPECT_TRUE (v >= 0. && v <= 1.) << id;
	}
	EXPECT_EQ (controller->setParamNormalized (kMixId, std::nan ("")), kInvalidArgument);

	// A record of nothing but NaN sets every value to zero.
	controller->setParamNormalized (kBypassId, 1.);
	RecordBytes nans;
	nans.reserved = -1;
	nans.bypass = -7;
	for (double& v : nans.values)
		v = -std::nan ("");
	ByteStream nanStream (nans.bytes ());
	EXPECT_EQ (controller->setComponentState (&nanStream), kResultOk);
	EXPECT_EQ (allValues (), std::vector<ParamValue> (9, 0.));
}

TEST_F (PlugControllerTest, DependentsHearOnlyRealChanges)
{
	UpdateRecorder mixListener;
	UpdateRecorder bypassListener;
	auto* mix = controller->getParameterObject (kMixId);
	auto* bypass = controller->getParameterObject (kBypassId);
	mix->addDependent (&mixListener);
	bypass->addDependent (&bypassListener);

	EXPECT_EQ (controller->setParamNormalized (kMixId, 0.5), kResultTrue); // already 0.5
	EXPECT_TRUE (mixListener.messages.empty ());
	EXPECT_EQ (controller->setParamNormalized (kMixId, 0.7), kResultTrue);
	EXPECT_EQ (controller->setParamNormalized (kMixId, 3.), kResultTrue);
	EXPECT_EQ (controller->setParamNormalized (kMixId, 1.), kResultTrue); // same after clamping
	EXPECT_EQ (mixListener.messages, (std::vector<int32> {IDependent::kChanged, IDependent::kChanged}));

	// A restored record changing only the mix: the bypass listener stays quiet.
	RecordBytes record;
	record.values[0] = 0.75;
	record.values[1] = 0.2;
	record.values[2] = controller->getParamNormalized (kPredelayId);
	record.values[3] = controller->getParamNormalized (kRvbTimeId);
	record.values[4] = controller->getParamNormalized (kSizeId);
	record.values[5] = 1.;
	record.values[6] = 0.75;
	record.values[7] = controller->getParamNormalized (kLPCutId);
	ByteStream stream (record.bytes ());
	EXPECT_EQ (controller->setComponentState (&stream), kResultOk);
	EXPECT_EQ (mixListener.messages.size (), 3u);
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

	EXPECT_EQ (controller->beginEdit (kMixId), kResultOk);
	EXPECT_EQ (controller->performEdit (kMixId, 0.25), kResultOk);
	EXPECT_EQ (controller->endEdit (kMixId), kResultOk);
	EXPECT_EQ (handler.log, (std::vector<std::string> {"begin 2", "perform 2 0.250000", "end 2"}));
	// Host-set values are not echoed back.
	controller->setParamNormalized (kMixId, 0.1);
	EXPECT_EQ (handler.log.size (), 3u);
	// No second handler interface: group edits are not supported.
	EXPECT_EQ (controller->startGroupEdit (), kNotImplemented);

	EXPECT_EQ (controller->setComponentHandler (nullptr), kResultTrue);
	EXPECT_EQ (handler.refs, 1);
	EXPECT_EQ (controller->endEdit (kMixId), kResultFalse);

	controller->setComponentHandler (&handler);
	controller->terminate ();
	EXPECT_EQ (handler.refs, 1);
}

TEST_F (PlugControllerTest, KnobModeIsSharedAndValidated)
{
	const KnobMode saved = EditController::getHostKnobMode ();
	auto other = Steinberg::owned (new PlugController);

	EXPECT_EQ (controller->setKnobMode (kLinearMode), kResultTrue);
	EXPECT_EQ (EditController::getHostKnobMode (), kLinearMode);
	EXPECT_EQ (other->setKnobMode (kRelativCircularMode), kResultTrue);
	EXPECT_EQ (EditController::getHostKnobMode (), kRelativCircularMode);
	EXPECT_EQ (controller->setKnobMode (3), kInvalidArgument);
	EXPECT_EQ (controller->setKnobMode (-1), kInvalidArgument);
	EXPECT_EQ (EditController::getHostKnobMode (), kRelativCircularMode);

	EXPECT_EQ (controller->openHelp (true), kResultFalse);
	EXPECT_EQ (controller->openAboutBox (true), kResultFalse);
	controller->setKnobMode (saved);
}

TEST_F (PlugControllerTest, NoEditorYet)
{
	EXPECT_EQ (controller->createView ("editor"), nullptr);
	EXPECT_EQ (controller->createView (nullptr), nullptr);
}

TEST_F (PlugControllerTest, AboutListKeepsOrderOnRemoval)
{
	int a = 0, b = 0, c = 0;
	auto* first = reinterpret_cast<PlugController::AboutController*> (&a);
	auto* second = reinterpret_cast<PlugController::AboutController*> (&b);
	auto* stranger = reinterpret_cast<PlugController::AboutController*> (&c);

	controller->addAboutController (first);
	controller->addAboutController (second);
	controller->removeAboutController (stranger);
	EXPECT_EQ (controller->aboutList ().size (), 2u);
	controller->removeAboutController (first);
	ASSERT_EQ (controller->aboutList ().size (), 1u);
	EXPECT_EQ (controller->aboutList ()[0], second);

	// Duplicates: only the first equal entry goes.
	controller->addAboutController (first);
	controller->addAboutController (second);
	controller->removeAboutController (second);
	EXPECT_EQ (controller->aboutList (),
	           (std::vector<PlugController::AboutController*> {first, second}));
}
