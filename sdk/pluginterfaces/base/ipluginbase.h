// Plug-in base interface, class factory interfaces and their info records.
#pragma once

#include "funknown.h"

#include <cstddef>

namespace Steinberg {

class IPluginBase : public FUnknown
{
public:
	// Called once after creation; the context is borrowed for the call.
	virtual tresult PLUGIN_API initialize(FUnknown* context) = 0;
	virtual tresult PLUGIN_API terminate() = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IPluginBase, 0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625)

struct PFactoryInfo
{
	enum FactoryFlags
	{
		kNoFlags = 0,
		kClassesDiscardable = 1 << 0,
		kLicenseCheck = 1 << 1,
		kComponentNonDiscardable = 1 << 3,
		kUnicode = 1 << 4
	};
	enum
	{
		kURLSize = 256,
		kEmailSize = 128,
		kNameSize = 64
	};

	char8 vendor[kNameSize];
	char8 url[kURLSize];
	char8 email[kEmailSize];
	int32 flags;

	PFactoryInfo() { std::memset(this, 0, sizeof(PFactoryInfo)); }
	PFactoryInfo(const char8* _vendor, const char8* _url, const char8* _email, int32 _flags)
	{
		std::memset(this, 0, sizeof(PFactoryInfo));
		copy(vendor, _vendor, kNameSize);
		copy(url, _url, kURLSize);
		copy(email, _email, kEmailSize);
		flags = _flags;
	}

	// Truncating copy that always leaves a NUL terminator.
	static void copy(char8* dst, const char8* src, size_t size)
	{
		if (!src)
			return;
		size_t i = 0;
		for (; i + 1 < size && src[i]; ++i)
			dst[i] = src[i];
		dst[i] = 0;
	}
};

struct PClassInfo
{
	enum ClassCardinality
	{
		kManyInstances = 0x7FFFFFFF
	};
	enum
	{
		kCategorySize = 32,
		kNameSize = 64
	};

	TUID cid;
	int32 cardinality;
	char8 category[kCategorySize];
	char8 name[kNameSize];

	PClassInfo() { std::memset(this, 0, sizeof(PClassInfo)); }
	PClassInfo(const TUID _cid, int32 _cardinality, const char8* _category, const char8* _name)
	{
		std::memset(this, 0, sizeof(PClassInfo));
		if (_cid)
			std::memcpy(cid, _cid, sizeof(TUID));
		cardinality = _cardinality;
		PFactoryInfo::copy(category, _category, kCategorySize);
		PFactoryInfo::copy(name, _name, kNameSize);
	}
};

class IPluginFactory : public FUnknown
{
public:
	virtual tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) = 0;
	virtual int32 PLUGIN_API countClasses() = 0;
	virtual tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) = 0;
	// cid and iid each point at 16 identifier bytes.
	virtual tresult PLUGIN_API createInstance(FIDString cid, FIDString _iid, void** obj) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IPluginFactory, 0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F)

struct PClassInfo2
{
	enum
	{
		kVendorSize = 64,
		kVersionSize = 64,
		kSubCategoriesSize = 128
	};

	TUID cid;
	int32 cardinality;
	char8 category[PClassInfo::kCategorySize];
	char8 name[PClassInfo::kNameSize];
	uint32 classFlags;
	char8 subCategories[kSubCategoriesSize];
	char8 vendor[kVendorSize];
	char8 version[kVersionSize];
	char8 sdkVersion[kVersionSize];

	PClassInfo2() { std::memset(this, 0, sizeof(PClassInfo2)); }
	PClassInfo2(const TUID _cid, int32 _cardinality, const char8* _category, const char8* _name,
	            int32 _classFlags, const char8* _subCategories, const char8* _vendor,
	            const char8* _version, const char8* _sdkVersion)
	{
		std::memset(this, 0, sizeof(PClassInfo2));
		if (_cid)
			std::memcpy(cid, _cid, sizeof(TUID));
		cardinality = _cardinality;
		PFactoryInfo::copy(category, _category, PClassInfo::kCategorySize);
		PFactoryInfo::copy(name, _name, PClassInfo::kNameSize);
		classFlags = static_cast<uint32>(_classFlags);
		PFactoryInfo::copy(subCategories, _subCategories, kSubCategoriesSize);
		PFactoryInfo::copy(vendor, _vendor, kVendorSize);
		PFactoryInfo::copy(version, _version, kVersionSize);
		PFactoryInfo::copy(sdkVersion, _sdkVersion, kVersionSize);
	}
};

class IPluginFactory2 : public IPluginFactory
{
public:
	virtual tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IPluginFactory2, 0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB)

struct PClassInfoW
{
	enum
	{
		kVendorSize = 64,
		kVersionSize = 64,
		kSubCategoriesSize = 128
	};

	TUID cid;
	int32 cardinality;
	char8 category[PClassInfo::kCategorySize];
	char16 name[PClassInfo::kNameSize];
	uint32 classFlags;
	char8 subCategories[kSubCategoriesSize];
	char16 vendor[kVendorSize];
	char16 version[kVersionSize];
	char16 sdkVersion[kVersionSize];

	PClassInfoW() { std::memset(this, 0, sizeof(PClassInfoW)); }
	PClassInfoW(const TUID _cid, int32 _cardinality, const char8* _category, const char16* _name,
	            int32 _classFlags, const char8* _subCategories, const char16* _vendor,
	            const char16* _version, const char16* _sdkVersion)
	{
		std::memset(this, 0, sizeof(PClassInfoW));
		if (_cid)
			std::memcpy(cid, _cid, sizeof(TUID));
		cardinality = _cardinality;
		PFactoryInfo::copy(category, _category, PClassInfo::kCategorySize);
		copy16(name, _name, PClassInfo::kNameSize);
		classFlags = static_cast<uint32>(_classFlags);
		PFactoryInfo::copy(subCategories, _subCategories, kSubCategoriesSize);
		copy16(vendor, _vendor, kVendorSize);
		copy16(version, _version, kVersionSize);
		copy16(sdkVersion, _sdkVersion, kVersionSize);
	}

	// Fills this record from an 8-bit one; ASCII/Latin-1 bytes widen one to one.
	void fromAscii(const PClassInfo2& ci2)
	{
		std::memcpy(cid, ci2.cid, sizeof(TUID));
		cardinality = ci2.cardinality;
		std::memcpy(category, ci2.category, sizeof(category));
		widen(name, ci2.name, PClassInfo::kNameSize);
		classFlags = ci2.classFlags;
		std::memcpy(subCategories, ci2.subCategories, sizeof(subCategories));
		widen(vendor, ci2.vendor, kVendorSize);
		widen(version, ci2.version, kVersionSize);
		widen(sdkVersion, ci2.sdkVersion, kVersionSize);
	}

	static void copy16(char16* dst, const char16* src, size_t size)
	{
		if (!src)
			return;
		size_t i = 0;
		for (; i + 1 < size && src[i]; ++i)
			dst[i] = src[i];
		dst[i] = 0;
	}
	static void widen(char16* dst, const char8* src, size_t size)
	{
		size_t i = 0;
		for (; i + 1 < size && src[i]; ++i)
			dst[i] = static_cast<char16>(static_cast<uint8>(src[i]));
		dst[i] = 0;
	}
};

class IPluginFactory3 : public IPluginFactory2
{
public:
	virtual tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
	virtual tresult PLUGIN_API setHostContext(FUnknown* context) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IPluginFactory3, 0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931)

static_assert(sizeof(PFactoryInfo) == 452 && offsetof(PFactoryInfo, flags) == 448, "PFactoryInfo");
static_assert(sizeof(PClassInfo) == 116 && offsetof(PClassInfo, name) == 52, "PClassInfo");
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, classFlags) == 116 &&
                  offsetof(PClassInfo2, subCategories) == 120 && offsetof(PClassInfo2, vendor) == 248 &&
                  offsetof(PClassInfo2, version) == 312 && offsetof(PClassInfo2, sdkVersion) == 376,
              "PClassInfo2");
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, name) == 52 &&
                  offsetof(PClassInfoW, classFlags) == 180 && offsetof(PClassInfoW, subCategories) == 184 &&
                  offsetof(PClassInfoW, vendor) == 312 && offsetof(PClassInfoW, version) == 440 &&
                  offsetof(PClassInfoW, sdkVersion) == 568,
              "PClassInfoW");

} // namespace Steinberg

// Entry point every module exports.
extern "C" {
typedef Steinberg::IPluginFactory* (PLUGIN_API* GetFactoryProc)();
}
