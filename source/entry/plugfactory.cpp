#include "plugcids.h"
#include "version.h"

#include "processor/plugprocessor.h"
#include "controller/plugcontroller.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/main/pluginfactory.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The sixteen bytes of a class identifier: the four words in order, most significant byte first.
void toClassBytes (const FUID& uid, TUID out)
{
	const uint32 words[4] = {uid.getLong1 (), uid.getLong2 (), uid.getLong3 (), uid.getLong4 ()};
	for (int i = 0; i < 4; ++i)
	{
		out[i * 4 + 0] = static_cast<int8> ((words[i] >> 24) & 0xFF);
		out[i * 4 + 1] = static_cast<int8> ((words[i] >> 16) & 0xFF);
		out[i * 4 + 2] = static_cast<int8> ((words[i] >> 8) & 0xFF);
		out[i * 4 + 3] = static_cast<int8> (words[i] & 0xFF);
	}
}

} // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory ()
{
	if (gPluginFactory)
	{
		gPluginFactory->addRef ();
		return gPluginFactory;
	}

	static const PFactoryInfo factoryInfo (TOLVAR_VENDOR, TOLVAR_URL, TOLVAR_EMAIL,
	                                       PFactoryInfo::kUnicode);

	gPluginFactory = new CPluginFactory (factoryInfo);

	{
		TUID cid;
		toClassBytes (kProcessorClassId, cid);
		static const PClassInfo2 processorInfo (cid, PClassInfo::kManyInstances, kVstAudioEffectClass,
		                                        TOLVAR_PROCESSOR_NAME, kDistributable,
		                                        TOLVAR_SUBCATEGORIES, nullptr, TOLVAR_VERSION_STR,
		                                        TOLVAR_SDK_VERSION_STR);
		gPluginFactory->registerClass (&processorInfo, PlugProcessor::createInstance, nullptr);
	}

	{
		TUID cid;
		toClassBytes (kControllerClassId, cid);
		static const PClassInfo2 controllerInfo (cid, PClassInfo::kManyInstances,
		                                         kVstComponentControllerClass, TOLVAR_CONTROLLER_NAME, 0,
		                                         "", nullptr, TOLVAR_VERSION_STR, TOLVAR_SDK_VERSION_STR);
		gPluginFactory->registerClass (&controllerInfo, PlugController::createInstance, nullptr);
	}

	return gPluginFactory;
}
