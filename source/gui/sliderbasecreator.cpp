// Slider attributes of editor descriptions: mode, orientation, reverse-orientation,
// handle-offset, zoom-factor, and the older free-click.
#include "sliderbasecreator.h"

#include "cslider.h"
#include "vstgui/uidescription/uiattributes.h"
#include "vstgui/uidescription/uiviewcreator.h"

namespace VSTGUI {
namespace UIViewCreator {

namespace {
using S = CSliderBase;
}

//------------------------------------------------------------------------
bool SliderBaseCreator::apply (CView* view, const UIAttributes& attributes,
                               const IUIDescription*) const
{
	auto* slider = dynamic_cast<CSliderBase*> (view);
	if (!slider)
		return false;

	if (const auto* value = attributes.getAttributeValue (kAttrFreeClick))
		slider->setSliderMode (*value == "true" ? CSliderMode::FreeClick : CSliderMode::Touch);

	if (const auto* value = attributes.getAttributeValue (kAttrMode))
	{
		const std::string* names = getModeStrings ();
		for (int32_t i = 0; i < kNumSliderModes; ++i)
		{
			if (*value == names[i])
			{
				slider->setSliderMode (static_cast<CSliderMode> (i));
				break;
			}
		}
	}

	CPoint offset (0., 0.);
	if (attributes.getPointAttribute (kAttrHandleOffset, offset))
		slider->setOffsetHandle (offset);

	double zoom;
	if (attributes.getDoubleAttribute (kAttrZoomFactor, zoom))
		slider->setZoomFactor (static_cast<float> (zoom));

	if (const auto* value = attributes.getAttributeValue (kAttrOrientation))
	{
		int32_t style = slider->getStyle () & ~(S::kHorizontal | S::kVertical);
		style |= *value == "vertical" ? S::kVertical : S::kHorizontal;
		slider->setStyle (style);
	}

	if (const auto* value = attributes.getAttributeValue (kAttrReverseOrientation))
	{
		const bool reverse = *value == "true";
		int32_t style = slider->getStyle ();
		if (style & S::kVertical)
		{
			style &= ~(S::kTop | S::kBottom);
			style |= reverse ? S::kTop : S::kBottom;
		}
		else if (style & S::kHorizontal)
		{
			style &= ~(S::kLeft | S::kRight);
			style |= reverse ? S::kRight : S::kLeft;
		}
		slider->setStyle (style);
	}
	return true;
}

//------------------------------------------------------------------------
bool SliderBaseCreator::getAttributeNames (StringList& attributeNames) const
{
	for (auto name : {kAttrMode, kAttrOrientation, kAttrReverseOrientation, kAttrHandleOffset,
	                  kAttrZoomFactor})
		attributeNames.emplace_back (name);
	return true;
}

//------------------------------------------------------------------------
auto SliderBaseCreator::getAttributeType (const std::string& attributeName) const -> AttrType
{
	if (attributeName == kAttrMode || attributeName == kAttrOrientation)
		return kListType;
	if (attributeName == kAttrReverseOrientation)
		return kBooleanType;
	if (attributeName == kAttrHandleOffset)
		return kPointType;
	if (attributeName == kAttrZoomFactor)
		return kFloatType;
	return kUnknownType;
}

//------------------------------------------------------------------------
bool SliderBaseCreator::getAttributeValue (CView* view, const std::string& attributeName,
                                           std::string& stringValue,
                                           const IUIDescription*) const
{
	auto* slider = dynamic_cast<CSliderBase*> (view);
	if (!slider)
		return false;
	const int32_t style = slider->getStyle ();
	if (attributeName == kAttrMode)
	{
		// A stored mode outside the table has no name.
		const std::string* name = getSliderModeName (slider->getSliderMode ());
		if (!name)
			return false;
		stringValue = *name;
		return true;
	}
	if (attributeName == kAttrHandleOffset)
	{
		stringValue = UIAttributes::pointToString (slider->getOffsetHandle ());
		return true;
	}
	if (attributeName == kAttrZoomFactor)
	{
		stringValue = UIAttributes::doubleToString (slider->getZoomFactor (), 6);
		return true;
	}
	if (attributeName == kAttrOrientation)
	{
		stringValue = (style & S::kVertical) ? "vertical" : "horizontal";
		return true;
	}
	if (attributeName == kAttrReverseOrientation)
	{
		const bool reversed = ((style & S::kVertical) && (style & S::kTop)) ||
		                      ((style & S::kHorizontal) && (style & S::kRight));
		stringValue = reversed ? "true" : "false";
		return true;
	}
	return false;
}

//------------------------------------------------------------------------
bool SliderBaseCreator::getPossibleListValues (const std::string& attributeName,
                                               ConstStringPtrList& values) const
{
	if (attributeName == kAttrOrientation)
		return getStandardAttributeListValues (kAttrOrientation, values);
	if (attributeName == kAttrMode)
	{
		const std::string* names = getModeStrings ();
		for (int32_t i = 0; i < kNumSliderModes; ++i)
			values.push_back (&names[i]);
		return true;
	}
	return false;
}

} // namespace UIViewCreator
} // namespace VSTGUI
