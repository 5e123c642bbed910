// Module entry, factory versions, class information and the interfaces each object answers.
#include "bench.h"

#include "pluginterfaces/base/iupdatehandler.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>
#include <set>
#include <string>

namespace conformance {
namespace {

// Optional interfaces a host probes for and that this plug-in does not implement.
const FUID kAudioPresentationLatencyIid (0x309ECE78, 0xEB7D4FAE, 0x8B2225D9, 0x09FD08B6);
const FUID kProgressIid (0x00C9DC5B, 0x9D904254, 0x91A388C8, 0xB4E91B69);

bool nulTerminated (const char* s, size_t size)
{
	return std::memchr (s, 0, size) != nullptr;
}

bool nulTerminated16 (const char16* s, size_t size)
{
	for (size_t i = 0; i < size; ++i)
		if (s[i] == 0)
			return true;
	return false;
}

std::string narrow (const char16* s, size_t size)
{
	return toUtf8 (reinterpret_cast<const char16_t*> (s), size);
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

	auto module = loadModule ();
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

	// The factory stays usable after another loader's entry/exit pair.
	EXPECT_EQ (module->factory ()->countClasses (), 2);
}

TEST (ModuleConformance, ClassInfoAgreesAcrossFactoryVersions)
{
	auto module = loadModule ();
	ASSERT_TRUE (module);
	IPluginFactory* f1 = module->factory ();
	auto f2 = queryAs<IPluginFactory2> (f1);
	auto f3 = queryAs<IPluginFactory3> (f1);
	ASSERT_TRUE (f2 && f3);

	PFactoryInfo fi {};
	ASSERT_EQ (f1->getFactoryInfo (&fi), kResultOk);
	EXPECT_TRUE (nulTerminated (fi.vendor, sizeof fi.vendor) && nulTerminated (fi.url, sizeof fi.url) &&
	             nulTerminated (fi.email, sizeof fi.email));
	EXPECT_GT (std::strlen (fi.vendor), 0u);
	EXPECT_EQ (fi.flags, kDefaultFactoryFlags);
	// A host may hand over its context; the answer is not an error the host acts on.
	Ref<HostApplication> host (new HostApplication);
	const tresult ctx = f3->setHostContext (static_cast<IHostApplication*> (host.get ()));
	EXPECT_TRUE (ctx == kResultOk || ctx == kNotImplemented);

	const int32 count = f1->countClasses ();
	ASSERT_EQ (count, 2);
	std::set<std::string> cids;
	for (int32 i = 0; i < count; ++i)
	{
		SCOPED_TRACE (i);
		PClassInfo c1 {};
		PClassInfo2 c2 {};
		PClassInfoW cw {};
		ASSERT_EQ (f1->getClassInfo (i, &c1), kResultOk);
		ASSERT_EQ (f2->getClassInfo2 (i, &c2), kResultOk);
		ASSERT_EQ (f3->getClassInfoUnicode (i, &cw), kResultOk);
		EXPECT_EQ (std::memcmp (c1.cid, c2.cid, 16), 0);
		EXPECT_EQ (std::memcmp (c1.cid, cw.cid, 16), 0);
		EXPECT_EQ (c1.cardinality, PClassInfo::kManyInstances);
		EXPECT_EQ (c2.cardinality, c1.cardinality);
		EXPECT_EQ (cw.cardinality, c1.cardinality);
		EXPECT_TRUE (nulTerminated (c1.category, sizeof c1.category) && nulTerminated (c1.name, sizeof c1.name));
		EXPECT_TRUE (nulTerminated (c2.subCategories, sizeof c2.subCategories) &&
		             nulTerminated (c2.version, sizeof c2.version) &&
		             nulTerminated (c2.sdkVersion, sizeof c2.sdkVersion));
		EXPECT_TRUE (nulTerminated16 (cw.name, 64) && nulTerminated16 (cw.vendor, 64) &&
		             nulTerminated16 (cw.version, 64) && nulTerminated16 (cw.sdkVersion, 64));
		EXPECT_STREQ (c2.category, c1.category);
		EXPECT_STREQ (cw.category, c1.category);
		EXPECT_STREQ (c2.name, c1.name);
		EXPECT_EQ (narrow (cw.name, 64), c1.name);
		EXPECT_EQ (cw.classFlags, c2.classFlags);
		EXPECT_STREQ (cw.subCategories, c2.subCategories);
		EXPECT_EQ (narrow (cw.vendor, 64), c2.vendor);
		EXPECT_EQ (narrow (cw.version, 64), c2.version);
		EXPECT_EQ (narrow (cw.sdkVersion, 64), c2.sdkVersion);
		EXPECT_STREQ (c2.sdkVersion, kVstVersionString);
		EXPECT_GT (std::strlen (c1.name), 0u);
		// Sub-categories split at '|' into non-empty tokens.
		const std::string sub = c2.subCategories;
		EXPECT_EQ (sub.find ("||"), std::string::npos);
		if (!sub.empty ())
		{
			EXPECT_TRUE (sub.front () != '|' && sub.back () != '|');
		}
		EXPECT_TRUE (cids.insert (cidToHex (c1.cid)).second) << "class ids are unique";

		// Every class can be made and answers FUnknown.
		void* obj = nullptr;
		ASSERT_EQ (f1->createInstance (reinterpret_cast<FIDString> (c1.cid),
		                               reinterpret_cast<FIDString> (FUnknown::iid.toTUID ()), &obj),
		           kResultOk);
		ASSERT_NE (obj, nullptr);
		EXPECT_EQ (static_cast<FUnknown*> (obj)->release (), 0u);
	}

	// The processor names a controller class that the factory lists under the controller category.
	PClassInfo2 proc {};
	ASSERT_EQ (f2->getClassInfo2 (0, &proc), kResultOk);
	EXPECT_STREQ (proc.category, kVstAudioEffectClass);
	auto comp = module->create<IComponent> (proc.cid);
	ASSERT_TRUE (comp);
	TUID named {};
	ASSERT_EQ (comp->getControllerClassId (named), kResultOk);
	bool listed = false;
	for (int32 i = 0; i < count; ++i)
	{
		PClassInfo2 c {};
		f2->getClassInfo2 (i, &c);
		if (std::memcmp (c.cid, named, 16) == 0)
			listed = std::strcmp (c.category, kVstComponentControllerClass) == 0;
	}
	EXPECT_TRUE (listed);
}

TEST (ModuleConformance, ProcessorAnswersExactlyItsInterfaces)
{
	Bench b;
	ASSERT_TRUE (b.ok ());
	FUnknown* comp = b.component.get ();
	for (const FUID* iid : {&FUnknown::iid, &IPluginBase::iid, &IComponent::iid, &IAudioProcessor::iid,
	                        &IProcessContextRequirements::iid, &IConnectionPoint::iid})
		EXPECT_TRUE (answers (comp, *iid)) << FUID (*iid).getLong1 ();
	for (const FUID* iid : {&IEditController::iid, &IEditController2::iid, &IUnitInfo::iid, &IMidiMapping::iid,
	                        &IPlugView::iid, &IPluginFactory::iid, &IBStream::iid, &IMessage::iid,
	                        &kAudioPresentationLatencyIid, &kProgressIid})
		EXPECT_FALSE (answers (comp, *iid)) << FUID (*iid).getLong1 ();

	// Every interface of the object leads back to the same identity.
	auto proc = queryAs<IAudioProcessor> (comp);
	auto cp = queryAs<IConnectionPoint> (comp);
	auto base = queryAs<IPluginBase> (comp);
	ASSERT_TRUE (proc && cp && base);
	EXPECT_EQ (identity (comp), identity (proc.get ()));
	EXPECT_EQ (identity (comp), identity (cp.get ()));
	EXPECT_EQ (identity (comp), identity (base.get ()));

	// Calls through an interface obtained by query reach the right slot.
	ASSERT_EQ (base->initialize (static_cast<IHostApplication*> (b.host.get ())), kResultOk);
	EXPECT_EQ (b.component->getBusCount (kAudio, kOutput), 1);
	EXPECT_EQ (base->terminate (), kResultOk);

	// A null out pointer is refused, not written.
	EXPECT_NE (comp->queryInterface (IComponent::iid.toTUID (), nullptr), kResultOk);
}

TEST (ModuleConformance, ControllerAnswersExactlyItsInterfaces)
{
	Bench b (true);
	ASSERT_TRUE (b.ok ());
	FUnknown* ctrl = b.controller.get ();
	for (const FUID* iid : {&FUnknown::iid, &IPluginBase::iid, &IEditController::iid, &IEditController2::iid,
	                        &IConnectionPoint::iid})
		EXPECT_TRUE (answers (ctrl, *iid)) << FUID (*iid).getLong1 ();
	for (const FUID* iid : {&IComponent::iid, &IAudioProcessor::iid, &IProcessContextRequirements::iid,
	                        &IUnitInfo::iid, &IMidiMapping::iid, &IPlugView::iid,
	                        &IEditControllerHostEditing::iid, &kProgressIid})
		EXPECT_FALSE (answers (ctrl, *iid)) << FUID (*iid).getLong1 ();
	auto ec2 = queryAs<IEditController2> (ctrl);
	auto cp = queryAs<IConnectionPoint> (ctrl);
	ASSERT_TRUE (ec2 && cp);
	EXPECT_EQ (identity (ctrl), identity (ec2.get ()));
	EXPECT_EQ (identity (ctrl), identity (cp.get ()));
	// IEditController2 reaches the controller itself.
	EXPECT_EQ (ec2->setKnobMode (kLinearMode), kResultOk);
	EXPECT_NE (ec2->openHelp (true), kResultOk);
}

TEST (ModuleConformance, ReferenceCountsReturnToZero)
{
	auto module = loadModule ();
	ASSERT_TRUE (module);
	TUID cid;
	FUID procCid, ctrlCid;
	for (int32 i = 0; i < 2; ++i)
	{
		PClassInfo info {};
		ASSERT_EQ (module->factory ()->getClassInfo (i, &info), kResultOk);
		(i == 0 ? procCid : ctrlCid) = FUID::fromTUID (info.cid);
	}
	for (const FUID* c : {&procCid, &ctrlCid})
	{
		c->toTUID (cid);
		void* obj = nullptr;
		ASSERT_EQ (module->factory ()->createInstance (reinterpret_cast<FIDString> (cid),
		                                               reinterpret_cast<FIDString> (FUnknown::iid.toTUID ()), &obj),
		           kResultOk);
		auto* unknown = static_cast<FUnknown*> (obj);
		EXPECT_EQ (unknown->addRef (), 2u) << "a new object carries exactly the caller's reference";
		void* second = nullptr;
		ASSERT_EQ (unknown->queryInterface (IConnectionPoint::iid.toTUID (), &second), kResultOk);
		EXPECT_EQ (static_cast<FUnknown*> (second)->release (), 2u);
		EXPECT_EQ (unknown->release (), 1u);

		// A full life: initialise, connect to a peer, terminate; nothing keeps a reference.
		auto base = queryAs<IPluginBase> (unknown);
		ASSERT_TRUE (base);
		Ref<HostApplication> host (new HostApplication);
		ASSERT_EQ (base->initialize (static_cast<IHostApplication*> (host.get ())), kResultOk);
		auto cp = queryAs<IConnectionPoint> (unknown);
		Ref<ConnectionProxy> proxy (new ConnectionProxy (cp.get ()));
		Bench other (true);
		auto peer = queryAs<IConnectionPoint> (other.controller.get ());
		ASSERT_EQ (proxy->link (peer.get ()), kResultOk);
		EXPECT_EQ (proxy->unlink (), kResultOk);
		EXPECT_EQ (base->terminate (), kResultOk);
		cp.reset ();
		proxy.reset ();
		base.reset ();
		EXPECT_EQ (unknown->release (), 0u);
	}
	// The factory itself: the module's reference plus one taken here.
	IPluginFactory* f = module->getFactoryProc () ();
	EXPECT_EQ (f, module->factory ());
	EXPECT_EQ (f->release (), 1u);
}

} // namespace
} // namespace conformance
