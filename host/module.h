// Loading a VST 3 bundle and reading its class factory.
#pragma once

#include "hostobjects.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <memory>
#include <string>
#include <vector>

namespace tolvarhost {

struct ClassDescription
{
	TUID cid {};
	int32 cardinality = 0;
	std::string category;
	std::string name;
	uint32 classFlags = 0;
	std::string subCategories;
	std::string vendor;
	std::string version;
	std::string sdkVersion;
	// 1: PClassInfo only, 2: PClassInfo2, 3: PClassInfoW.
	int infoLevel = 1;
};

struct FactoryDescription
{
	std::string vendor;
	std::string url;
	std::string email;
	int32 flags = 0;
	std::vector<ClassDescription> classes;
};

// Upper-case hex of the 16 identifier bytes (the four words in order).
std::string cidToHex (const TUID cid);

// Reads factory and class information, each class through the highest
// factory version that answers.
bool describeFactory (IPluginFactory* factory, FactoryDescription& out, std::string& error);

// A loaded bundle: the shared object is open, ModuleEntry has run and one
// factory reference is held. The destructor releases the factory, calls
// ModuleExit and closes the shared object. Everything created from the
// factory must be released before.
class Module
{
public:
	using GetFactoryProc = IPluginFactory* (*) ();

	// bundlePath is the "<Name>.vst3" folder. Null with error set on failure.
	static std::unique_ptr<Module> load (const std::string& bundlePath, std::string& error);
	~Module ();

	Module (const Module&) = delete;
	Module& operator= (const Module&) = delete;

	// Borrowed; null after releaseFactory until reacquireFactory.
	IPluginFactory* factory () const { return factoryPtr; }
	// The exported GetPluginFactory itself (each call hands out a reference).
	GetFactoryProc getFactoryProc () const { return getFactory; }
	const std::string& sharedObjectPath () const { return soPath; }

	// Drops the module's own factory reference / takes a new one.
	void releaseFactory ();
	bool reacquireFactory ();

	// Creates an instance of cid as interface I (null on failure).
	template <class I>
	Ref<I> create (const TUID cid) const
	{
		Ref<I> r;
		if (!factoryPtr)
			return r;
		TUID iidBytes;
		I::iid.toTUID (iidBytes);
		if (factoryPtr->createInstance (reinterpret_cast<FIDString> (cid),
		                                reinterpret_cast<FIDString> (iidBytes),
		                                r.out ()) != kResultOk)
			r.reset ();
		return r;
	}

private:
	Module () = default;

	void* handle = nullptr;
	GetFactoryProc getFactory = nullptr;
	bool (*moduleExit) () = nullptr;
	IPluginFactory* factoryPtr = nullptr;
	std::string soPath;
};

} // namespace tolvarhost
