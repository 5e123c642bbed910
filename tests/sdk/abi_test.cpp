// Binary layout of the interface declarations: identifiers, bases, vtable slots,
// struct offsets and constants, each checked against the published values.
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/iupdatehandler.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstattributes.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstpluginterfacesupport.h"
#include "pluginterfaces/vst/ivstplugview.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Itanium ABI: a pointer to a virtual member holds 1 + the slot's byte offset.
template <class M>
long slot(M member)
{
	static_assert(sizeof(M) == 2 * sizeof(void*), "Itanium member pointer");
	std::uintptr_t raw[2];
	std::memcpy(raw, &member, sizeof(raw));
	if ((raw[0] & 1) == 0)
		return -1; // not virtual
	return static_cast<long>((raw[0] - 1) / sizeof(void*));
}

std::string text(const FUID& id)
{
	char8 s[33];
	id.toString(s);
	return s;
}

// Interfaces have no data and no destructor slots: the object is its vtable pointer.
template <class... I>
constexpr bool pureInterfaces()
{
	return ((std::is_polymorphic<I>::value && sizeof(I) == sizeof(void*) && !std::has_virtual_destructor<I>::value) &&
	        ...);
}

} // namespace

TEST(Abi, InterfaceIdentifiers)
{
	struct Row
	{
		const FUID& iid;
		const char* words;
	};
	const Row rows[] = {
	    {FUnknown::iid, "0000000000000000C000000000000046"},
	    {IPluginBase::iid, "22888DDB156E45AE8358B34808190625"},
	    {IPluginFactory::iid, "7A4D811C52114A1FAED9D2EE0B43BF9F"},
	    {IPluginFactory2::iid, "0007B650F24B4C0BA464EDB9F00B2ABB"},
	    {IPluginFactory3::iid, "4555A2ABC1234E579B12291036878931"},
	    {IBStream::iid, "C3BF6EA2309947529B6BF9901EE33E9B"},
	    {ISizeableStream::iid, "04F9549EE02F4E6E87E86A8747F4E17F"},
	    {IComponent::iid, "E831FF31F2D54301928EBBEE25697802"},
	    {IAudioProcessor::iid, "42043F99B7DA453CA569E79D9AAEC33D"},
	    {IProcessContextRequirements::iid, "2A654303EF764E3D95B5FE83730EF6D0"},
	    {IEditController::iid, "DCD7BBE37742448DA874AACC979C759E"},
	    {IEditController2::iid, "7F4EFE59F3204967AC27A3AEAFB63038"},
	    {IComponentHandler::iid, "93A0BEA30BD045DB8E890B0CC1E46AC6"},
	    {IComponentHandler2::iid, "F040B4B3A36045ECABCDC045B4D5A2CC"},
	    {IConnectionPoint::iid, "70A4156F6E6E4026989148BFAA60D8D1"},
	    {IMessage::iid, "936F033BC6C047DBBB0882F813C1E613"},
	    {IAttributeList::iid, "1E5F0AEBCC7F4533A254401138AD5EE4"},
	    {IHostApplication::iid, "58E595CCDB2D49698B6AAF8C36A664E5"},
	    {IParameterChanges::iid, "A47796630BB64A56B44384A8466FEB9D"},
	    {IParamValueQueue::iid, "01263A18ED074F6F98C9D3564686F9BA"},
	    {IEventList::iid, "3A2C4214346349FEB2C4F397B9695A44"},
	    {IUnitInfo::iid, "3D4BD6B5913A4FD2A886E768A5EB92C1"},
	    {IPlugView::iid, "5BC32507D06049EAA6151B522B755B29"},
	    {IPlugFrame::iid, "367FAF01AFA946938D4DA2A0ED0882A3"},
	    {IPlugViewContentScaleSupport::iid, "65ED96908AC445258AADEF7A72EA703F"},
	    {Linux::IRunLoop::iid, "18C3536697764F1A9C5B83857A871389"},
	    {Linux::IEventHandler::iid, "561E65C913A0496F813A2C35654D7983"},
	    {Linux::ITimerHandler::iid, "10BDD94F41424774821FAD8FECA72CA9"},
	    {IDependent::iid, "F52B7AAEDE72416D8AF18ACE9DD7BD5E"},
	    {IUpdateHandler::iid, "F5246D5686544D60B026AFB57B697B37"},
	    {IVst3ToAUWrapper::iid, "A3B8C6C5C0954688B0916F0BB697AA44"},
	    {IVst3ToVst2Wrapper::iid, "29633AEC1D1C47E2BB85B97BD36EAC61"},
	    {IVst3ToAAXWrapper::iid, "6D319DC660C56242B32C951B93BEF4C6"},
	    {IMidiMapping::iid, "DF0FF9F749B74669B63AB7327ADBF5E5"},
	    {IEditControllerHostEditing::iid, "C127120870594098B9DD34B36BB0195E"},
	    {IComponentHandlerBusActivation::iid, "067D02C15B4E274DA92D90FD6EAF7240"},
	    {IUnitHandler::iid, "4B5147F84654486B8DAB30BA163A3C56"},
	    {IUnitHandler2::iid, "F89F8CDF699E4BA596AAC9A481452B01"},
	    {IStreamAttributes::iid, "D6CE2FFCEFAF4B8C9E74F1BB12DA44B4"},
	    {IPlugInterfaceSupport::iid, "4FB58B9E9EAA4E0FAB361C1CCCB56FEA"},
	    {IParameterFinder::iid, "0F618302215D4587A512073C77B9D383"},
	};
	// The byte order of a TUID on Linux is checked in funknown_test.
	for (const Row& r : rows)
		EXPECT_EQ(r.words, text(r.iid));
}

TEST(Abi, InterfaceBasesAndShape)
{
	EXPECT_TRUE((std::is_base_of<FUnknown, IPluginBase>::value && std::is_base_of<IPluginBase, IComponent>::value &&
	             std::is_base_of<IPluginBase, IEditController>::value &&
	             std::is_base_of<IPluginFactory, IPluginFactory2>::value &&
	             std::is_base_of<IPluginFactory2, IPluginFactory3>::value));
	EXPECT_FALSE((std::is_base_of<IPluginBase, IAudioProcessor>::value));
	EXPECT_FALSE((std::is_base_of<IEditController, IEditController2>::value));
	EXPECT_TRUE((pureInterfaces<FUnknown, IPluginBase, IComponent, IAudioProcessor, IProcessContextRequirements,
	                            IEditController, IEditController2, IPluginFactory3, IBStream, IConnectionPoint, IMessage,
	                            IAttributeList, IParameterChanges, IParamValueQueue, IHostApplication,
	                            IComponentHandler, IPlugView, IPlugFrame, Linux::IRunLoop>()));
}

// Methods of one interface in declaration order, each in the slot after the one before;
// M also checks the exact signature (return and parameter types as the host calls them).
struct Method
{
	const char* name;
	long slot;
	bool signature;
};
#define S(Class, method) Method{#Class "::" #method, slot(&Class::method), true}
#define M(Class, method, Ret, ...) \
	Method{#Class "::" #method, slot(&Class::method), \
	       std::is_same<decltype(&Class::method), Ret (Class::*)(__VA_ARGS__)>::value}

void expectMethods(long first, std::initializer_list<Method> methods)
{
	for (const Method& m : methods)
	{
		EXPECT_EQ(m.slot, first++) << m.name;
		EXPECT_TRUE(m.signature) << m.name;
	}
}

TEST(Abi, VtableSlotsAndSignatures)
{
	expectMethods (0, {M (FUnknown, queryInterface, tresult, const TUID, void**), M (FUnknown, addRef, uint32),
	                   M (FUnknown, release, uint32)});
	expectMethods (3, {M (IPluginBase, initialize, tresult, FUnknown*), M (IPluginBase, terminate, tresult)});
	expectMethods (3, {M (IPluginFactory, getFactoryInfo, tresult, PFactoryInfo*),
	                   M (IPluginFactory, countClasses, int32),
	                   M (IPluginFactory, getClassInfo, tresult, int32, PClassInfo*),
	                   M (IPluginFactory, createInstance, tresult, FIDString, FIDString, void**)});
	expectMethods (7, {M (IPluginFactory2, getClassInfo2, tresult, int32, PClassInfo2*)});
	expectMethods (8, {M (IPluginFactory3, getClassInfoUnicode, tresult, int32, PClassInfoW*),
	                   M (IPluginFactory3, setHostContext, tresult, FUnknown*)});
	expectMethods (3, {M (IBStream, read, tresult, void*, int32, int32*),
	                   M (IBStream, write, tresult, void*, int32, int32*),
	                   M (IBStream, seek, tresult, int64, int32, int64*), M (IBStream, tell, tresult, int64*)});
	expectMethods (3, {M (ISizeableStream, getStreamSize, tresult, int64&),
	                   M (ISizeableStream, setStreamSize, tresult, int64)});
	expectMethods (3, {M (IDependent, update, void, FUnknown*, int32)});
	expectMethods (3, {S (IUpdateHandler, addDependent), S (IUpdateHandler, removeDependent),
	                   S (IUpdateHandler, triggerUpdates), S (IUpdateHandler, deferUpdates)});
	expectMethods (3, {S (IComponent, initialize), S (IComponent, terminate),
	                   M (IComponent, getControllerClassId, tresult, TUID), M (IComponent, setIoMode, tresult, IoMode),
	                   M (IComponent, getBusCount, int32, MediaType, BusDirection),
	                   M (IComponent, getBusInfo, tresult, MediaType, BusDirection, int32, BusInfo&),
	                   M (IComponent, getRoutingInfo, tresult, RoutingInfo&, RoutingInfo&),
	                   M (IComponent, activateBus, tresult, MediaType, BusDirection, int32, TBool),
	                   M (IComponent, setActive, tresult, TBool), M (IComponent, setState, tresult, IBStream*),
	                   M (IComponent, getState, tresult, IBStream*)});
	expectMethods (3, {
	                   M (IAudioProcessor, setBusArrangements, tresult, SpeakerArrangement*, int32, SpeakerArrangement*, int32),
	                   M (IAudioProcessor, getBusArrangement, tresult, BusDirection, int32, SpeakerArrangement&),
	                   M (IAudioProcessor, canProcessSampleSize, tresult, int32),
	                   M (IAudioProcessor, getLatencySamples, uint32),
	                   M (IAudioProcessor, setupProcessing, tresult, ProcessSetup&),
	                   M (IAudioProcessor, setProcessing, tresult, TBool),
	                   M (IAudioProcessor, process, tresult, ProcessData&),
	                   M (IAudioProcessor, getTailSamples, uint32)});
	expectMethods (3, {M (IProcessContextRequirements, getProcessContextRequirements, uint32)});
	expectMethods (3, {M (IConnectionPoint, connect, tresult, IConnectionPoint*), S (IConnectionPoint, disconnect),
	                   M (IConnectionPoint, notify, tresult, IMessage*)});
	expectMethods (3, {M (IMessage, getMessageID, FIDString), M (IMessage, setMessageID, void, FIDString),
	                   M (IMessage, getAttributes, IAttributeList*)});
	expectMethods (3, {M (IAttributeList, setInt, tresult, IAttributeList::AttrID, int64), S (IAttributeList, getInt),
	                   S (IAttributeList, setFloat),
	                   M (IAttributeList, getFloat, tresult, IAttributeList::AttrID, double&),
	                   M (IAttributeList, setString, tresult, IAttributeList::AttrID, const TChar*),
	                   M (IAttributeList, getString, tresult, IAttributeList::AttrID, TChar*, uint32),
	                   M (IAttributeList, setBinary, tresult, IAttributeList::AttrID, const void*, uint32),
	                   M (IAttributeList, getBinary, tresult, IAttributeList::AttrID, const void*&, uint32&)});
	expectMethods (3, {M (IHostApplication, getName, tresult, String128),
	                   M (IHostApplication, createInstance, tresult, TUID, TUID, void**)});
	expectMethods (3, {M (IParameterChanges, getParameterCount, int32),
	                   M (IParameterChanges, getParameterData, IParamValueQueue*, int32),
	                   M (IParameterChanges, addParameterData, IParamValueQueue*, const ParamID&, int32&)});
	expectMethods (3, {M (IParamValueQueue, getParameterId, ParamID), S (IParamValueQueue, getPointCount),
	                   M (IParamValueQueue, getPoint, tresult, int32, int32&, ParamValue&),
	                   M (IParamValueQueue, addPoint, tresult, int32, ParamValue, int32&)});
	expectMethods (3, {S (IEventList, getEventCount), M (IEventList, getEvent, tresult, int32, Event&),
	                   S (IEventList, addEvent)});
	expectMethods (3, {S (IEditController, initialize), S (IEditController, terminate),
	                   M (IEditController, setComponentState, tresult, IBStream*), S (IEditController, setState),
	                   S (IEditController, getState), M (IEditController, getParameterCount, int32),
	                   M (IEditController, getParameterInfo, tresult, int32, ParameterInfo&),
	                   M (IEditController, getParamStringByValue, tresult, ParamID, ParamValue, String128),
	                   M (IEditController, getParamValueByString, tresult, ParamID, TChar*, ParamValue&),
	                   M (IEditController, normalizedParamToPlain, ParamValue, ParamID, ParamValue),
	                   M (IEditController, plainParamToNormalized, ParamValue, ParamID, ParamValue),
	                   M (IEditController, getParamNormalized, ParamValue, ParamID),
	                   M (IEditController, setParamNormalized, tresult, ParamID, ParamValue),
	                   M (IEditController, setComponentHandler, tresult, IComponentHandler*),
	                   M (IEditController, createView, IPlugView*, FIDString)});
	expectMethods (3, {M (IEditController2, setKnobMode, tresult, KnobMode),
	                   M (IEditController2, openHelp, tresult, TBool), S (IEditController2, openAboutBox)});
	expectMethods (3, {S (IComponentHandler, beginEdit),
	                   M (IComponentHandler, performEdit, tresult, ParamID, ParamValue), S (IComponentHandler, endEdit),
	                   M (IComponentHandler, restartComponent, tresult, int32)});
	expectMethods (3, {S (IComponentHandler2, setDirty), M (IComponentHandler2, requestOpenEditor, tresult, FIDString),
	                   S (IComponentHandler2, startGroupEdit), S (IComponentHandler2, finishGroupEdit)});
	expectMethods (3, {S (IComponentHandlerBusActivation, requestBusActivation)});
	expectMethods (3, {S (IEditControllerHostEditing, beginEditFromHost),
	                   S (IEditControllerHostEditing, endEditFromHost)});
	expectMethods (3, {M (IMidiMapping, getMidiControllerAssignment, tresult, int32, int16, CtrlNumber, ParamID&)});
	expectMethods (3, {S (IUnitInfo, getUnitCount), S (IUnitInfo, getUnitInfo), S (IUnitInfo, getProgramListCount),
	                   S (IUnitInfo, getProgramListInfo), S (IUnitInfo, getProgramName),
	                   M (IUnitInfo, getProgramInfo, tresult, ProgramListID, int32, CString, String128),
	                   S (IUnitInfo, hasProgramPitchNames),
	                   M (IUnitInfo, getProgramPitchName, tresult, ProgramListID, int32, int16, String128),
	                   M (IUnitInfo, getSelectedUnit, UnitID), S (IUnitInfo, selectUnit), S (IUnitInfo, getUnitByBus),
	                   S (IUnitInfo, setUnitProgramData)});
	expectMethods (3, {S (IUnitHandler, notifyUnitSelection), S (IUnitHandler, notifyProgramListChange)});
	expectMethods (3, {S (IUnitHandler2, notifyUnitByBusChange)});
	expectMethods (3, {S (IStreamAttributes, getFileName), S (IStreamAttributes, getAttributes)});
	expectMethods (3, {M (IPlugInterfaceSupport, isPlugInterfaceSupported, tresult, const TUID)});
	expectMethods (3, {S (IParameterFinder, findParameter)});
	expectMethods (3, {S (IPlugView, isPlatformTypeSupported), M (IPlugView, attached, tresult, void*, FIDString),
	                   S (IPlugView, removed), M (IPlugView, onWheel, tresult, float),
	                   M (IPlugView, onKeyDown, tresult, char16, int16, int16), S (IPlugView, onKeyUp),
	                   M (IPlugView, getSize, tresult, ViewRect*), S (IPlugView, onSize),
	                   M (IPlugView, onFocus, tresult, TBool), M (IPlugView, setFrame, tresult, IPlugFrame*),
	                   S (IPlugView, canResize), S (IPlugView, checkSizeConstraint)});
	expectMethods (3, {M (IPlugFrame, resizeView, tresult, IPlugView*, ViewRect*)});
	expectMethods (3, {M (IPlugViewContentScaleSupport, setContentScaleFactor, tresult, float)});
	expectMethods (3, {M (Linux::IRunLoop, registerEventHandler, tresult, Linux::IEventHandler*, int),
	                   S (Linux::IRunLoop, unregisterEventHandler),
	                   M (Linux::IRunLoop, registerTimer, tresult, Linux::ITimerHandler*, uint64),
	                   S (Linux::IRunLoop, unregisterTimer)});
	expectMethods (3, {M (Linux::IEventHandler, onFDIsSet, void, int)});
	expectMethods (3, {M (Linux::ITimerHandler, onTimer, void)});
}

// A value from a declaration next to the published one.
struct Fact
{
	const char* name;
	long long actual, expected;
};
#define SIZE(T, v) Fact{"sizeof " #T, static_cast<long long>(sizeof(T)), v}
#define ALIGN(T, v) Fact{"alignof " #T, static_cast<long long>(alignof(T)), v}
#define AT(T, m, v) Fact{#T "::" #m, static_cast<long long>(offsetof(T, m)), v}
#define IS(c, v) Fact{#c, static_cast<long long>(c), v}

void expectFacts(std::initializer_list<Fact> facts)
{
	for (const Fact& f : facts)
		EXPECT_EQ(f.actual, f.expected) << f.name;
}

TEST(Abi, ScalarTypes)
{
	static_assert(std::is_same<int8, char>::value && std::is_same<int64, long long>::value, "");
	static_assert(std::is_same<TBool, unsigned char>::value && std::is_same<char16, char16_t>::value, "");
	static_assert(std::is_same<ParamID, unsigned int>::value && std::is_same<ParamValue, double>::value, "");
	static_assert(std::is_same<SpeakerArrangement, unsigned long long>::value, "");
	static_assert(std::is_same<CtrlNumber, short>::value && std::is_same<TSamples, long long>::value, "");
	static_assert(sizeof(TUID) == 16 && sizeof(String128) == 256 && sizeof(TPtrInt) == 8, "");
	static_assert(std::is_same<IPlugViewContentScaleSupport::ScaleFactor, float>::value, "");
	static_assert(std::is_same<Linux::TimerInterval, unsigned long long>::value, "");
	static_assert(std::is_same<Linux::FileDescriptor, int>::value, "");
	EXPECT_EQ(kNoParamId, 0xFFFFFFFFu);
}

TEST(Abi, StructLayouts)
{
	expectFacts({
	    SIZE(PFactoryInfo, 452), AT(PFactoryInfo, url, 64), AT(PFactoryInfo, email, 320), AT(PFactoryInfo, flags, 448),
	    SIZE(PClassInfo, 116), AT(PClassInfo, cardinality, 16), AT(PClassInfo, category, 20), AT(PClassInfo, name, 52),
	    SIZE(PClassInfo2, 440), AT(PClassInfo2, classFlags, 116), AT(PClassInfo2, subCategories, 120),
	    AT(PClassInfo2, vendor, 248), AT(PClassInfo2, version, 312), AT(PClassInfo2, sdkVersion, 376),
	    SIZE(PClassInfoW, 696), AT(PClassInfoW, category, 20), AT(PClassInfoW, name, 52),
	    AT(PClassInfoW, classFlags, 180), AT(PClassInfoW, subCategories, 184), AT(PClassInfoW, vendor, 312),
	    AT(PClassInfoW, version, 440), AT(PClassInfoW, sdkVersion, 568),
	    SIZE(BusInfo, 276), ALIGN(BusInfo, 4), AT(BusInfo, direction, 4), AT(BusInfo, channelCount, 8),
	    AT(BusInfo, name, 12), AT(BusInfo, busType, 268), AT(BusInfo, flags, 272),
	    SIZE(RoutingInfo, 12), AT(RoutingInfo, busIndex, 4), AT(RoutingInfo, channel, 8),
	    SIZE(ProcessSetup, 24), ALIGN(ProcessSetup, 8), AT(ProcessSetup, symbolicSampleSize, 4),
	    AT(ProcessSetup, maxSamplesPerBlock, 8), AT(ProcessSetup, sampleRate, 16),
	    SIZE(AudioBusBuffers, 24), AT(AudioBusBuffers, silenceFlags, 8), AT(AudioBusBuffers, channelBuffers32, 16),
	    AT(AudioBusBuffers, channelBuffers64, 16),
	    SIZE(ProcessData, 80), AT(ProcessData, symbolicSampleSize, 4), AT(ProcessData, numSamples, 8),
	    AT(ProcessData, numInputs, 12), AT(ProcessData, numOutputs, 16), AT(ProcessData, inputs, 24),
	    AT(ProcessData, outputs, 32), AT(ProcessData, inputParameterChanges, 40),
	    AT(ProcessData, outputParameterChanges, 48), AT(ProcessData, inputEvents, 56),
	    AT(ProcessData, outputEvents, 64), AT(ProcessData, processContext, 72),
	    SIZE(ProcessContext, 112), AT(ProcessContext, sampleRate, 8), AT(ProcessContext, projectTimeSamples, 16),
	    AT(ProcessContext, systemTime, 24), AT(ProcessContext, continousTimeSamples, 32),
	    AT(ProcessContext, projectTimeMusic, 40), AT(ProcessContext, barPositionMusic, 48),
	    AT(ProcessContext, cycleStartMusic, 56), AT(ProcessContext, cycleEndMusic, 64), AT(ProcessContext, tempo, 72),
	    AT(ProcessContext, timeSigNumerator, 80), AT(ProcessContext, timeSigDenominator, 84),
	    AT(ProcessContext, chord, 88), AT(ProcessContext, smpteOffsetSubframes, 92), AT(ProcessContext, frameRate, 96),
	    AT(ProcessContext, samplesToNextClock, 104),
	    SIZE(Chord, 4), AT(Chord, rootNote, 1), AT(Chord, chordMask, 2), SIZE(FrameRate, 8), AT(FrameRate, flags, 4),
	    SIZE(ParameterInfo, 792), ALIGN(ParameterInfo, 8), AT(ParameterInfo, title, 4),
	    AT(ParameterInfo, shortTitle, 260), AT(ParameterInfo, units, 516), AT(ParameterInfo, stepCount, 772),
	    AT(ParameterInfo, defaultNormalizedValue, 776), AT(ParameterInfo, unitId, 784), AT(ParameterInfo, flags, 788),
	    SIZE(ViewRect, 16), AT(ViewRect, top, 4), AT(ViewRect, right, 8), AT(ViewRect, bottom, 12),
	    SIZE(UnitInfo, 268), AT(UnitInfo, parentUnitId, 4), AT(UnitInfo, name, 8), AT(UnitInfo, programListId, 264),
	    SIZE(ProgramListInfo, 264), AT(ProgramListInfo, name, 4), AT(ProgramListInfo, programCount, 260),
	    SIZE(Event, 48), ALIGN(Event, 8), AT(Event, sampleOffset, 4), AT(Event, ppqPosition, 8), AT(Event, flags, 16),
	    AT(Event, type, 18), AT(Event, noteOn, 24),
	});
}

TEST(Abi, ConstantsAndStrings)
{
	using R = IProcessContextRequirements;
	using C = ProcessContext;
	using P = ParameterInfo;
	expectFacts({
	    IS(kNoInterface, -1), IS(kResultOk, 0), IS(kResultTrue, 0), IS(kResultFalse, 1), IS(kInvalidArgument, 2),
	    IS(kNotImplemented, 3), IS(kInternalError, 4), IS(kNotInitialized, 5), IS(kOutOfMemory, 6),
	    IS(PFactoryInfo::kClassesDiscardable, 1), IS(PFactoryInfo::kLicenseCheck, 2),
	    IS(PFactoryInfo::kComponentNonDiscardable, 8), IS(PFactoryInfo::kUnicode, 16), IS(kDefaultFactoryFlags, 16),
	    IS(PClassInfo::kManyInstances, 0x7FFFFFFF), IS(kDistributable, 1), IS(kSimpleModeSupported, 2),
	    IS(kSample32, 0), IS(kSample64, 1), IS(kRealtime, 0), IS(kPrefetch, 1), IS(kOffline, 2), IS(kNoTail, 0),
	    IS(kInfiniteTail, 0xFFFFFFFF), IS(kAudio, 0), IS(kEvent, 1), IS(kInput, 0), IS(kOutput, 1), IS(kMain, 0),
	    IS(kAux, 1), IS(kSimple, 0), IS(kAdvanced, 1), IS(kOfflineProcessing, 2), IS(BusInfo::kDefaultActive, 1),
	    IS(BusInfo::kIsControlVoltage, 2), IS(IBStream::kIBSeekSet, 0), IS(IBStream::kIBSeekCur, 1),
	    IS(IBStream::kIBSeekEnd, 2), IS(P::kCanAutomate, 0x1), IS(P::kIsReadOnly, 0x2), IS(P::kIsWrapAround, 0x4),
	    IS(P::kIsList, 0x8), IS(P::kIsHidden, 0x10), IS(P::kIsProgramChange, 0x8000), IS(P::kIsBypass, 0x10000),
	    IS(kRootUnitId, 0), IS(kNoParentUnitId, -1), IS(kNoProgramListId, -1), IS(kCircularMode, 0),
	    IS(kRelativCircularMode, 1), IS(kLinearMode, 2),
	    // Restart flags, transport state bits and context needs are bit positions.
	    IS(kReloadComponent, 1 << 0), IS(kIoChanged, 1 << 1), IS(kParamValuesChanged, 1 << 2),
	    IS(kLatencyChanged, 1 << 3), IS(kParamTitlesChanged, 1 << 4), IS(kMidiCCAssignmentChanged, 1 << 5),
	    IS(kNoteExpressionChanged, 1 << 6), IS(kIoTitlesChanged, 1 << 7), IS(kPrefetchableSupportChanged, 1 << 8),
	    IS(kRoutingInfoChanged, 1 << 9), IS(kKeyswitchChanged, 1 << 10),
	    IS(C::kPlaying, 1 << 1), IS(C::kCycleActive, 1 << 2), IS(C::kRecording, 1 << 3),
	    IS(C::kSystemTimeValid, 1 << 8), IS(C::kProjectTimeMusicValid, 1 << 9), IS(C::kTempoValid, 1 << 10),
	    IS(C::kBarPositionValid, 1 << 11), IS(C::kCycleValid, 1 << 12), IS(C::kTimeSigValid, 1 << 13),
	    IS(C::kSmpteValid, 1 << 14), IS(C::kClockValid, 1 << 15), IS(C::kContTimeValid, 1 << 17),
	    IS(C::kChordValid, 1 << 18),
	    IS(R::kNeedSystemTime, 1 << 0), IS(R::kNeedContinousTimeSamples, 1 << 1), IS(R::kNeedProjectTimeMusic, 1 << 2),
	    IS(R::kNeedBarPositionMusic, 1 << 3), IS(R::kNeedCycleMusic, 1 << 4), IS(R::kNeedSamplesToNextClock, 1 << 5),
	    IS(R::kNeedTempo, 1 << 6), IS(R::kNeedTimeSignature, 1 << 7), IS(R::kNeedChord, 1 << 8),
	    IS(R::kNeedFrameRate, 1 << 9), IS(R::kNeedTransportState, 1 << 10),
	});
	// The two class categories are checked in the bundle's class information.
	EXPECT_STREQ(kVstVersionString, "VST 3.7.3");
	EXPECT_STREQ(ViewType::kEditor, "editor");
	EXPECT_STREQ(PlugType::kFxReverb, "Fx|Reverb");
	EXPECT_STREQ(kPlatformTypeX11EmbedWindowID, "X11EmbedWindowID");
}

TEST(Abi, SpeakerBitsArrangementsAndChannelCounts)
{
	const Speaker speakers[] = {kSpeakerL,   kSpeakerR,   kSpeakerC,   kSpeakerLfe, kSpeakerLs,
	                            kSpeakerRs,  kSpeakerLc,  kSpeakerRc,  kSpeakerS,   kSpeakerSl,
	                            kSpeakerSr,  kSpeakerTc,  kSpeakerTfl, kSpeakerTfc, kSpeakerTfr,
	                            kSpeakerTrl, kSpeakerTrc, kSpeakerTrr, kSpeakerLfe2, kSpeakerM};
	for (int bit = 0; bit < 20; ++bit)
		EXPECT_EQ(speakers[bit], 1ULL << bit) << bit;
	using namespace SpeakerArr;
	expectFacts({IS(kSpeakerCs, kSpeakerS), IS(kEmpty, 0x0), IS(kMono, 0x80000), IS(kStereo, 0x3), IS(k30Cine, 0x7),
	             IS(k40Music, 0x33), IS(k50, 0x37), IS(k51, 0x3F), IS(k71Cine, 0xFF), IS(k71Music, 0x63F)});
	EXPECT_EQ(getSpeakerIndex(kSpeakerLs, k51), 4);
	EXPECT_EQ(getSpeakerIndex(kSpeakerR, kStereo), 1);
	EXPECT_EQ(getSpeakerIndex(kSpeakerM, kStereo), -1);
	// The channel count is the number of speaker bits.
	const std::pair<SpeakerArrangement, int32> counts[] = {{kEmpty, 0}, {kMono, 1},     {kStereo, 2},
	                                                       {k51, 6},    {k71Music, 8}, {~0ULL, 64}};
	for (const auto& c : counts)
		EXPECT_EQ(getChannelCount(c.first), c.second) << c.first;
}
