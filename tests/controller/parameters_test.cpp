#include "kwparameters.h"
#include "pluginterfaces/base/ustring.h"
#include "public.sdk/source/vst/vstparameters.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using testsupport::toAscii;
using testsupport::UpdateRecorder;

namespace {

std::string text (const Parameter& p, ParamValue v)
{
	String128 s;
	std::fill (std::begin (s), std::end (s), u'#');
	p.toString (v, s);
	return toAscii (s);
}

template <typename P>
IPtr<P> make (const TChar* title, const TChar* units, double min, double max, double def,
              int32 precision)
{
	auto p = owned (new P (title, 42, units, ParameterInfo::kCanAutomate, min, max, def));
	p->setPrecision (precision);
	return p;
}

} // namespace

TEST (ParameterTest, OneStepParameterShowsOnAndOff)
{
	Parameter bypass (u"Bypass", 0, nullptr, 0., 1,
	                  ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass);
	EXPECT_EQ (text (bypass, 0.), "Off");
	EXPECT_EQ (text (bypass, 0.5), "Off");
	EXPECT_EQ (text (bypass, 0.5000001), "On");
	EXPECT_EQ (text (bypass, 1.), "On");
	EXPECT_EQ (bypass.getInfo ().flags, 65537);
	EXPECT_DOUBLE_EQ (bypass.toPlain (0.8), 0.8);
	EXPECT_DOUBLE_EQ (bypass.toNormalized (0.3), 0.3);

	Parameter continuous (u"Plain", 1);
	EXPECT_EQ (text (continuous, 0.25), "0.2500");
}

TEST (ParameterTest, SetNormalizedClampsAndNotifiesOnlyOnChange)
{
	Parameter p (u"P", 3);
	UpdateRecorder recorder;
	p.addDependent (&recorder);

	EXPECT_TRUE (p.setNormalized (0.25));
	EXPECT_FALSE (p.setNormalized (0.25));
	EXPECT_TRUE (p.setNormalized (7.));
	EXPECT_DOUBLE_EQ (p.getNormalized (), 1.);
	EXPECT_FALSE (p.setNormalized (std::numeric_limits<double>::infinity ()));
	EXPECT_TRUE (p.setNormalized (-std::numeric_limits<double>::infinity ()));
	EXPECT_DOUBLE_EQ (p.getNormalized (), 0.);
	EXPECT_FALSE (p.setNormalized (std::nan ("")));
	EXPECT_DOUBLE_EQ (p.getNormalized (), 0.);

	ASSERT_EQ (recorder.messages.size (), 3u);
	for (size_t i = 0; i < recorder.messages.size (); ++i)
	{
		EXPECT_EQ (recorder.messages[i], IDependent::kChanged);
		EXPECT_EQ (recorder.senders[i], p.unknownCast ());
	}
	p.removeDependent (&recorder);
}

TEST (ParameterTest, TextInputOfPlainParameterIsClampedToUnitRange)
{
	Parameter p (u"P", 3);
	ParamValue v = -1.;
	EXPECT_TRUE (p.fromString (u"0.3", v));
	EXPECT_DOUBLE_EQ (v, 0.3);
	EXPECT_TRUE (p.fromString (u"5", v));
	EXPECT_DOUBLE_EQ (v, 1.);
	v = 0.6;
	EXPECT_FALSE (p.fromString (u"On", v)) << "only a switch reads On and Off";
	EXPECT_FALSE (p.fromString (nullptr, v));
	EXPECT_DOUBLE_EQ (v, 0.6);
}

TEST (RangeParameterTest, EmptyRangeRefusesTextInput)
{
	RangeParameter p (u"Gain", 5, u"dB", -10., 10., 5.);
	EXPECT_DOUBLE_EQ (p.getInfo ().defaultNormalizedValue, 0.75);
	p.setMin (3.);
	p.setMax (3.);
	ParamValue v = 0.5;
	EXPECT_FALSE (p.fromString (u"3", v));
	EXPECT_DOUBLE_EQ (v, 0.5);
}

TEST (ParameterContainerTest, OwnsParametersAndRefusesDuplicateIds)
{
	ParameterContainer container;
	auto* first = container.addParameter (u"A", nullptr, 0, 0.5, ParameterInfo::kCanAutomate, 7);
	ASSERT_NE (first, nullptr);
	EXPECT_EQ (first->getRefCount (), 1);

	// Same id again: refused and freed (the sanitizer build would report a leak).
	EXPECT_EQ (container.addParameter (new Parameter (u"B", 7)), nullptr);
	EXPECT_EQ (container.addParameter (static_cast<Parameter*> (nullptr)), nullptr);

	auto* second = container.addParameter (u"C"); // tag -1 takes the count
	ASSERT_NE (second, nullptr);
	EXPECT_EQ (second->getInfo ().id, 1u);

	EXPECT_EQ (container.getParameterCount (), 2);
	EXPECT_EQ (container.getParameterByIndex (0), first);
	EXPECT_EQ (container.getParameterByIndex (1), second);
	EXPECT_EQ (container.getParameterByIndex (2), nullptr);
	EXPECT_EQ (container.getParameterByIndex (-1), nullptr);
	EXPECT_EQ (container.getParameter (7), first);
	EXPECT_EQ (container.getParameter (99), nullptr);

	container.removeAll ();
	EXPECT_EQ (container.getParameterCount (), 0);
	EXPECT_EQ (container.getParameter (7), nullptr);
}

TEST (KWRangeParameterTest, ConstructorKeepsDefaultPrecision)
{
	KWRangeParameter p (u"Mix", 2, nullptr, 1, 0., 100., 50.);
	EXPECT_EQ (p.getPrecision (), 4);
	EXPECT_EQ (p.getInfo ().units[0], 0);
	EXPECT_EQ (p.getInfo ().stepCount, 0);
	EXPECT_DOUBLE_EQ (p.getNormalized (), 0.5);
}

TEST (KWRangeParameterTest, LongTitleIsCutAndTerminated)
{
	std::u16string longTitle (300, u'x');
	std::u16string longUnits (128, u'u');
	KWRangeParameter p (longTitle.c_str (), 1, longUnits.c_str (), 1, 0., 1., 0.);
	EXPECT_EQ (strlen16 (p.getInfo ().title, 128), 127);
	EXPECT_EQ (p.getInfo ().title[127], 0);
	EXPECT_EQ (strlen16 (p.getInfo ().units, 128), 127);
	EXPECT_EQ (p.getInfo ().units[127], 0);
	EXPECT_EQ (p.getInfo ().shortTitle[0], 0); // next field untouched

	// A title without terminator is read no further than the units that fit.
	TChar raw[128];
	std::fill (std::begin (raw), std::end (raw), u'y');
	KWExpRangeParameter q (raw, 2, raw, 1, 1., 2., 1.);
	EXPECT_EQ (strlen16 (q.getInfo ().title, 128), 127);
	EXPECT_EQ (strlen16 (q.getInfo ().units, 128), 127);
}

TEST (KWRangeParameterTest, LinearTexts)
{
	auto level = make<KWRangeParameter> (u"Level", u"dB", -36., 12., 0., 2);
	EXPECT_EQ (text (*level, 0.75), "0.00");
	EXPECT_EQ (text (*level, 0.), "-36.00");
	EXPECT_EQ (text (*level, 1.), "12.00");
	EXPECT_EQ (text (*level, 0.5), "-12.00");

	auto mix = make<KWRangeParameter> (u"Mix", u"%", 0., 100., 50., 0);
	EXPECT_EQ (text (*mix, mix->getInfo ().defaultNormalizedValue), "50");
	EXPECT_EQ (text (*mix, 0.556), "56");
}

TEST (KWRangeParameterTest, NearZeroPrintsWithoutSign)
{
	auto p = make<KWRangeParameter> (u"Bal", nullptr, -1., 1., 0., 2);
	EXPECT_NEAR (p->toPlain (0.49999), -0.00002, 1e-12);
	EXPECT_EQ (text (*p, 0.49999), "0.00");
	EXPECT_EQ (text (*p, 0.50001), "0.00");

	// Above the threshold the sign stays.
	p->setPrecision (4);
	EXPECT_EQ (text (*p, 0.49995), "-0.0001");
	EXPECT_EQ (text (*p, 0.49999), "0.0000");
}

TEST (KWRangeParameterTest, UnprintableValueGivesEmptyText)
{
	auto level = make<KWRangeParameter> (u"Level", u"dB", -36., 12., 0., 2);
	EXPECT_EQ (text (*level, 1e300), "");
	EXPECT_EQ (text (*level, -std::numeric_limits<double>::infinity ()), "-inf");
	level->toString (0.5, nullptr); // no buffer: nothing happens
}

TEST (KWExpRangeParameterTest, ExponentialMappingAndDefaults)
{
	struct Case
	{
		const TChar* title;
		double min, max, def, normalized;
		int32 precision;
		const char* defaultText;
	};
	const Case cases[] = {
	    {u"Predelay", 1., 250., 20., 0.542562, 1, "20.0"},
	    {u"Rvb Time", 0.6, 8., 1.6, 0.378659, 2, "1.60"},
	    {u"Size", 1000., 20000., 10000., 0.768622, 0, "10000"},
	    {u"LPCut", 500., 16000., 2500., 0.464386, 0, "2500"},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE (toAscii (c.title));
		auto p = make<KWExpRangeParameter> (c.title, nullptr, c.min, c.max, c.def, c.precision);
		EXPECT_NEAR (p->getInfo ().defaultNormalizedValue, c.normalized, 5e-7);
		EXPECT_DOUBLE_EQ (p->getNormalized (), p->getInfo ().defaultNormalizedValue);
		EXPECT_EQ (text (*p, p->getNormalized ()), c.defaultText);
		EXPECT_NEAR (p->toPlain (0.), c.min, c.min * 1e-12);
		EXPECT_NEAR (p->toPlain (1.), c.max, c.max * 1e-12);
		EXPECT_NEAR (p->toPlain (0.5), std::sqrt (c.min * c.max), c.max * 1e-12);
		EXPECT_NEAR (p->toNormalized (p->toPlain (0.3)), 0.3, 1e-12);
	}

	auto lpcut = make<KWExpRangeParameter> (u"LPCut", u"Hz", 500., 16000., 2500., 0);
	EXPECT_EQ (text (*lpcut, 0.), "500");
	EXPECT_EQ (text (*lpcut, 1.), "16000");
	// No clamping in the mapping itself.
	EXPECT_NEAR (lpcut->toPlain (-1.), 500. / 32., 1e-9);
}

TEST (KWExpRangeParameterTest, TextInputIsLimitedToRange)
{
	auto predelay = make<KWExpRangeParameter> (u"Predelay", u"ms", 1., 250., 20., 1);
	ParamValue v = -1.;
	EXPECT_TRUE (predelay->fromString (u"300", v));
	EXPECT_DOUBLE_EQ (v, 1.);
	EXPECT_TRUE (predelay->fromString (u"0", v));
	EXPECT_DOUBLE_EQ (v, 0.);
	EXPECT_TRUE (predelay->fromString (u"-5", v));
	EXPECT_DOUBLE_EQ (v, 0.);
	EXPECT_TRUE (predelay->fromString (u"20", v));
	EXPECT_NEAR (v, 0.542562, 5e-7);

	v = 0.25;
	EXPECT_FALSE (predelay->fromString (u"", v));
	EXPECT_FALSE (predelay->fromString (u"twenty", v));
	EXPECT_FALSE (predelay->fromString (u"NaN", v));
	EXPECT_DOUBLE_EQ (v, 0.25);

	// setMin/setMax take effect through the virtual accessors.
	predelay->setMax (16.);
	EXPECT_NEAR (predelay->toPlain (0.5), 4., 1e-12);
}
