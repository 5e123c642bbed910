// CPluginFactory: the module's class factory.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

namespace Steinberg {

class CPluginFactory : public IPluginFactory3
{
public:
	typedef FUnknown* (*InstanceCreateFunc)(void* context);

	explicit CPluginFactory(const PFactoryInfo& info);
	virtual ~CPluginFactory();

	CPluginFactory(const CPluginFactory&) = delete;
	CPluginFactory& operator=(const CPluginFactory&) = delete;

	// Each returns false (and registers nothing) for a missing record or function or an
	// already registered class id.
	bool registerClass(const PClassInfo* info, InstanceCreateFunc createFunc, void* context = nullptr);
	bool registerClass(const PClassInfo2* info, InstanceCreateFunc createFunc, void* context = nullptr);
	bool registerClass(const PClassInfoW* info, InstanceCreateFunc createFunc, void* context = nullptr);

	bool isClassRegistered(const FUID& cid) const;
	void removeAllClasses() { classes.clear(); }

	// IPluginFactory
	tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
	int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
	tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
	tresult PLUGIN_API createInstance(FIDString cid, FIDString _iid, void** obj) SMTG_OVERRIDE;
	// IPluginFactory2
	tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;
	// IPluginFactory3
	tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
	tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

	DECLARE_FUNKNOWN_METHODS

protected:
	// A registration keeps both text forms of its class record.
	struct ClassEntry
	{
		PClassInfo2 info8;
		PClassInfoW info16;
		InstanceCreateFunc createFunc;
		void* context;
	};

	// Completes entry with its creation function and keeps it, unless its id is taken.
	bool addEntry(ClassEntry& entry, InstanceCreateFunc createFunc, void* context);
	const ClassEntry* entryAt(int32 index) const;

	PFactoryInfo factoryInfo;
	std::vector<ClassEntry> classes;
};

} // namespace Steinberg

// The module's one live factory, or null; the factory empties it when destroyed.
extern Steinberg::CPluginFactory* gPluginFactory;
