// Vtable slots of the interfaces, read from pointers to virtual members
// (Itanium ABI: the pointer holds 1 + the slot's byte offset in the vtable).
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
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

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

} // namespace

TEST(Abi, BaseInterfaceSlots)
{
	EXPECT_EQ(0, slot(&FUnknown::queryInterface));
	EXPECT_EQ(2, slot(&FUnknown::release));
	EXPECT_EQ(4, slot(&IPluginBase::terminate));
	EXPECT_EQ(6, slot(&IPluginFactory::createInstance));
	EXPECT_EQ(7, slot(&IPluginFactory2::getClassInfo2));
	EXPECT_EQ(8, slot(&IPluginFactory3::getClassInfoUnicode));
	EXPECT_EQ(9, slot(&IPluginFactory3::setHostContext));
	EXPECT_EQ(3, slot(&IBStream::read));
	EXPECT_EQ(6, slot(&IBStream::tell));
	EXPECT_EQ(4, slot(&ISizeableStream::setStreamSize));
	EXPECT_EQ(3, slot(&IDependent::update));
	EXPECT_EQ(6, slot(&IUpdateHandler::deferUpdates));
}

TEST(Abi, ComponentAndProcessorSlots)
{
	EXPECT_EQ(5, slot(&IComponent::getControllerClassId));
	EXPECT_EQ(7, slot(&IComponent::getBusCount));
	EXPECT_EQ(9, slot(&IComponent::getRoutingInfo));
	EXPECT_EQ(11, slot(&IComponent::setActive));
	EXPECT_EQ(13, slot(&IComponent::getState));
	EXPECT_EQ(3, slot(&IAudioProcessor::setBusArrangements));
	EXPECT_EQ(5, slot(&IAudioProcessor::canProcessSampleSize));
	EXPECT_EQ(7, slot(&IAudioProcessor::setupProcessing));
	EXPECT_EQ(9, slot(&IAudioProcessor::process));
	EXPECT_EQ(10, slot(&IAudioProcessor::getTailSamples));
	EXPECT_EQ(3, slot(&IProcessContextRequirements::getProcessContextRequirements));
	EXPECT_EQ(5, slot(&IConnectionPoint::notify));
	EXPECT_EQ(5, slot(&IMessage::getAttributes));
	EXPECT_EQ(10, slot(&IAttributeList::getBinary));
	EXPECT_EQ(4, slot(&IHostApplication::createInstance));
	EXPECT_EQ(5, slot(&IParameterChanges::addParameterData));
	EXPECT_EQ(6, slot(&IParamValueQueue::addPoint));
	EXPECT_EQ(5, slot(&IEventList::addEvent));
}

TEST(Abi, ControllerAndViewSlots)
{
	EXPECT_EQ(5, slot(&IEditController::setComponentState));
	EXPECT_EQ(10, slot(&IEditController::getParamStringByValue));
	EXPECT_EQ(15, slot(&IEditController::setParamNormalized));
	EXPECT_EQ(17, slot(&IEditController::createView));
	EXPECT_EQ(5, slot(&IEditController2::openAboutBox));
	EXPECT_EQ(6, slot(&IComponentHandler::restartComponent));
	EXPECT_EQ(6, slot(&IComponentHandler2::finishGroupEdit));
	EXPECT_EQ(14, slot(&IUnitInfo::setUnitProgramData));
	EXPECT_EQ(11, slot(&IUnitInfo::getSelectedUnit));
	EXPECT_EQ(3, slot(&IPlugView::isPlatformTypeSupported));
	EXPECT_EQ(8, slot(&IPlugView::onKeyUp));
	EXPECT_EQ(12, slot(&IPlugView::setFrame));
	EXPECT_EQ(14, slot(&IPlugView::checkSizeConstraint));
	EXPECT_EQ(3, slot(&IPlugFrame::resizeView));
	EXPECT_EQ(3, slot(&IPlugViewContentScaleSupport::setContentScaleFactor));
	EXPECT_EQ(6, slot(&Linux::IRunLoop::unregisterTimer));
	EXPECT_EQ(3, slot(&Linux::IEventHandler::onFDIsSet));
	EXPECT_EQ(3, slot(&Linux::ITimerHandler::onTimer));
}

TEST(Abi, IdentifiersMatchTheirWords)
{
	char8 text[33];
	IEditController::iid.toString(text);
	EXPECT_STREQ("DCD7BBE37742448DA874AACC979C759E", text);
	IPluginFactory3::iid.toString(text);
	EXPECT_STREQ("4555A2ABC1234E579B12291036878931", text);
	FUnknown::iid.toString(text);
	EXPECT_STREQ("0000000000000000C000000000000046", text);
	Linux::IRunLoop::iid.toString(text);
	EXPECT_STREQ("18C3536697764F1A9C5B83857A871389", text);
}
