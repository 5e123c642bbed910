// Loading the bundle: entry points, factory versions, class information, the interfaces
// each object answers and reference counts.
#include "support.h"

#include "plugcids.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace itest {
namespace {

// Optional interfaces a host probes for and that this plug-in does not implement.
const FUID kAudioPresentationLatencyIid (0x309ECE78, 0xEB7D4FAE, 0x8B2225D9, 0x09FD08B6);
const FUID kProgressIid (0x00C9DC5B, 0x9D904254, 0x91A388C8, 0xB4E91B69);

std::string hexOf (const FUID& uid)
{
	TUID bytes;
	uid.toTUID (bytes);
	return cidToHex (bytes);
}

bool nulTerminated (const char* s, size_t size) { return std::memchr (s, 0, size) != nullptr; }

std::string narrow (const char16* s)
{
	EXPECT_TRUE (std::char_traits<char16_t>::find (reinterpret_cast<const char16_t*> (s), 64, 0)) << "unterminated";
	return toUtf8 (reinterpret_cast<const char16_t*> (s), 64);
}

// Queries iid; checks the pointer is null exactly when the answer is not kResultOk.
bool answers (FUnknown* obj, const FUID& iid)
{
	void* out = reinterpret_cast<void*> (0x1);
	const tresult r = obj->queryInterface (iid.toTUID (), &out);
	if (r != kResultOk)
	{
		EXPECT_EQ (r, kNoInterface);
		EXPECT_EQ (out, nullptr);
		return false;
	}
	EXPECT_NE (out, nullptr);
	static_cast<FUnknown*> (out)->release ();
	return true;
}

FUnknown* identity (FUnknown* obj)
{
	void* out = nullptr;
	if (obj->queryInterface (FUnknown::iid.toTUID (), &out) != kResultOk)
		return nullptr;
	auto* unknown = static_cast<FUnknown*> (out);
	unknown->release ();
	return unknown;
}

TEST (ModuleLoading, ReportsMissingBundleAndSymbols)
{
	// A file where the folder should be is not a bundle either.
	const std::string file = tempPath ("plain.vst3");
	FILE* f = std::fopen (file.c_str (), "w");
	ASSERT_TRUE (f);
	std::fclose (f);
	const std::pair<std::string, const char*> cases[] = {{"/nonexistent/Nothing.vst3", "bundle not found"},
	                                                     {file, "not a directory"},
	                                                     {TOLVAR_TEST_TMP, "no shared object"},
	                                                     {TOLVAR_TEST_BROKEN_BUNDLE, "symbol ModuleEntry not exported"}};
	for (const auto& c : cases)
	{
		std::string error;
		EXPECT_FALSE (Module::load (c.first, error)) << c.first;
		EXPECT_NE (error.find (c.second), std::string::npos) << error;
	}
	std::remove (file.c_str ());
}

TEST (ModuleConformance, BundleLayoutAndEntryPoints)
{
	const std::string bundle = TOLVAR_TEST_BUNDLE;
	const size_t slash = bundle.find_last_of ('/');
	const std::string stem = bundle.substr (slash + 1, bundle.size () - slash - 6);
	EXPECT_EQ (bundle.substr (bundle.size () - 5), ".vst3");
	EXPECT_EQ (stem.find ('.'), std::string::npos) << "a dot in the name breaks the host's file name rule";
	struct stat st {};
	EXPECT_EQ (::stat ((bundle + "/Contents/Resources").c_str (), &st), 0);
	EXPECT_TRUE (S_ISDIR (st.st_mode));

	auto module = loadBundle ();
	ASSERT_TRUE (module);
	EXPECT_EQ (module->sharedObjectPath (), bundle + "/Contents/x86_64-linux/" + stem + ".so");

	// The entry points are plain C symbols; entry and exit may be called by several loaders.
	void* handle = ::dlopen (module->sharedObjectPath ().c_str (), RTLD_LAZY | RTLD_NOLOAD);
	ASSERT_TRUE (handle);
	auto entry = reinterpret_cast<bool (*) (void*)> (::dlsym (handle, "ModuleEntry"));
	auto exit = reinterpret_cast<bool (*) ()> (::dlsym (handle, "ModuleExit"));
	ASSERT_TRUE (entry && exit);
	EXPECT_TRUE (entry (handle));
	EXPECT_TRUE (exit ());
	// Nothing but the entry points is visible from outside.
	EXPECT_EQ (::dlsym (handle, "gPluginFactory"), nullptr);
	::dlclose (handle);
}

// What each of the three factory versions tells a host, that they agree, and the objects made.
TEST (ModuleConformance, FactoryAndClassInformation)
{
	auto module = loadBundle ();
	ASSERT_TRUE (module);
	IPluginFactory* f1 = module->factory ();
	auto f2 = queryAs<IPluginFactory2> (f1);
	auto f3 = queryAs<IPluginFactory3> (f1);
	ASSERT_TRUE (f2 && f3);
	PFactoryInfo fi {};
	ASSERT_EQ (f1->getFactoryInfo (&fi), kResultOk);
	EXPECT_EQ (fi.flags, PFactoryInfo::kUnicode);
	EXPECT_TRUE (nulTerminated (fi.vendor, sizeof fi.vendor) && nulTerminated (fi.url, sizeof fi.url) &&
	             nulTerminated (fi.email, sizeof fi.email));
	EXPECT_TRUE (fi.vendor[0] && fi.url[0] && fi.email[0]);
	// A host may hand over its context; the answer is not an error the host acts on.
	Ref<HostApplication> host (new HostApplication);
	const tresult ctx = f3->setHostContext (static_cast<IHostApplication*> (host.get ()));
	EXPECT_TRUE (ctx == kResultOk || ctx == kNotImplemented);

	struct Expect
	{
		std::string cid;
		const char *name, *category, *subCategories;
		uint32 flags;
	};
	const Expect expect[2] = {
	    {hexOf (kProcessorClassId), "kw TOLVAR Hall", "Audio Module Class", "Fx|Reverb", 1},
	    {hexOf (kControllerClassId), "kw TOLVAR Hall Controller", "Component Controller Class", "", 0}};
	EXPECT_NE (expect[0].cid, expect[1].cid);
	ASSERT_EQ (f1->countClasses (), 2);
	for (int32 i = 0; i < 2; ++i)
	{
		SCOPED_TRACE (i);
		PClassInfo c1 {};
		PClassInfo2 c2 {};
		PClassInfoW cw {};
		ASSERT_EQ (f1->getClassInfo (i, &c1), kResultOk);
		ASSERT_EQ (f2->getClassInfo2 (i, &c2), kResultOk);
		ASSERT_EQ (f3->getClassInfoUnicode (i, &cw), kResultOk);
		EXPECT_TRUE (nulTerminated (c1.category, sizeof c1.category) && nulTerminated (c1.name, sizeof c1.name));
		EXPECT_TRUE (nulTerminated (c2.subCategories, sizeof c2.subCategories) &&
		             nulTerminated (c2.version, sizeof c2.version) && nulTerminated (c2.sdkVersion, sizeof c2.sdkVersion));
		EXPECT_EQ (cidToHex (c1.cid), expect[i].cid);
		EXPECT_STREQ (c1.name, expect[i].name);
		EXPECT_STREQ (c1.category, expect[i].category);
		EXPECT_EQ (c1.cardinality, PClassInfo::kManyInstances);
		EXPECT_STREQ (c2.subCategories, expect[i].subCategories);
		EXPECT_EQ (c2.classFlags, expect[i].flags);
		EXPECT_STREQ (c2.vendor, "");
		EXPECT_STREQ (c2.version, TOLVAR_TEST_PROJECT_VERSION);
		EXPECT_STREQ (c2.sdkVersion, "VST 3.7.3");

		EXPECT_EQ (std::memcmp (c1.cid, c2.cid, 16), 0);
		EXPECT_EQ (std::memcmp (c1.cid, cw.cid, 16), 0);
		EXPECT_EQ (c2.cardinality, c1.cardinality);
		EXPECT_EQ (cw.cardinality, c1.cardinality);
		EXPECT_STREQ (c2.name, c1.name);
		EXPECT_STREQ (c2.category, c1.category);
		EXPECT_STREQ (cw.category, c1.category);
		EXPECT_EQ (narrow (cw.name), c1.name);
		EXPECT_EQ (cw.classFlags, c2.classFlags);
		EXPECT_STREQ (cw.subCategories, c2.subCategories);
		EXPECT_EQ (narrow (cw.vendor), c2.vendor);
		EXPECT_EQ (narrow (cw.version), c2.version);
		EXPECT_EQ (narrow (cw.sdkVersion), c2.sdkVersion);

		// Every class can be made; a new object carries exactly the caller's reference (a full
		// life with a peer leaves none behind: checked with the connection points).
		void* obj = nullptr;
		ASSERT_EQ (f1->createInstance (reinterpret_cast<FIDString> (c1.cid),
		                               reinterpret_cast<FIDString> (FUnknown::iid.toTUID ()), &obj),
		           kResultOk);
		auto* unknown = static_cast<FUnknown*> (obj);
		EXPECT_EQ (unknown->addRef (), 2u);
		void* second = nullptr;
		ASSERT_EQ (unknown->queryInterface (IConnectionPoint::iid.toTUID (), &second), kResultOk);
		EXPECT_EQ (static_cast<FUnknown*> (second)->release (), 2u);
		EXPECT_EQ (unknown->release (), 1u);
		EXPECT_EQ (unknown->release (), 0u);
	}
}

TEST (ModuleConformance, FactoryIsSharedAndRecreatedAfterLastRelease)
{
	auto module = loadBundle ();
	auto second = loadBundle ();
	ASSERT_TRUE (module && second);
	// Two loads of one bundle see the one module-wide factory; dropping one keeps it.
	EXPECT_EQ (module->factory (), second->factory ());
	second.reset ();

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
	EXPECT_EQ (fresh->countClasses (), 2);
	TUID cid;
	kProcessorClassId.toTUID (cid);
	EXPECT_TRUE (module->create<IComponent> (cid));
}

TEST (ModuleConformance, ObjectsAnswerExactlyTheirInterfaces)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	struct Row
	{
		FUnknown* object;
		std::vector<const FUID*> yes, no;
	};
	const Row rows[] = {
	    {b.component.get (),
	     {&FUnknown::iid, &IPluginBase::iid, &IComponent::iid, &IAudioProcessor::iid,
	      &IProcessContextRequirements::iid, &IConnectionPoint::iid},
	     {&IEditController::iid, &IEditController2::iid, &IUnitInfo::iid, &IMidiMapping::iid, &IPlugView::iid,
	      &IPluginFactory::iid, &IBStream::iid, &IMessage::iid, &kAudioPresentationLatencyIid, &kProgressIid}},
	    {b.controller.get (),
	     {&FUnknown::iid, &IPluginBase::iid, &IEditController::iid, &IEditController2::iid, &IConnectionPoint::iid},
	     {&IComponent::iid, &IAudioProcessor::iid, &IProcessContextRequirements::iid, &IUnitInfo::iid,
	      &IMidiMapping::iid, &IPlugView::iid, &IEditControllerHostEditing::iid, &kProgressIid}}};
	for (const Row& row : rows)
	{
		for (const FUID* iid : row.yes)
		{
			EXPECT_TRUE (answers (row.object, *iid)) << iid->getLong1 ();
			// Every interface of the object leads back to the same identity.
			void* out = nullptr;
			ASSERT_EQ (row.object->queryInterface (iid->toTUID (), &out), kResultOk);
			EXPECT_EQ (identity (static_cast<FUnknown*> (out)), identity (row.object));
			static_cast<FUnknown*> (out)->release ();
		}
		for (const FUID* iid : row.no)
			EXPECT_FALSE (answers (row.object, *iid)) << iid->getLong1 ();
		// A null out pointer is refused, not written.
		EXPECT_NE (row.object->queryInterface (IPluginBase::iid.toTUID (), nullptr), kResultOk);
	}

	// The controller class id is answered before and after initialize, also through a queried
	// base interface.
	TUID named {};
	EXPECT_EQ (b.component->getControllerClassId (named), kResultOk);
	EXPECT_EQ (cidToHex (named), hexOf (kControllerClassId));
	auto base = queryAs<IPluginBase> (b.component.get ());
	ASSERT_EQ (base->initialize (static_cast<IHostApplication*> (b.host.get ())), kResultOk);
	EXPECT_EQ (b.component->getBusCount (kAudio, kOutput), 1);
	std::memset (named, 0, sizeof named);
	EXPECT_EQ (b.component->getControllerClassId (named), kResultOk);
	EXPECT_EQ (cidToHex (named), hexOf (kControllerClassId));
	EXPECT_EQ (base->terminate (), kResultOk);
}

} // namespace
} // namespace itest
