#include "module.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/utsname.h>

#include <cstring>
#include <type_traits>

namespace tolvarhost {

namespace {

// Copies a fixed-size, possibly unterminated char array.
std::string fixedString (const char* text, size_t size)
{
	size_t n = 0;
	while (n < size && text[n])
		++n;
	return std::string (text, n);
}

// A text field of a class record, as UTF-8.
template <size_t N>
std::string text (const char8 (&field)[N])
{
	return fixedString (field, N);
}

template <size_t N>
std::string text (const char16 (&field)[N])
{
	return toUtf8 (reinterpret_cast<const char16_t*> (field), N);
}

// Fills c from any form of class record; the basic form has only the first four fields.
template <class Info>
void describeClass (const Info& info, int level, ClassDescription& c)
{
	std::memcpy (c.cid, info.cid, sizeof (TUID));
	c.cardinality = info.cardinality;
	c.category = text (info.category);
	c.name = text (info.name);
	if constexpr (!std::is_same_v<Info, PClassInfo>)
	{
		c.classFlags = info.classFlags;
		c.subCategories = text (info.subCategories);
		c.vendor = text (info.vendor);
		c.version = text (info.version);
		c.sdkVersion = text (info.sdkVersion);
	}
	c.infoLevel = level;
}

bool isDirectory (const std::string& path)
{
	struct stat st {};
	return ::stat (path.c_str (), &st) == 0 && S_ISDIR (st.st_mode);
}

bool isRegularFile (const std::string& path)
{
	struct stat st {};
	return ::stat (path.c_str (), &st) == 0 && S_ISREG (st.st_mode);
}

} // namespace

std::string cidToHex (const TUID cid)
{
	static const char hex[] = "0123456789ABCDEF";
	std::string s;
	for (int i = 0; i < 16; ++i)
	{
		auto b = static_cast<unsigned char> (cid[i]);
		s += hex[b >> 4];
		s += hex[b & 0x0F];
	}
	return s;
}

bool describeFactory (IPluginFactory* factory, FactoryDescription& out, std::string& error)
{
	out = FactoryDescription {};
	if (!factory)
	{
		error = "no factory";
		return false;
	}
	PFactoryInfo info {};
	if (factory->getFactoryInfo (&info) != kResultOk)
	{
		error = "getFactoryInfo failed";
		return false;
	}
	out.vendor = fixedString (info.vendor, sizeof (info.vendor));
	out.url = fixedString (info.url, sizeof (info.url));
	out.email = fixedString (info.email, sizeof (info.email));
	out.flags = info.flags;

	auto f2 = queryAs<IPluginFactory2> (factory);
	auto f3 = queryAs<IPluginFactory3> (factory);
	int32 count = factory->countClasses ();
	if (count < 0)
	{
		error = "countClasses returned a negative count";
		return false;
	}
	for (int32 i = 0; i < count; ++i)
	{
		ClassDescription c;
		PClassInfoW w {};
		PClassInfo2 i2 {};
		PClassInfo i1 {};
		if (f3 && f3->getClassInfoUnicode (i, &w) == kResultOk)
			describeClass (w, 3, c);
		else if (f2 && f2->getClassInfo2 (i, &i2) == kResultOk)
			describeClass (i2, 2, c);
		else if (factory->getClassInfo (i, &i1) == kResultOk)
			describeClass (i1, 1, c);
		else
		{
			error = "no class information for index " + std::to_string (i);
			return false;
		}
		out.classes.push_back (std::move (c));
	}
	return true;
}

std::unique_ptr<Module> Module::load (const std::string& bundlePath, std::string& error)
{
	std::string bundle = bundlePath;
	while (bundle.size () > 1 && bundle.back () == '/')
		bundle.pop_back ();
	if (bundle.empty ())
	{
		error = "no bundle path given";
		return nullptr;
	}
	if (!isDirectory (bundle))
	{
		error = "bundle not found (not a directory): " + bundle;
		return nullptr;
	}
	// <dir>/<Name>.vst3 -> Contents/<machine>-linux/<Name>.so
	std::string base = bundle.substr (bundle.find_last_of ('/') + 1);
	auto dot = base.find_last_of ('.');
	if (dot != std::string::npos && dot > 0)
		base.erase (dot);
	struct utsname uts {};
	std::string machine = ::uname (&uts) == 0 ? uts.machine : "x86_64";
	std::string so = bundle + "/Contents/" + machine + "-linux/" + base + ".so";
	if (!isRegularFile (so))
	{
		error = "bundle has no shared object at " + so;
		return nullptr;
	}

	std::unique_ptr<Module> m (new Module);
	m->soPath = so;
	m->handle = ::dlopen (so.c_str (), RTLD_LAZY | RTLD_LOCAL);
	if (!m->handle)
	{
		const char* why = ::dlerror ();
		error = "cannot load " + so + ": " + (why ? why : "unknown error");
		return nullptr;
	}
	auto entry = reinterpret_cast<bool (*) (void*)> (::dlsym (m->handle, "ModuleEntry"));
	m->moduleExit = reinterpret_cast<bool (*) ()> (::dlsym (m->handle, "ModuleExit"));
	m->getFactory = reinterpret_cast<GetFactoryProc> (::dlsym (m->handle, "GetPluginFactory"));
	const char* missing = !entry ? "ModuleEntry" : !m->moduleExit ? "ModuleExit"
	                                           : !m->getFactory  ? "GetPluginFactory"
	                                                             : nullptr;
	if (missing)
	{
		error = std::string ("symbol ") + missing + " not exported by " + so;
		m->moduleExit = nullptr; // ModuleEntry was never called
		return nullptr;
	}
	if (!entry (m->handle))
	{
		error = "ModuleEntry failed for " + so;
		m->moduleExit = nullptr;
		return nullptr;
	}
	m->factoryPtr = m->getFactory ();
	if (!m->factoryPtr)
	{
		error = "GetPluginFactory returned no factory";
		return nullptr;
	}
	return m;
}

Module::~Module ()
{
	releaseFactory ();
	if (moduleExit)
		moduleExit ();
	if (handle)
		::dlclose (handle);
}

void Module::releaseFactory ()
{
	if (factoryPtr)
		factoryPtr->release ();
	factoryPtr = nullptr;
}

bool Module::reacquireFactory ()
{
	releaseFactory ();
	factoryPtr = getFactory ? getFactory () : nullptr;
	return factoryPtr != nullptr;
}

} // namespace tolvarhost
