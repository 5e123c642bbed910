#include "pluginterfaces/base/ustring.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using namespace Steinberg;
using testsupport::toAscii;

TEST (UStringTest, AssignCutsToBufferAndAlwaysTerminates)
{
	char16 buffer[8];
	std::fill (std::begin (buffer), std::end (buffer), u'#');
	UString text (buffer, 5);
	text.assign (u"abcdefgh");
	EXPECT_EQ (toAscii (buffer), "abcd");
	EXPECT_EQ (text.getLength (), 4);
	EXPECT_EQ (buffer[5], u'#'); // nothing written past the given size

	text.assign (u"xyz", 2);
	EXPECT_EQ (toAscii (buffer), "xy");
	text.append (u"123");
	EXPECT_EQ (toAscii (buffer), "xy12");

	text.assign (static_cast<const char16*> (nullptr));
	EXPECT_EQ (text.getLength (), 0);

	buffer[0] = u'#';
	UString empty (buffer, 0);
	empty.assign (u"abc"); // no room, not even for the terminator
	EXPECT_FALSE (empty.printFloat (1.));
	EXPECT_EQ (buffer[0], u'#');
}

TEST (UStringTest, PrintFloatRoundsToPrecisionAndFailsCleanly)
{
	UString128 text;
	EXPECT_TRUE (text.printFloat (2.345, 2));
	EXPECT_EQ (toAscii (text), "2.35");
	EXPECT_TRUE (text.printFloat (49.5, 0));
	EXPECT_EQ (toAscii (text), "50");
	EXPECT_TRUE (text.printFloat (-0.00002, 2));
	EXPECT_EQ (toAscii (text), "-0.00");
	EXPECT_TRUE (text.printFloat (1.0));
	EXPECT_EQ (toAscii (text), "1.0000");

	// 1e200 needs 201 digits: does not fit 128 units, buffer left empty.
	EXPECT_FALSE (text.printFloat (1e200, 2));
	EXPECT_EQ (text.getLength (), 0);

	// Five characters and the terminator fill six units; six do not fit.
	char16 small[6];
	UString fit (small, 6);
	EXPECT_TRUE (fit.printFloat (12.25, 2));
	EXPECT_EQ (toAscii (small), "12.25");
	EXPECT_FALSE (fit.printFloat (123.25, 2));
	EXPECT_EQ (small[0], 0);
}

TEST (UStringTest, ScanFloatReadsLeadingNumberOnly)
{
	double v = -1.;
	EXPECT_TRUE (UString128 ("  3.5").scanFloat (v));
	EXPECT_DOUBLE_EQ (v, 3.5);
	EXPECT_TRUE (UString128 ("40 ms").scanFloat (v));
	EXPECT_DOUBLE_EQ (v, 40.);
	EXPECT_TRUE (UString128 ("-1e3").scanFloat (v));
	EXPECT_DOUBLE_EQ (v, -1000.);

	// Empty, word and "nan" texts are refused through the controller's text input.
	v = 7.;
	EXPECT_FALSE (UString128 ("-").scanFloat (v));
	EXPECT_DOUBLE_EQ (v, 7.); // untouched on refusal

	// An unterminated buffer is read no further than its size.
	char16 raw[3] = {u'1', u'2', u'3'};
	EXPECT_TRUE (UString (raw, 2).scanFloat (v));
	EXPECT_DOUBLE_EQ (v, 12.);
}

// Hosts may set a process locale with a decimal comma; value texts and text
// input keep the '.' all the same.
TEST (UStringTest, NumbersIgnoreTheProcessLocale)
{
	struct LocaleGuard
	{
		std::string saved = std::setlocale (LC_ALL, nullptr);
		~LocaleGuard () { std::setlocale (LC_ALL, saved.c_str ()); }
	} guard;

	bool comma = false;
	for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
	{
		if (std::setlocale (LC_ALL, name) && std::localeconv ()->decimal_point[0] == ',')
		{
			comma = true;
			break;
		}
	}
	if (!comma)
		GTEST_SKIP () << "no locale with a decimal comma available";

	UString128 text;
	EXPECT_TRUE (text.printFloat (-36., 2));
	EXPECT_EQ (toAscii (text), "-36.00");
	EXPECT_TRUE (text.printFloat (0.5, 1));
	EXPECT_EQ (toAscii (text), "0.5");

	double v = 0.;
	EXPECT_TRUE (UString128 ("20.5").scanFloat (v));
	EXPECT_DOUBLE_EQ (v, 20.5);
	EXPECT_TRUE (UString128 ("1e3").scanFloat (v));
	EXPECT_DOUBLE_EQ (v, 1000.);
}
