#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;

TEST(FUID, InterfaceIdBytesAreTheFourWordsBigEndian)
{
	const uint8 expected[16] = {0xE8, 0x31, 0xFF, 0x31, 0xF2, 0xD5, 0x43, 0x01,
	                            0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
	EXPECT_EQ(0, std::memcmp(Vst::IComponent::iid.toTUID(), expected, 16));

	const TUID inlined = INLINE_UID(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
	EXPECT_EQ(0, std::memcmp(inlined, expected, 16));
	EXPECT_TRUE(FUnknownPrivate::iidEqual(inlined, Vst::IComponent::iid));
	EXPECT_FALSE(FUnknownPrivate::iidEqual(inlined, Vst::IAudioProcessor::iid));
	EXPECT_FALSE(FUnknownPrivate::iidEqual(inlined, nullptr));
}

TEST(FUID, TextAndTuidReadBack)
{
	// Writing text is checked with every interface id (abi_test), the words through the
	// bundle's class ids; here reading text and bytes back.
	const FUID id(0x01234567, 0x89ABCDEF, 0xFEDCBA98, 0x76543210);
	FUID parsed;
	EXPECT_FALSE(parsed.isValid());
	ASSERT_TRUE(parsed.fromString("0123456789abcdefFEDCBA9876543210"));
	EXPECT_EQ(id, parsed);

	// Wrong length or a non-hex digit leaves the FUID unchanged.
	EXPECT_FALSE(parsed.fromString("0123456789ABCDEFFEDCBA987654321"));
	EXPECT_FALSE(parsed.fromString("0123456789ABCDEFFEDCBA98765432100"));
	EXPECT_FALSE(parsed.fromString("0123456789ABCDEFFEDCBA98765432G0"));
	EXPECT_EQ(id, parsed);

	TUID raw;
	id.toTUID(raw);
	EXPECT_EQ(id, FUID::fromTUID(raw));
	EXPECT_NE(id, FUID(0x01234567, 0x89ABCDEF, 0xFEDCBA98, 0x76543211));
}
