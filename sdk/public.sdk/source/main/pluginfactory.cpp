#include "public.sdk/source/main/pluginfactory.h"

#include <cstring>

Steinberg::CPluginFactory* gPluginFactory = nullptr;

namespace Steinberg {

namespace {

// UTF-8 to UTF-16, truncated to N - 1 units and NUL-terminated; bad bytes become U+FFFD.
template <size_t N>
void convert(char16 (&dst)[N], const char8* src)
{
	size_t out = 0;
	const uint8* s = reinterpret_cast<const uint8*>(src);
	while (*s && out + 1 < N)
	{
		uint32 cp = 0xFFFD;
		int extra = 0;
		if (*s < 0x80)
			cp = *s;
		else if ((*s & 0xE0) == 0xC0)
			cp = *s & 0x1F, extra = 1;
		else if ((*s & 0xF0) == 0xE0)
			cp = *s & 0x0F, extra = 2;
		else if ((*s & 0xF8) == 0xF0)
			cp = *s & 0x07, extra = 3;
		++s;
		for (int i = 0; i < extra; ++i)
		{
			if ((*s & 0xC0) != 0x80)
			{
				cp = 0xFFFD;
				break;
			}
			cp = (cp << 6) | (*s & 0x3F);
			++s;
		}
		if (cp >= 0x10000 && cp <= 0x10FFFF)
		{
			if (out + 2 >= N)
				break;
			cp -= 0x10000;
			dst[out++] = static_cast<char16>(0xD800 + (cp >> 10));
			dst[out++] = static_cast<char16>(0xDC00 + (cp & 0x3FF));
		}
		else
			dst[out++] = static_cast<char16>(cp > 0x10FFFF ? 0xFFFD : cp);
	}
	dst[out] = 0;
}

// UTF-16 to UTF-8, truncated at a character boundary to fit N - 1 bytes.
template <size_t N>
void convert(char8 (&dst)[N], const char16* src)
{
	size_t out = 0;
	for (size_t i = 0; src[i]; ++i)
	{
		uint32 cp = src[i];
		if (cp >= 0xD800 && cp <= 0xDBFF && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF)
		{
			cp = 0x10000 + ((cp - 0xD800) << 10) + (src[i + 1] - 0xDC00);
			++i;
		}
		else if (cp >= 0xD800 && cp <= 0xDFFF)
			cp = 0xFFFD;
		uint8 bytes[4];
		size_t n = 0;
		if (cp < 0x80)
			bytes[n++] = static_cast<uint8>(cp);
		else if (cp < 0x800)
		{
			bytes[n++] = static_cast<uint8>(0xC0 | (cp >> 6));
			bytes[n++] = static_cast<uint8>(0x80 | (cp & 0x3F));
		}
		else if (cp < 0x10000)
		{
			bytes[n++] = static_cast<uint8>(0xE0 | (cp >> 12));
			bytes[n++] = static_cast<uint8>(0x80 | ((cp >> 6) & 0x3F));
			bytes[n++] = static_cast<uint8>(0x80 | (cp & 0x3F));
		}
		else
		{
			bytes[n++] = static_cast<uint8>(0xF0 | (cp >> 18));
			bytes[n++] = static_cast<uint8>(0x80 | ((cp >> 12) & 0x3F));
			bytes[n++] = static_cast<uint8>(0x80 | ((cp >> 6) & 0x3F));
			bytes[n++] = static_cast<uint8>(0x80 | (cp & 0x3F));
		}
		if (out + n + 1 > N)
			break;
		for (size_t k = 0; k < n; ++k)
			dst[out++] = static_cast<char8>(bytes[k]);
	}
	dst[out] = 0;
}

template <class C, size_t N>
void terminate(C (&s)[N])
{
	s[N - 1] = 0;
}

// Cuts every text of a class record to its field.
template <class Info>
void terminateTexts(Info& info)
{
	terminate(info.category);
	terminate(info.name);
	terminate(info.subCategories);
	terminate(info.vendor);
	terminate(info.version);
	terminate(info.sdkVersion);
}

// Fills one text form of a class record from the other.
template <class To, class From>
void convertRecord(To& to, const From& from)
{
	std::memcpy(to.cid, from.cid, sizeof(TUID));
	to.cardinality = from.cardinality;
	std::memcpy(to.category, from.category, sizeof(to.category));
	convert(to.name, from.name);
	to.classFlags = from.classFlags;
	std::memcpy(to.subCategories, from.subCategories, sizeof(to.subCategories));
	convert(to.vendor, from.vendor);
	convert(to.version, from.version);
	convert(to.sdkVersion, from.sdkVersion);
}

} // namespace

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info) {}

CPluginFactory::~CPluginFactory()
{
	if (gPluginFactory == this)
		gPluginFactory = nullptr;
}

IMPLEMENT_REFCOUNT(CPluginFactory)

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID _iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	QUERY_INTERFACE(_iid, obj, FUnknown::iid, IPluginFactory)
	QUERY_INTERFACE(_iid, obj, IPluginFactory::iid, IPluginFactory)
	QUERY_INTERFACE(_iid, obj, IPluginFactory2::iid, IPluginFactory2)
	QUERY_INTERFACE(_iid, obj, IPluginFactory3::iid, IPluginFactory3)
	*obj = nullptr;
	return kNoInterface;
}

bool CPluginFactory::addEntry(ClassEntry& entry, InstanceCreateFunc createFunc, void* context)
{
	if (!createFunc || isClassRegistered(FUID::fromTUID(entry.info8.cid)))
		return false;
	entry.createFunc = createFunc;
	entry.context = context;
	classes.push_back(entry);
	return true;
}

bool CPluginFactory::registerClass(const PClassInfo* info, InstanceCreateFunc createFunc, void* context)
{
	if (!info)
		return false;
	PClassInfo2 info2;
	std::memcpy(info2.cid, info->cid, sizeof(TUID));
	info2.cardinality = info->cardinality;
	std::memcpy(info2.category, info->category, sizeof(info2.category));
	std::memcpy(info2.name, info->name, sizeof(info2.name));
	return registerClass(&info2, createFunc, context);
}

bool CPluginFactory::registerClass(const PClassInfo2* info, InstanceCreateFunc createFunc, void* context)
{
	if (!info)
		return false;
	ClassEntry e {};
	e.info8 = *info;
	terminateTexts(e.info8);
	convertRecord(e.info16, e.info8);
	return addEntry(e, createFunc, context);
}

bool CPluginFactory::registerClass(const PClassInfoW* info, InstanceCreateFunc createFunc, void* context)
{
	if (!info)
		return false;
	ClassEntry e {};
	e.info16 = *info;
	terminateTexts(e.info16);
	convertRecord(e.info8, e.info16);
	return addEntry(e, createFunc, context);
}

bool CPluginFactory::isClassRegistered(const FUID& cid) const
{
	for (const ClassEntry& e : classes)
		if (FUnknownPrivate::iidEqual(e.info8.cid, cid.toTUID()))
			return true;
	return false;
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt(int32 index) const
{
	if (index < 0 || index >= static_cast<int32>(classes.size()))
		return nullptr;
	return &classes[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
	if (!info)
		return kInvalidArgument;
	*info = factoryInfo;
	return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses()
{
	return static_cast<int32>(classes.size());
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
	const ClassEntry* e = entryAt(index);
	if (!e || !info)
		return kInvalidArgument;
	*info = PClassInfo();
	std::memcpy(info->cid, e->info8.cid, sizeof(TUID));
	info->cardinality = e->info8.cardinality;
	std::memcpy(info->category, e->info8.category, sizeof(info->category));
	std::memcpy(info->name, e->info8.name, sizeof(info->name));
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
	const ClassEntry* e = entryAt(index);
	if (!e || !info)
		return kInvalidArgument;
	*info = e->info8;
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
	const ClassEntry* e = entryAt(index);
	if (!e || !info)
		return kInvalidArgument;
	*info = e->info16;
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString _iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	*obj = nullptr;
	if (!cid || !_iid)
		return kInvalidArgument;
	for (const ClassEntry& e : classes)
	{
		if (!FUnknownPrivate::iidEqual(e.info8.cid, cid))
			continue;
		FUnknown* instance = e.createFunc(e.context);
		if (!instance)
			return kOutOfMemory;
		// The query adds the caller's reference; the creation reference goes.
		if (instance->queryInterface(_iid, obj) != kResultOk)
			*obj = nullptr;
		instance->release();
		return *obj ? kResultOk : kNoInterface;
	}
	return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* /*context*/)
{
	return kNotImplemented;
}

} // namespace Steinberg
