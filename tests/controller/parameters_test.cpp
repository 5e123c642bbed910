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

TEST (ParameterTest, PlainParameterTextsAndInputClampedToUnitRange)
{
	Parameter p (u"P", 3);
	EXPECT_EQ (text (p, 0.25), "0.2500");
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

	// Indices and ids outside the list, and emptying it, are checked through the controller.
	EXPECT_EQ (container.getParameterCount (), 2);
	EXPECT_EQ (container.getParameterByIndex (0), first);
	EXPECT_EQ (container.getParameterByIndex (1), second);
	EXPECT_EQ (container.getParameter (7), first);
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

// Plain values next to zero print without a sign, below a fixed threshold only; values that
// do not fit the text give an empty one. The nine parameters' texts are checked through the bundle.
TEST (KWRangeParameterTest, TextsNearZeroAndUnprintable)
{
	const struct
	{
		double min, max;
		int32 precision;
		double v;
		const char* text;
	} cases[] = {
	    {-1., 1., 2, 0.49999, "0.00"},     {-1., 1., 2, 0.50001, "0.00"}, {-1., 1., 4, 0.49995, "-0.0001"},
	    {-1., 1., 4, 0.49999, "0.0000"},   {-36., 12., 2, 1e300, ""},
	    {-36., 12., 2, -std::numeric_limits<double>::infinity (), "-36.00"},
	};
	for (const auto& c : cases)
	{
		auto p = make<KWRangeParameter> (u"Bal", nullptr, c.min, c.max, 0., c.precision);
		EXPECT_EQ (text (*p, c.v), c.text) << c.v << " at precision " << c.precision;
		p->toString (0.5, nullptr); // no buffer: nothing happens
	}
}

// The mapping itself is not clamped and follows later range changes.
TEST (KWExpRangeParameterTest, MappingIsUnclampedAndFollowsTheRange)
{
	auto lpcut = make<KWExpRangeParameter> (u"LPCut", u"Hz", 500., 16000., 2500., 0);
	EXPECT_NEAR (lpcut->toPlain (-1.), 500. / 32., 1e-9);
	EXPECT_NEAR (lpcut->toNormalized (lpcut->toPlain (1.5)), 1.5, 1e-12);
	lpcut->setMax (2000.);
	EXPECT_NEAR (lpcut->toPlain (0.5), 1000., 1e-9);
}
