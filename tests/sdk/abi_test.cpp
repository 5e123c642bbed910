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
template <class I>
constexpr bool pureInterface()
{
	return std::is_polymorphic<I>::value && sizeof(I) == sizeof(void*) &&
	       !std::has_virtual_destructor<I>::value;
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
	for (const Row& r : rows)
		EXPECT_EQ(r.words, text(r.iid));
	// On Linux the TUID is the four words written out most significant byte first.
	const uint8 component[16] = {0xE8, 0x31, 0xFF, 0x31, 0xF2, 0xD5, 0x43, 0x01,
	                             0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
	EXPECT_EQ(0, std::memcmp(IComponent::iid.toTUID(), component, 16));
}

TEST(Abi, InterfaceBasesAndShape)
{
	EXPECT_TRUE((std::is_base_of<FUnknown, IPluginBase>::value));
	EXPECT_TRUE((std::is_base_of<IPluginBase, IComponent>::value));
	EXPECT_TRUE((std::is_base_of<IPluginBase, IEditController>::value));
	EXPECT_TRUE((std::is_base_of<IPluginFactory, IPluginFactory2>::value));
	EXPECT_TRUE((std::is_base_of<IPluginFactory2, IPluginFactory3>::value));
	EXPECT_FALSE((std::is_base_of<IPluginBase, IAudioProcessor>::value));
	EXPECT_FALSE((std::is_base_of<IEditController, IEditController2>::value));
	EXPECT_TRUE(pureInterface<FUnknown>());
	EXPECT_TRUE(pureInterface<IPluginBase>());
	EXPECT_TRUE(pureInterface<IComponent>());
	EXPECT_TRUE(pureInterface<IAudioProcessor>());
	EXPECT_TRUE(pureInterface<IProcessContextRequirements>());
	EXPECT_TRUE(pureInterface<IEditController>());
	EXPECT_TRUE(pureInterface<IEditController2>());
	EXPECT_TRUE(pureInterface<IPluginFactory3>());
	EXPECT_TRUE(pureInterface<IBStream>());
	EXPECT_TRUE(pureInterface<IConnectionPoint>());
	EXPECT_TRUE(pureInterface<IMessage>());
	EXPECT_TRUE(pureInterface<IAttributeList>());
	EXPECT_TRUE(pureInterface<IParameterChanges>());
	EXPECT_TRUE(pureInterface<IParamValueQueue>());
	EXPECT_TRUE(pureInterface<IHostApplication>());
	EXPECT_TRUE(pureInterface<IComponentHandler>());
	EXPECT_TRUE(pureInterface<IPlugView>());
	EXPECT_TRUE(pureInterface<IPlugFrame>());
	EXPECT_TRUE(pureInterface<Linux::IRunLoop>());
}

TEST(Abi, BaseAndFactorySlots)
{
	EXPECT_EQ(0, slot(&FUnknown::queryInterface));
	EXPECT_EQ(1, slot(&FUnknown::addRef));
	EXPECT_EQ(2, slot(&FUnknown::release));
	EXPECT_EQ(3, slot(&IPluginBase::initialize));
	EXPECT_EQ(4, slot(&IPluginBase::terminate));
	EXPECT_EQ(3, slot(&IPluginFactory::getFactoryInfo));
	EXPECT_EQ(4, slot(&IPluginFactory::countClasses));
	EXPECT_EQ(5, slot(&IPluginFactory::getClassInfo));
	EXPECT_EQ(6, slot(&IPluginFactory::createInstance));
	EXPECT_EQ(7, slot(&IPluginFactory2::getClassInfo2));
	EXPECT_EQ(8, slot(&IPluginFactory3::getClassInfoUnicode));
	EXPECT_EQ(9, slot(&IPluginFactory3::setHostContext));
	EXPECT_EQ(3, slot(&IBStream::read));
	EXPECT_EQ(4, slot(&IBStream::write));
	EXPECT_EQ(5, slot(&IBStream::seek));
	EXPECT_EQ(6, slot(&IBStream::tell));
	EXPECT_EQ(3, slot(&ISizeableStream::getStreamSize));
	EXPECT_EQ(4, slot(&ISizeableStream::setStreamSize));
	EXPECT_EQ(3, slot(&IDependent::update));
	EXPECT_EQ(3, slot(&IUpdateHandler::addDependent));
	EXPECT_EQ(4, slot(&IUpdateHandler::removeDependent));
	EXPECT_EQ(5, slot(&IUpdateHandler::triggerUpdates));
	EXPECT_EQ(6, slot(&IUpdateHandler::deferUpdates));
}

TEST(Abi, ComponentAndProcessorSlots)
{
	EXPECT_EQ(3, slot(&IComponent::initialize));
	EXPECT_EQ(5, slot(&IComponent::getControllerClassId));
	EXPECT_EQ(6, slot(&IComponent::setIoMode));
	EXPECT_EQ(7, slot(&IComponent::getBusCount));
	EXPECT_EQ(8, slot(&IComponent::getBusInfo));
	EXPECT_EQ(9, slot(&IComponent::getRoutingInfo));
	EXPECT_EQ(10, slot(&IComponent::activateBus));
	EXPECT_EQ(11, slot(&IComponent::setActive));
	EXPECT_EQ(12, slot(&IComponent::setState));
	EXPECT_EQ(13, slot(&IComponent::getState));
	EXPECT_EQ(3, slot(&IAudioProcessor::setBusArrangements));
	EXPECT_EQ(4, slot(&IAudioProcessor::getBusArrangement));
	EXPECT_EQ(5, slot(&IAudioProcessor::canProcessSampleSize));
	EXPECT_EQ(6, slot(&IAudioProcessor::getLatencySamples));
	EXPECT_EQ(7, slot(&IAudioProcessor::setupProcessing));
	EXPECT_EQ(8, slot(&IAudioProcessor::setProcessing));
	EXPECT_EQ(9, slot(&IAudioProcessor::process));
	EXPECT_EQ(10, slot(&IAudioProcessor::getTailSamples));
	EXPECT_EQ(3, slot(&IProcessContextRequirements::getProcessContextRequirements));
	EXPECT_EQ(3, slot(&IConnectionPoint::connect));
	EXPECT_EQ(4, slot(&IConnectionPoint::disconnect));
	EXPECT_EQ(5, slot(&IConnectionPoint::notify));
	EXPECT_EQ(3, slot(&IMessage::getMessageID));
	EXPECT_EQ(4, slot(&IMessage::setMessageID));
	EXPECT_EQ(5, slot(&IMessage::getAttributes));
	EXPECT_EQ(3, slot(&IAttributeList::setInt));
	EXPECT_EQ(4, slot(&IAttributeList::getInt));
	EXPECT_EQ(5, slot(&IAttributeList::setFloat));
	EXPECT_EQ(6, slot(&IAttributeList::getFloat));
	EXPECT_EQ(7, slot(&IAttributeList::setString));
	EXPECT_EQ(8, slot(&IAttributeList::getString));
	EXPECT_EQ(9, slot(&IAttributeList::setBinary));
	EXPECT_EQ(10, slot(&IAttributeList::getBinary));
	EXPECT_EQ(3, slot(&IHostApplication::getName));
	EXPECT_EQ(4, slot(&IHostApplication::createInstance));
	EXPECT_EQ(3, slot(&IParameterChanges::getParameterCount));
	EXPECT_EQ(4, slot(&IParameterChanges::getParameterData));
	EXPECT_EQ(5, slot(&IParameterChanges::addParameterData));
	EXPECT_EQ(3, slot(&IParamValueQueue::getParameterId));
	EXPECT_EQ(4, slot(&IParamValueQueue::getPointCount));
	EXPECT_EQ(5, slot(&IParamValueQueue::getPoint));
	EXPECT_EQ(6, slot(&IParamValueQueue::addPoint));
	EXPECT_EQ(3, slot(&IEventList::getEventCount));
	EXPECT_EQ(4, slot(&IEventList::getEvent));
	EXPECT_EQ(5, slot(&IEventList::addEvent));
}

TEST(Abi, ControllerSlots)
{
	EXPECT_EQ(3, slot(&IEditController::initialize));
	EXPECT_EQ(5, slot(&IEditController::setComponentState));
	EXPECT_EQ(6, slot(&IEditController::setState));
	EXPECT_EQ(7, slot(&IEditController::getState));
	EXPECT_EQ(8, slot(&IEditController::getParameterCount));
	EXPECT_EQ(9, slot(&IEditController::getParameterInfo));
	EXPECT_EQ(10, slot(&IEditController::getParamStringByValue));
	EXPECT_EQ(11, slot(&IEditController::getParamValueByString));
	EXPECT_EQ(12, slot(&IEditController::normalizedParamToPlain));
	EXPECT_EQ(13, slot(&IEditController::plainParamToNormalized));
	EXPECT_EQ(14, slot(&IEditController::getParamNormalized));
	EXPECT_EQ(15, slot(&IEditController::setParamNormalized));
	EXPECT_EQ(16, slot(&IEditController::setComponentHandler));
	EXPECT_EQ(17, slot(&IEditController::createView));
	EXPECT_EQ(3, slot(&IEditController2::setKnobMode));
	EXPECT_EQ(4, slot(&IEditController2::openHelp));
	EXPECT_EQ(5, slot(&IEditController2::openAboutBox));
	EXPECT_EQ(3, slot(&IComponentHandler::beginEdit));
	EXPECT_EQ(4, slot(&IComponentHandler::performEdit));
	EXPECT_EQ(5, slot(&IComponentHandler::endEdit));
	EXPECT_EQ(6, slot(&IComponentHandler::restartComponent));
	EXPECT_EQ(3, slot(&IComponentHandler2::setDirty));
	EXPECT_EQ(4, slot(&IComponentHandler2::requestOpenEditor));
	EXPECT_EQ(5, slot(&IComponentHandler2::startGroupEdit));
	EXPECT_EQ(6, slot(&IComponentHandler2::finishGroupEdit));
	EXPECT_EQ(3, slot(&IComponentHandlerBusActivation::requestBusActivation));
	EXPECT_EQ(3, slot(&IEditControllerHostEditing::beginEditFromHost));
	EXPECT_EQ(4, slot(&IEditControllerHostEditing::endEditFromHost));
	EXPECT_EQ(3, slot(&IMidiMapping::getMidiControllerAssignment));
	EXPECT_EQ(3, slot(&IUnitInfo::getUnitCount));
	EXPECT_EQ(4, slot(&IUnitInfo::getUnitInfo));
	EXPECT_EQ(5, slot(&IUnitInfo::getProgramListCount));
	EXPECT_EQ(6, slot(&IUnitInfo::getProgramListInfo));
	EXPECT_EQ(7, slot(&IUnitInfo::getProgramName));
	EXPECT_EQ(8, slot(&IUnitInfo::getProgramInfo));
	EXPECT_EQ(9, slot(&IUnitInfo::hasProgramPitchNames));
	EXPECT_EQ(10, slot(&IUnitInfo::getProgramPitchName));
	EXPECT_EQ(11, slot(&IUnitInfo::getSelectedUnit));
	EXPECT_EQ(12, slot(&IUnitInfo::selectUnit));
	EXPECT_EQ(13, slot(&IUnitInfo::getUnitByBus));
	EXPECT_EQ(14, slot(&IUnitInfo::setUnitProgramData));
	EXPECT_EQ(3, slot(&IUnitHandler::notifyUnitSelection));
	EXPECT_EQ(4, slot(&IUnitHandler::notifyProgramListChange));
	EXPECT_EQ(3, slot(&IUnitHandler2::notifyUnitByBusChange));
	EXPECT_EQ(3, slot(&IStreamAttributes::getFileName));
	EXPECT_EQ(4, slot(&IStreamAttributes::getAttributes));
	EXPECT_EQ(3, slot(&IPlugInterfaceSupport::isPlugInterfaceSupported));
	EXPECT_EQ(3, slot(&IParameterFinder::findParameter));
}

TEST(Abi, ViewAndRunLoopSlots)
{
	EXPECT_EQ(3, slot(&IPlugView::isPlatformTypeSupported));
	EXPECT_EQ(4, slot(&IPlugView::attached));
	EXPECT_EQ(5, slot(&IPlugView::removed));
	EXPECT_EQ(6, slot(&IPlugView::onWheel));
	EXPECT_EQ(7, slot(&IPlugView::onKeyDown));
	EXPECT_EQ(8, slot(&IPlugView::onKeyUp));
	EXPECT_EQ(9, slot(&IPlugView::getSize));
	EXPECT_EQ(10, slot(&IPlugView::onSize));
	EXPECT_EQ(11, slot(&IPlugView::onFocus));
	EXPECT_EQ(12, slot(&IPlugView::setFrame));
	EXPECT_EQ(13, slot(&IPlugView::canResize));
	EXPECT_EQ(14, slot(&IPlugView::checkSizeConstraint));
	EXPECT_EQ(3, slot(&IPlugFrame::resizeView));
	EXPECT_EQ(3, slot(&IPlugViewContentScaleSupport::setContentScaleFactor));
	EXPECT_EQ(3, slot(&Linux::IRunLoop::registerEventHandler));
	EXPECT_EQ(4, slot(&Linux::IRunLoop::unregisterEventHandler));
	EXPECT_EQ(5, slot(&Linux::IRunLoop::registerTimer));
	EXPECT_EQ(6, slot(&Linux::IRunLoop::unregisterTimer));
	EXPECT_EQ(3, slot(&Linux::IEventHandler::onFDIsSet));
	EXPECT_EQ(3, slot(&Linux::ITimerHandler::onTimer));
}

// Exact member signatures: return and parameter types as the host calls them.
#define EXPECT_SIGNATURE(Class, method, Ret, ...) \
	EXPECT_TRUE((std::is_same<decltype(&Class::method), Ret (Class::*)(__VA_ARGS__)>::value)) << #Class "::" #method

TEST(Abi, MethodSignatures)
{
	EXPECT_SIGNATURE(FUnknown, queryInterface, tresult, const TUID, void**);
	EXPECT_SIGNATURE(FUnknown, addRef, uint32);
	EXPECT_SIGNATURE(FUnknown, release, uint32);
	EXPECT_SIGNATURE(IPluginBase, initialize, tresult, FUnknown*);
	EXPECT_SIGNATURE(IPluginBase, terminate, tresult);
	EXPECT_SIGNATURE(IPluginFactory, getFactoryInfo, tresult, PFactoryInfo*);
	EXPECT_SIGNATURE(IPluginFactory, countClasses, int32);
	EXPECT_SIGNATURE(IPluginFactory, getClassInfo, tresult, int32, PClassInfo*);
	EXPECT_SIGNATURE(IPluginFactory, createInstance, tresult, FIDString, FIDString, void**);
	EXPECT_SIGNATURE(IPluginFactory2, getClassInfo2, tresult, int32, PClassInfo2*);
	EXPECT_SIGNATURE(IPluginFactory3, getClassInfoUnicode, tresult, int32, PClassInfoW*);
	EXPECT_SIGNATURE(IPluginFactory3, setHostContext, tresult, FUnknown*);
	EXPECT_SIGNATURE(IBStream, read, tresult, void*, int32, int32*);
	EXPECT_SIGNATURE(IBStream, write, tresult, void*, int32, int32*);
	EXPECT_SIGNATURE(IBStream, seek, tresult, int64, int32, int64*);
	EXPECT_SIGNATURE(IBStream, tell, tresult, int64*);
	EXPECT_SIGNATURE(ISizeableStream, getStreamSize, tresult, int64&);
	EXPECT_SIGNATURE(ISizeableStream, setStreamSize, tresult, int64);

	EXPECT_SIGNATURE(IComponent, getControllerClassId, tresult, TUID);
	EXPECT_SIGNATURE(IComponent, setIoMode, tresult, IoMode);
	EXPECT_SIGNATURE(IComponent, getBusCount, int32, MediaType, BusDirection);
	EXPECT_SIGNATURE(IComponent, getBusInfo, tresult, MediaType, BusDirection, int32, BusInfo&);
	EXPECT_SIGNATURE(IComponent, getRoutingInfo, tresult, RoutingInfo&, RoutingInfo&);
	EXPECT_SIGNATURE(IComponent, activateBus, tresult, MediaType, BusDirection, int32, TBool);
	EXPECT_SIGNATURE(IComponent, setActive, tresult, TBool);
	EXPECT_SIGNATURE(IComponent, setState, tresult, IBStream*);
	EXPECT_SIGNATURE(IComponent, getState, tresult, IBStream*);
	EXPECT_SIGNATURE(IAudioProcessor, setBusArrangements, tresult, SpeakerArrangement*, int32,
	                 SpeakerArrangement*, int32);
	EXPECT_SIGNATURE(IAudioProcessor, getBusArrangement, tresult, BusDirection, int32, SpeakerArrangement&);
	EXPECT_SIGNATURE(IAudioProcessor, canProcessSampleSize, tresult, int32);
	EXPECT_SIGNATURE(IAudioProcessor, getLatencySamples, uint32);
	EXPECT_SIGNATURE(IAudioProcessor, setupProcessing, tresult, ProcessSetup&);
	EXPECT_SIGNATURE(IAudioProcessor, setProcessing, tresult, TBool);
	EXPECT_SIGNATURE(IAudioProcessor, process, tresult, ProcessData&);
	EXPECT_SIGNATURE(IAudioProcessor, getTailSamples, uint32);
	EXPECT_SIGNATURE(IProcessContextRequirements, getProcessContextRequirements, uint32);

	EXPECT_SIGNATURE(IEditController, setComponentState, tresult, IBStream*);
	EXPECT_SIGNATURE(IEditController, getParameterCount, int32);
	EXPECT_SIGNATURE(IEditController, getParameterInfo, tresult, int32, ParameterInfo&);
	EXPECT_SIGNATURE(IEditController, getParamStringByValue, tresult, ParamID, ParamValue, String128);
	EXPECT_SIGNATURE(IEditController, getParamValueByString, tresult, ParamID, TChar*, ParamValue&);
	EXPECT_SIGNATURE(IEditController, normalizedParamToPlain, ParamValue, ParamID, ParamValue);
	EXPECT_SIGNATURE(IEditController, plainParamToNormalized, ParamValue, ParamID, ParamValue);
	EXPECT_SIGNATURE(IEditController, getParamNormalized, ParamValue, ParamID);
	EXPECT_SIGNATURE(IEditController, setParamNormalized, tresult, ParamID, ParamValue);
	EXPECT_SIGNATURE(IEditController, setComponentHandler, tresult, IComponentHandler*);
	EXPECT_SIGNATURE(IEditController, createView, IPlugView*, FIDString);
	EXPECT_SIGNATURE(IEditController2, setKnobMode, tresult, KnobMode);
	EXPECT_SIGNATURE(IEditController2, openHelp, tresult, TBool);
	EXPECT_SIGNATURE(IComponentHandler, performEdit, tresult, ParamID, ParamValue);
	EXPECT_SIGNATURE(IComponentHandler, restartComponent, tresult, int32);
	EXPECT_SIGNATURE(IComponentHandler2, requestOpenEditor, tresult, FIDString);

	EXPECT_SIGNATURE(IConnectionPoint, connect, tresult, IConnectionPoint*);
	EXPECT_SIGNATURE(IConnectionPoint, notify, tresult, IMessage*);
	EXPECT_SIGNATURE(IMessage, getMessageID, FIDString);
	EXPECT_SIGNATURE(IMessage, setMessageID, void, FIDString);
	EXPECT_SIGNATURE(IMessage, getAttributes, IAttributeList*);
	EXPECT_SIGNATURE(IAttributeList, setInt, tresult, IAttributeList::AttrID, int64);
	EXPECT_SIGNATURE(IAttributeList, getFloat, tresult, IAttributeList::AttrID, double&);
	EXPECT_SIGNATURE(IAttributeList, setString, tresult, IAttributeList::AttrID, const TChar*);
	EXPECT_SIGNATURE(IAttributeList, getString, tresult, IAttributeList::AttrID, TChar*, uint32);
	EXPECT_SIGNATURE(IAttributeList, setBinary, tresult, IAttributeList::AttrID, const void*, uint32);
	EXPECT_SIGNATURE(IAttributeList, getBinary, tresult, IAttributeList::AttrID, const void*&, uint32&);
	EXPECT_SIGNATURE(IHostApplication, getName, tresult, String128);
	EXPECT_SIGNATURE(IHostApplication, createInstance, tresult, TUID, TUID, void**);
	EXPECT_SIGNATURE(IParameterChanges, getParameterCount, int32);
	EXPECT_SIGNATURE(IParameterChanges, getParameterData, IParamValueQueue*, int32);
	EXPECT_SIGNATURE(IParameterChanges, addParameterData, IParamValueQueue*, const ParamID&, int32&);
	EXPECT_SIGNATURE(IParamValueQueue, getParameterId, ParamID);
	EXPECT_SIGNATURE(IParamValueQueue, getPoint, tresult, int32, int32&, ParamValue&);
	EXPECT_SIGNATURE(IParamValueQueue, addPoint, tresult, int32, ParamValue, int32&);
	EXPECT_SIGNATURE(IEventList, getEvent, tresult, int32, Event&);

	EXPECT_SIGNATURE(IPlugView, attached, tresult, void*, FIDString);
	EXPECT_SIGNATURE(IPlugView, onWheel, tresult, float);
	EXPECT_SIGNATURE(IPlugView, onKeyDown, tresult, char16, int16, int16);
	EXPECT_SIGNATURE(IPlugView, getSize, tresult, ViewRect*);
	EXPECT_SIGNATURE(IPlugView, onFocus, tresult, TBool);
	EXPECT_SIGNATURE(IPlugView, setFrame, tresult, IPlugFrame*);
	EXPECT_SIGNATURE(IPlugFrame, resizeView, tresult, IPlugView*, ViewRect*);
	EXPECT_SIGNATURE(IPlugViewContentScaleSupport, setContentScaleFactor, tresult, float);
	EXPECT_SIGNATURE(Linux::IRunLoop, registerEventHandler, tresult, Linux::IEventHandler*, int);
	EXPECT_SIGNATURE(Linux::IRunLoop, registerTimer, tresult, Linux::ITimerHandler*, uint64);
	EXPECT_SIGNATURE(Linux::IEventHandler, onFDIsSet, void, int);
	EXPECT_SIGNATURE(Linux::ITimerHandler, onTimer, void);
	EXPECT_SIGNATURE(IDependent, update, void, FUnknown*, int32);
	EXPECT_SIGNATURE(IUnitInfo, getProgramInfo, tresult, ProgramListID, int32, CString, String128);
	EXPECT_SIGNATURE(IUnitInfo, getProgramPitchName, tresult, ProgramListID, int32, int16, String128);
	EXPECT_SIGNATURE(IUnitInfo, getSelectedUnit, UnitID);
	EXPECT_SIGNATURE(IMidiMapping, getMidiControllerAssignment, tresult, int32, int16, CtrlNumber, ParamID&);
	EXPECT_SIGNATURE(IPlugInterfaceSupport, isPlugInterfaceSupported, tresult, const TUID);
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
	EXPECT_EQ(sizeof(PFactoryInfo), 452u);
	EXPECT_EQ(offsetof(PFactoryInfo, url), 64u);
	EXPECT_EQ(offsetof(PFactoryInfo, email), 320u);
	EXPECT_EQ(offsetof(PFactoryInfo, flags), 448u);

	EXPECT_EQ(sizeof(PClassInfo), 116u);
	EXPECT_EQ(offsetof(PClassInfo, cardinality), 16u);
	EXPECT_EQ(offsetof(PClassInfo, category), 20u);
	EXPECT_EQ(offsetof(PClassInfo, name), 52u);

	EXPECT_EQ(sizeof(PClassInfo2), 440u);
	EXPECT_EQ(offsetof(PClassInfo2, classFlags), 116u);
	EXPECT_EQ(offsetof(PClassInfo2, subCategories), 120u);
	EXPECT_EQ(offsetof(PClassInfo2, vendor), 248u);
	EXPECT_EQ(offsetof(PClassInfo2, version), 312u);
	EXPECT_EQ(offsetof(PClassInfo2, sdkVersion), 376u);

	EXPECT_EQ(sizeof(PClassInfoW), 696u);
	EXPECT_EQ(offsetof(PClassInfoW, category), 20u);
	EXPECT_EQ(offsetof(PClassInfoW, name), 52u);
	EXPECT_EQ(offsetof(PClassInfoW, classFlags), 180u);
	EXPECT_EQ(offsetof(PClassInfoW, subCategories), 184u);
	EXPECT_EQ(offsetof(PClassInfoW, vendor), 312u);
	EXPECT_EQ(offsetof(PClassInfoW, version), 440u);
	EXPECT_EQ(offsetof(PClassInfoW, sdkVersion), 568u);

	EXPECT_EQ(sizeof(BusInfo), 276u);
	EXPECT_EQ(alignof(BusInfo), 4u);
	EXPECT_EQ(offsetof(BusInfo, direction), 4u);
	EXPECT_EQ(offsetof(BusInfo, channelCount), 8u);
	EXPECT_EQ(offsetof(BusInfo, name), 12u);
	EXPECT_EQ(offsetof(BusInfo, busType), 268u);
	EXPECT_EQ(offsetof(BusInfo, flags), 272u);

	EXPECT_EQ(sizeof(RoutingInfo), 12u);
	EXPECT_EQ(offsetof(RoutingInfo, busIndex), 4u);
	EXPECT_EQ(offsetof(RoutingInfo, channel), 8u);

	EXPECT_EQ(sizeof(ProcessSetup), 24u);
	EXPECT_EQ(alignof(ProcessSetup), 8u);
	EXPECT_EQ(offsetof(ProcessSetup, symbolicSampleSize), 4u);
	EXPECT_EQ(offsetof(ProcessSetup, maxSamplesPerBlock), 8u);
	EXPECT_EQ(offsetof(ProcessSetup, sampleRate), 16u);

	EXPECT_EQ(sizeof(AudioBusBuffers), 24u);
	EXPECT_EQ(offsetof(AudioBusBuffers, silenceFlags), 8u);
	EXPECT_EQ(offsetof(AudioBusBuffers, channelBuffers32), 16u);
	EXPECT_EQ(offsetof(AudioBusBuffers, channelBuffers64), 16u);

	EXPECT_EQ(sizeof(ProcessData), 80u);
	EXPECT_EQ(offsetof(ProcessData, symbolicSampleSize), 4u);
	EXPECT_EQ(offsetof(ProcessData, numSamples), 8u);
	EXPECT_EQ(offsetof(ProcessData, numInputs), 12u);
	EXPECT_EQ(offsetof(ProcessData, numOutputs), 16u);
	EXPECT_EQ(offsetof(ProcessData, inputs), 24u);
	EXPECT_EQ(offsetof(ProcessData, outputs), 32u);
	EXPECT_EQ(offsetof(ProcessData, inputParameterChanges), 40u);
	EXPECT_EQ(offsetof(ProcessData, outputParameterChanges), 48u);
	EXPECT_EQ(offsetof(ProcessData, inputEvents), 56u);
	EXPECT_EQ(offsetof(ProcessData, outputEvents), 64u);
	EXPECT_EQ(offsetof(ProcessData, processContext), 72u);

	EXPECT_EQ(sizeof(ProcessContext), 112u);
	EXPECT_EQ(offsetof(ProcessContext, sampleRate), 8u);
	EXPECT_EQ(offsetof(ProcessContext, projectTimeSamples), 16u);
	EXPECT_EQ(offsetof(ProcessContext, systemTime), 24u);
	EXPECT_EQ(offsetof(ProcessContext, continousTimeSamples), 32u);
	EXPECT_EQ(offsetof(ProcessContext, projectTimeMusic), 40u);
	EXPECT_EQ(offsetof(ProcessContext, barPositionMusic), 48u);
	EXPECT_EQ(offsetof(ProcessContext, cycleStartMusic), 56u);
	EXPECT_EQ(offsetof(ProcessContext, cycleEndMusic), 64u);
	EXPECT_EQ(offsetof(ProcessContext, tempo), 72u);
	EXPECT_EQ(offsetof(ProcessContext, timeSigNumerator), 80u);
	EXPECT_EQ(offsetof(ProcessContext, timeSigDenominator), 84u);
	EXPECT_EQ(offsetof(ProcessContext, chord), 88u);
	EXPECT_EQ(offsetof(ProcessContext, smpteOffsetSubframes), 92u);
	EXPECT_EQ(offsetof(ProcessContext, frameRate), 96u);
	EXPECT_EQ(offsetof(ProcessContext, samplesToNextClock), 104u);
	EXPECT_EQ(sizeof(Chord), 4u);
	EXPECT_EQ(offsetof(Chord, rootNote), 1u);
	EXPECT_EQ(offsetof(Chord, chordMask), 2u);
	EXPECT_EQ(sizeof(FrameRate), 8u);
	EXPECT_EQ(offsetof(FrameRate, flags), 4u);

	EXPECT_EQ(sizeof(ParameterInfo), 792u);
	EXPECT_EQ(alignof(ParameterInfo), 8u);
	EXPECT_EQ(offsetof(ParameterInfo, title), 4u);
	EXPECT_EQ(offsetof(ParameterInfo, shortTitle), 260u);
	EXPECT_EQ(offsetof(ParameterInfo, units), 516u);
	EXPECT_EQ(offsetof(ParameterInfo, stepCount), 772u);
	EXPECT_EQ(offsetof(ParameterInfo, defaultNormalizedValue), 776u);
	EXPECT_EQ(offsetof(ParameterInfo, unitId), 784u);
	EXPECT_EQ(offsetof(ParameterInfo, flags), 788u);

	EXPECT_EQ(sizeof(ViewRect), 16u);
	EXPECT_EQ(offsetof(ViewRect, top), 4u);
	EXPECT_EQ(offsetof(ViewRect, right), 8u);
	EXPECT_EQ(offsetof(ViewRect, bottom), 12u);

	EXPECT_EQ(sizeof(UnitInfo), 268u);
	EXPECT_EQ(offsetof(UnitInfo, parentUnitId), 4u);
	EXPECT_EQ(offsetof(UnitInfo, name), 8u);
	EXPECT_EQ(offsetof(UnitInfo, programListId), 264u);
	EXPECT_EQ(sizeof(ProgramListInfo), 264u);
	EXPECT_EQ(offsetof(ProgramListInfo, name), 4u);
	EXPECT_EQ(offsetof(ProgramListInfo, programCount), 260u);

	EXPECT_EQ(sizeof(Event), 48u);
	EXPECT_EQ(alignof(Event), 8u);
	EXPECT_EQ(offsetof(Event, sampleOffset), 4u);
	EXPECT_EQ(offsetof(Event, ppqPosition), 8u);
	EXPECT_EQ(offsetof(Event, flags), 16u);
	EXPECT_EQ(offsetof(Event, type), 18u);
	EXPECT_EQ(offsetof(Event, noteOn), 24u);
}

TEST(Abi, ConstantsAndStrings)
{
	EXPECT_EQ(kNoInterface, -1);
	EXPECT_EQ(kResultOk, 0);
	EXPECT_EQ(kResultTrue, 0);
	EXPECT_EQ(kResultFalse, 1);
	EXPECT_EQ(kInvalidArgument, 2);
	EXPECT_EQ(kNotImplemented, 3);
	EXPECT_EQ(kInternalError, 4);
	EXPECT_EQ(kNotInitialized, 5);
	EXPECT_EQ(kOutOfMemory, 6);

	EXPECT_EQ(PFactoryInfo::kClassesDiscardable, 1);
	EXPECT_EQ(PFactoryInfo::kLicenseCheck, 2);
	EXPECT_EQ(PFactoryInfo::kComponentNonDiscardable, 8);
	EXPECT_EQ(PFactoryInfo::kUnicode, 16);
	EXPECT_EQ(kDefaultFactoryFlags, 16);
	EXPECT_EQ(PClassInfo::kManyInstances, 0x7FFFFFFF);
	EXPECT_EQ(kDistributable, 1);
	EXPECT_EQ(kSimpleModeSupported, 2);

	EXPECT_EQ(kSample32, 0);
	EXPECT_EQ(kSample64, 1);
	EXPECT_EQ(kRealtime, 0);
	EXPECT_EQ(kPrefetch, 1);
	EXPECT_EQ(kOffline, 2);
	EXPECT_EQ(kNoTail, 0u);
	EXPECT_EQ(kInfiniteTail, 0xFFFFFFFFu);
	EXPECT_EQ(kAudio, 0);
	EXPECT_EQ(kEvent, 1);
	EXPECT_EQ(kInput, 0);
	EXPECT_EQ(kOutput, 1);
	EXPECT_EQ(kMain, 0);
	EXPECT_EQ(kAux, 1);
	EXPECT_EQ(kSimple, 0);
	EXPECT_EQ(kAdvanced, 1);
	EXPECT_EQ(kOfflineProcessing, 2);
	EXPECT_EQ(BusInfo::kDefaultActive, 1);
	EXPECT_EQ(BusInfo::kIsControlVoltage, 2);
	EXPECT_EQ(IBStream::kIBSeekSet, 0);
	EXPECT_EQ(IBStream::kIBSeekCur, 1);
	EXPECT_EQ(IBStream::kIBSeekEnd, 2);

	EXPECT_EQ(ParameterInfo::kCanAutomate, 0x1);
	EXPECT_EQ(ParameterInfo::kIsReadOnly, 0x2);
	EXPECT_EQ(ParameterInfo::kIsWrapAround, 0x4);
	EXPECT_EQ(ParameterInfo::kIsList, 0x8);
	EXPECT_EQ(ParameterInfo::kIsHidden, 0x10);
	EXPECT_EQ(ParameterInfo::kIsProgramChange, 0x8000);
	EXPECT_EQ(ParameterInfo::kIsBypass, 0x10000);
	EXPECT_EQ(kRootUnitId, 0);
	EXPECT_EQ(kNoParentUnitId, -1);
	EXPECT_EQ(kNoProgramListId, -1);
	EXPECT_EQ(kCircularMode, 0);
	EXPECT_EQ(kRelativCircularMode, 1);
	EXPECT_EQ(kLinearMode, 2);

	const int32 restart[] = {kReloadComponent,         kIoChanged,          kParamValuesChanged,
	                         kLatencyChanged,          kParamTitlesChanged, kMidiCCAssignmentChanged,
	                         kNoteExpressionChanged,   kIoTitlesChanged,    kPrefetchableSupportChanged,
	                         kRoutingInfoChanged,      kKeyswitchChanged};
	for (int32 bit = 0; bit < 11; ++bit)
		EXPECT_EQ(restart[bit], 1 << bit);

	const uint32 context[] = {ProcessContext::kPlaying,         ProcessContext::kCycleActive,
	                          ProcessContext::kRecording,       ProcessContext::kSystemTimeValid,
	                          ProcessContext::kProjectTimeMusicValid, ProcessContext::kTempoValid,
	                          ProcessContext::kBarPositionValid, ProcessContext::kCycleValid,
	                          ProcessContext::kTimeSigValid,    ProcessContext::kSmpteValid,
	                          ProcessContext::kClockValid,      ProcessContext::kContTimeValid,
	                          ProcessContext::kChordValid};
	const int contextBits[] = {1, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18};
	for (size_t i = 0; i < 13; ++i)
		EXPECT_EQ(context[i], 1u << contextBits[i]) << i;
	using R = IProcessContextRequirements;
	const int32 needs[] = {R::kNeedSystemTime,          R::kNeedContinousTimeSamples, R::kNeedProjectTimeMusic,
	                       R::kNeedBarPositionMusic,    R::kNeedCycleMusic,           R::kNeedSamplesToNextClock,
	                       R::kNeedTempo,               R::kNeedTimeSignature,        R::kNeedChord,
	                       R::kNeedFrameRate,           R::kNeedTransportState};
	for (int32 bit = 0; bit < 11; ++bit)
		EXPECT_EQ(needs[bit], 1 << bit);

	EXPECT_STREQ(kVstAudioEffectClass, "Audio Module Class");
	EXPECT_STREQ(kVstComponentControllerClass, "Component Controller Class");
	EXPECT_STREQ(kVstVersionString, "VST 3.7.3");
	EXPECT_STREQ(ViewType::kEditor, "editor");
	EXPECT_STREQ(PlugType::kFxReverb, "Fx|Reverb");
	EXPECT_STREQ(kPlatformTypeX11EmbedWindowID, "X11EmbedWindowID");
}

TEST(Abi, SpeakerBitsAndArrangements)
{
	const Speaker speakers[] = {kSpeakerL,   kSpeakerR,   kSpeakerC,   kSpeakerLfe, kSpeakerLs,
	                            kSpeakerRs,  kSpeakerLc,  kSpeakerRc,  kSpeakerS,   kSpeakerSl,
	                            kSpeakerSr,  kSpeakerTc,  kSpeakerTfl, kSpeakerTfc, kSpeakerTfr,
	                            kSpeakerTrl, kSpeakerTrc, kSpeakerTrr, kSpeakerLfe2, kSpeakerM};
	for (int bit = 0; bit < 20; ++bit)
		EXPECT_EQ(speakers[bit], 1ULL << bit) << bit;
	EXPECT_EQ(kSpeakerCs, kSpeakerS);
	EXPECT_EQ(SpeakerArr::kEmpty, 0x0u);
	EXPECT_EQ(SpeakerArr::kMono, 0x80000u);
	EXPECT_EQ(SpeakerArr::kStereo, 0x3u);
	EXPECT_EQ(SpeakerArr::k30Cine, 0x7u);
	EXPECT_EQ(SpeakerArr::k40Music, 0x33u);
	EXPECT_EQ(SpeakerArr::k50, 0x37u);
	EXPECT_EQ(SpeakerArr::k51, 0x3Fu);
	EXPECT_EQ(SpeakerArr::k71Cine, 0xFFu);
	EXPECT_EQ(SpeakerArr::k71Music, 0x63Fu);
	EXPECT_EQ(SpeakerArr::getSpeakerIndex(kSpeakerLs, SpeakerArr::k51), 4);
	EXPECT_EQ(SpeakerArr::getSpeakerIndex(kSpeakerM, SpeakerArr::kStereo), -1);
}
