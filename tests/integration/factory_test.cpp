#include "support.h"

#include "entry/plugcids.h"

#include <cstdio>
#include <cstring>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace itest {
namespace {

std::string hexOf (const FUID& uid)
{
	TUID bytes;
	uid.toTUID (bytes);
	return cidToHex (bytes);
}

TEST (ModuleLoading, ReportsMissingBundleAndSymbols)
{
	std::string error;
	EXPECT_FALSE (Module::load ("/nonexistent/Nothing.vst3", error));
	EXPECT_NE (error.find ("bundle not found"), std::string::npos) << error;

	// A file where the folder should be is not a bundle either.
	std::string file = tempPath ("plain.vst3");
	FILE* f = std::fopen (file.c_str (), "w");
	ASSERT_TRUE (f);
	std::fclose (f);
	error.clear ();
	EXPECT_FALSE (Module::load (file, error));
	EXPECT_NE (error.find ("not a directory"), std::string::npos) << error;
	std::remove (file.c_str ());

	// A folder without the shared object.
	error.clear ();
	EXPECT_FALSE (Module::load (TOLVAR_TEST_TMP, error));
	EXPECT_NE (error.find ("no shared object"), std::string::npos) << error;

	error.clear ();
	EXPECT_FALSE (Module::load (TOLVAR_TEST_BROKEN_BUNDLE, error));
	EXPECT_NE (error.find ("symbol ModuleEntry not exported"), std::string::npos) << error;
}

TEST (ModuleLoading, FactoryInformationAndClasses)
{
	auto module = loadBundle ();
	ASSERT_TRUE (module);
	FactoryDescription d;
	std::string error;
	ASSERT_TRUE (describeFactory (module->factory (), d, error)) << error;

	EXPECT_EQ (d.flags, PFactoryInfo::kUnicode);
	EXPECT_FALSE (d.vendor.empty ());
	EXPECT_FALSE (d.url.empty ());
	EXPECT_FALSE (d.email.empty ());

	ASSERT_EQ (d.classes.size (), 2u);
	const auto& p = d.classes[0];
	EXPECT_EQ (cidToHex (p.cid), hexOf (Vst::kProcessorClassId));
	EXPECT_EQ (p.name, "kw TOLVAR Hall");
	EXPECT_EQ (p.category, "Audio Module Class");
	EXPECT_EQ (p.subCategories, "Fx|Reverb");
	EXPECT_EQ (p.classFlags, 1u);
	EXPECT_EQ (p.cardinality, 2147483647);
	EXPECT_EQ (p.version, "1.0.0.1");
	EXPECT_EQ (p.sdkVersion, "VST 3.7.3");
	EXPECT_EQ (p.vendor, "");
	EXPECT_GE (p.infoLevel, 2);

	const auto& c = d.classes[1];
	EXPECT_EQ (cidToHex (c.cid), hexOf (Vst::kControllerClassId));
	EXPECT_EQ (c.name, "kw TOLVAR Hall Controller");
	EXPECT_EQ (c.category, "Component Controller Class");
	EXPECT_EQ (c.subCategories, "");
	EXPECT_EQ (c.classFlags, 0u);
	EXPECT_EQ (c.cardinality, 2147483647);
	EXPECT_EQ (c.version, "1.0.0.1");
	EXPECT_EQ (c.sdkVersion, "VST 3.7.3");
	EXPECT_EQ (c.vendor, "");
	EXPECT_NE (cidToHex (p.cid), cidToHex (c.cid));

	// The plain and the version-2 records agree with what the highest version said.
	PClassInfo plain {};
	ASSERT_EQ (module->factory ()->getClassInfo (0, &plain), kResultOk);
	EXPECT_STREQ (plain.name, "kw TOLVAR Hall");
	EXPECT_STREQ (plain.category, "Audio Module Class");
	auto f2 = queryAs<IPluginFactory2> (module->factory ());
	ASSERT_TRUE (f2);
	PClassInfo2 info2 {};
	ASSERT_EQ (f2->getClassInfo2 (1, &info2), kResultOk);
	EXPECT_STREQ (info2.name, "kw TOLVAR Hall Controller");
	EXPECT_STREQ (info2.sdkVersion, "VST 3.7.3");
}

TEST (ModuleLoading, FactoryIsSharedAndRecreatedAfterLastRelease)
{
	auto module = loadBundle ();
	ASSERT_TRUE (module);
	auto get = module->getFactoryProc ();
	IPluginFactory* a = get ();
	IPluginFactory* b = get ();
	ASSERT_TRUE (a);
	EXPECT_EQ (a, module->factory ());
	EXPECT_EQ (a, b);
	// The module's reference plus the two calls; addRef reports the new count.
	EXPECT_EQ (a->addRef (), 4u);
	EXPECT_EQ (a->release (), 3u);
	a->release ();
	b->release ();
	module->releaseFactory ();

	// Every reference gone: the next call builds and fills a new factory.
	ASSERT_TRUE (module->reacquireFactory ());
	IPluginFactory* fresh = module->factory ();
	EXPECT_EQ (fresh->addRef (), 2u);
	fresh->release ();
	FactoryDescription d;
	std::string error;
	ASSERT_TRUE (describeFactory (fresh, d, error)) << error;
	ASSERT_EQ (d.classes.size (), 2u);
	EXPECT_EQ (d.classes[0].name, "kw TOLVAR Hall");
	EXPECT_EQ (d.classes[1].name, "kw TOLVAR Hall Controller");
	EXPECT_EQ (d.classes[0].subCategories, "Fx|Reverb");

	// Instances still come out of the new factory.
	auto comp = module->create<Vst::IComponent> (d.classes[0].cid);
	EXPECT_TRUE (comp);
}

TEST (ModuleLoading, TwoModulesOfTheSameBundleCoexist)
{
	auto first = loadBundle ();
	auto second = loadBundle ();
	ASSERT_TRUE (first && second);
	// Both see the one module-wide factory.
	EXPECT_EQ (first->factory (), second->factory ());
	second.reset ();
	FactoryDescription d;
	std::string error;
	EXPECT_TRUE (describeFactory (first->factory (), d, error)) << error;
	EXPECT_EQ (d.classes.size (), 2u);
}

TEST (ModuleLoading, CreatedObjectsAnswerTheirInterfaces)
{
	auto module = loadBundle ();
	ASSERT_TRUE (module);
	TUID procCid, ctrlCid;
	Vst::kProcessorClassId.toTUID (procCid);
	Vst::kControllerClassId.toTUID (ctrlCid);

	auto comp = module->create<Vst::IComponent> (procCid);
	ASSERT_TRUE (comp);
	EXPECT_TRUE (queryAs<Vst::IAudioProcessor> (comp.get ()));
	EXPECT_TRUE (queryAs<Vst::IProcessContextRequirements> (comp.get ()));
	EXPECT_TRUE (queryAs<Vst::IConnectionPoint> (comp.get ()));
	EXPECT_FALSE (queryAs<Vst::IEditController> (comp.get ()));
	auto proc = module->create<Vst::IAudioProcessor> (procCid);
	ASSERT_TRUE (proc);
	EXPECT_TRUE (queryAs<Vst::IComponent> (proc.get ()));

	// The controller class id is answered before and after initialize.
	TUID named {};
	EXPECT_EQ (comp->getControllerClassId (named), kResultOk);
	EXPECT_EQ (cidToHex (named), cidToHex (ctrlCid));
	Ref<HostApplication> host (new HostApplication);
	ASSERT_EQ (comp->initialize (host.get ()), kResultOk);
	std::memset (named, 0, sizeof named);
	EXPECT_EQ (comp->getControllerClassId (named), kResultOk);
	EXPECT_EQ (cidToHex (named), cidToHex (ctrlCid));
	EXPECT_EQ (comp->terminate (), kResultOk);

	auto ctrl = module->create<Vst::IEditController> (ctrlCid);
	ASSERT_TRUE (ctrl);
	EXPECT_TRUE (queryAs<Vst::IEditController2> (ctrl.get ()));
	EXPECT_TRUE (queryAs<Vst::IConnectionPoint> (ctrl.get ()));
	EXPECT_FALSE (queryAs<Vst::IAudioProcessor> (ctrl.get ()));
}

TEST (ModuleLoading, FactoryRefusesBadRequests)
{
	auto module = loadBundle ();
	ASSERT_TRUE (module);
	IPluginFactory* f = module->factory ();
	TUID procCid, unknown {}, viewIid;
	Vst::kProcessorClassId.toTUID (procCid);
	IPlugView::iid.toTUID (viewIid);
	TUID compIid;
	Vst::IComponent::iid.toTUID (compIid);

	void* obj = reinterpret_cast<void*> (0x1);
	EXPECT_NE (f->createInstance (reinterpret_cast<FIDString> (unknown),
	                              reinterpret_cast<FIDString> (compIid), &obj),
	           kResultOk);
	EXPECT_EQ (obj, nullptr);
	obj = reinterpret_cast<void*> (0x1);
	// A known class asked for an interface it does not have: nothing leaks.
	EXPECT_NE (f->createInstance (reinterpret_cast<FIDString> (procCid),
	                              reinterpret_cast<FIDString> (viewIid), &obj),
	           kResultOk);
	EXPECT_EQ (obj, nullptr);

	// Null arguments are refused, not followed.
	EXPECT_NE (f->getFactoryInfo (nullptr), kResultOk);
	EXPECT_NE (f->getClassInfo (0, nullptr), kResultOk);
	EXPECT_NE (f->createInstance (nullptr, reinterpret_cast<FIDString> (compIid), &obj), kResultOk);
	EXPECT_NE (f->createInstance (reinterpret_cast<FIDString> (procCid), nullptr, &obj), kResultOk);
	EXPECT_NE (f->createInstance (reinterpret_cast<FIDString> (procCid),
	                              reinterpret_cast<FIDString> (compIid), nullptr),
	           kResultOk);

	PClassInfo info {};
	EXPECT_NE (f->getClassInfo (2, &info), kResultOk);
	EXPECT_NE (f->getClassInfo (-1, &info), kResultOk);
	auto f2 = queryAs<IPluginFactory2> (f);
	ASSERT_TRUE (f2);
	PClassInfo2 info2 {};
	EXPECT_NE (f2->getClassInfo2 (2, &info2), kResultOk);
	if (auto f3 = queryAs<IPluginFactory3> (f))
	{
		PClassInfoW w {};
		EXPECT_NE (f3->getClassInfoUnicode (5, &w), kResultOk);
	}
}

} // namespace
} // namespace itest
