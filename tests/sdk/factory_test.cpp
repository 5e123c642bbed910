#include "public.sdk/source/main/pluginfactory.h"
#include "pluginterfaces/base/ibstream.h"
#include "public.sdk/source/vst/vstaudioeffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

extern "C" bool ModuleEntry(void*);
extern "C" bool ModuleExit(void);

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

int liveEffects = 0;

class CountedEffect : public AudioEffect
{
public:
	CountedEffect() { ++liveEffects; }
	~CountedEffect() override { --liveEffects; }
	static FUnknown* create(void* context)
	{
		lastContext = context;
		return static_cast<IAudioProcessor*>(new CountedEffect);
	}
	static void* lastContext;
};
void* CountedEffect::lastContext = nullptr;

const FUID kEffectCid(0xA1A2A3A4, 0xB1B2B3B4, 0xC1C2C3C4, 0xD1D2D3D4);
const FUID kOtherCid(0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10);

CPluginFactory* makeFactory()
{
	PFactoryInfo fi("vendor", "https://www.example.com", "mailto:info@example.com", PFactoryInfo::kUnicode);
	auto* f = new CPluginFactory(fi);
	PClassInfo2 ci(kEffectCid, PClassInfo::kManyInstances, kVstAudioEffectClass, "Effect", kDistributable,
	               "Fx|Reverb", nullptr, "1.0.0.1", kVstVersionString);
	EXPECT_TRUE(f->registerClass(&ci, CountedEffect::create, &liveEffects));
	const char16 wideName[] = u"Caf\u00e9 \U0001F3B5";
	PClassInfoW wi(kOtherCid, 1, "Other", wideName, 0, "", u"", u"2.0", u"VST 3.7.3");
	EXPECT_TRUE(f->registerClass(&wi, CountedEffect::create, nullptr));
	return f;
}

} // namespace

// The real factory's fields and their 16-bit forms are checked through the built bundle; here
// what it does not show: 16-bit text to UTF-8, duplicate classes, exact result codes and the
// context handed on.
TEST(CPluginFactory, ConvertsTextAndRefusesBadRequests)
{
	CPluginFactory* f = makeFactory();
	// A class registered with 16-bit text reads back as UTF-8 in the 8-bit forms.
	PClassInfoW ciw;
	PClassInfo2 ci2;
	ASSERT_EQ(kResultOk, f->getClassInfo2(1, &ci2));
	EXPECT_EQ(kOtherCid, FUID::fromTUID(ci2.cid));
	EXPECT_STREQ("Caf\xC3\xA9 \xF0\x9F\x8E\xB5", ci2.name);
	EXPECT_STREQ("2.0", ci2.version);

	PClassInfo ci1;
	EXPECT_EQ(kInvalidArgument, f->getClassInfo(2, &ci1));
	EXPECT_EQ(kInvalidArgument, f->getClassInfo2(-1, &ci2));
	EXPECT_EQ(kInvalidArgument, f->getClassInfoUnicode(2, &ciw));
	EXPECT_EQ(kInvalidArgument, f->getClassInfo(-1, &ci1));
	EXPECT_EQ(kInvalidArgument, f->getClassInfo(0, nullptr));
	EXPECT_EQ(kInvalidArgument, f->getFactoryInfo(nullptr));
	EXPECT_EQ(kNotImplemented, f->setHostContext(nullptr));
	// The same class id is not registered twice.
	PClassInfo dup(kEffectCid, 1, "x", "y");
	EXPECT_FALSE(f->registerClass(&dup, CountedEffect::create));
	EXPECT_FALSE(f->registerClass(static_cast<PClassInfo*>(nullptr), CountedEffect::create));
	EXPECT_EQ(2, f->countClasses());

	TUID cid, comp, stream, other;
	kEffectCid.toTUID(cid);
	IComponent::iid.toTUID(comp);
	IBStream::iid.toTUID(stream);
	FUID(1, 2, 3, 4).toTUID(other);
	void* obj = nullptr;
	ASSERT_EQ(kResultOk, f->createInstance(cid, comp, &obj));
	EXPECT_EQ(1, liveEffects);
	EXPECT_EQ(&liveEffects, CountedEffect::lastContext);
	EXPECT_EQ(0u, static_cast<IComponent*>(obj)->release()); // the caller held the only reference
	obj = reinterpret_cast<void*>(1);
	EXPECT_EQ(kNoInterface, f->createInstance(cid, stream, &obj));
	EXPECT_EQ(nullptr, obj);
	EXPECT_EQ(0, liveEffects); // the refused instance is gone again
	EXPECT_EQ(kNoInterface, f->createInstance(other, comp, &obj));
	EXPECT_EQ(kInvalidArgument, f->createInstance(nullptr, comp, &obj));
	EXPECT_EQ(kInvalidArgument, f->createInstance(cid, nullptr, &obj));
	EXPECT_EQ(kInvalidArgument, f->createInstance(cid, comp, nullptr));

	void* f3 = nullptr;
	ASSERT_EQ(kResultOk, f->queryInterface(IPluginFactory3::iid, &f3));
	EXPECT_EQ(static_cast<IPluginFactory3*>(f), f3);
	EXPECT_EQ(1u, f->release());
	EXPECT_EQ(0u, f->release());
}

// The bundle's factory is rebuilt once its last reference goes; another factory going leaves
// the module's pointer alone.
TEST(CPluginFactory, DestructionEmptiesTheModulePointerOnlyForItself)
{
	ASSERT_EQ(nullptr, gPluginFactory);
	gPluginFactory = makeFactory();
	makeFactory()->release();
	EXPECT_NE(nullptr, gPluginFactory);
	gPluginFactory->release();
	EXPECT_EQ(nullptr, gPluginFactory);
}

TEST(ModuleEntry, EntryAndExitAreCounted)
{
	EXPECT_FALSE(ModuleExit()); // never entered
	int handle = 0;
	EXPECT_TRUE(ModuleEntry(&handle));
	EXPECT_TRUE(ModuleEntry(&handle));
	EXPECT_TRUE(ModuleExit());
	EXPECT_TRUE(ModuleExit());
	EXPECT_FALSE(ModuleExit());
}
