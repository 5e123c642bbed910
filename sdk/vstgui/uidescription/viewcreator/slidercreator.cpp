#include "slidercreator.h"

#include "cslider.h"
#include "../iuidescription.h"
#include "../uiattributes.h"
#include "../uiviewcreator.h"

namespace VSTGUI {
namespace UIViewCreator {

namespace {

struct DrawStyleFlag
{
	const char* name;
	int32_t bit;
};

const DrawStyleFlag kDrawStyleFlags[] = {
    {kAttrDrawFrame, CSlider::kDrawFrame},
    {kAttrDrawBack, CSlider::kDrawBack},
    {kAttrDrawValue, CSlider::kDrawValue},
    {kAttrDrawValueFromCenter, CSlider::kDrawValueFromCenter},
    {kAttrDrawValueInverted, CSlider::kDrawInverted},
};

struct ColorAttribute
{
	const char* name;
	CColor (CSlider::*get) () const;
	void (CSlider::*set) (const CColor&);
};

const ColorAttribute kColorAttributes[] = {
    {kAttrDrawFrameColor, &CSlider::getFrameColor, &CSlider::setFrameColor},
    {kAttrDrawBackColor, &CSlider::getBackColor, &CSlider::setBackColor},
    {kAttrDrawValueColor, &CSlider::getValueColor, &CSlider::setValueColor},
};

bool readColor (const UIAttributes& attributes, const char* name,
                const IUIDescription* description, CColor& color)
{
	const auto* value = attributes.getAttributeValue (name);
	return value && description && description->getColor (value->c_str (), color);
}

} // namespace

UTF8StringPtr SliderCreator::getViewName () const { return "CSlider"; }
UTF8StringPtr SliderCreator::getBaseViewName () const { return "CControl"; }
UTF8StringPtr SliderCreator::getDisplayName () const { return "Slider"; }

//------------------------------------------------------------------------
CView* SliderCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CSlider (CRect (0., 0., 0., 0.), nullptr, -1, 0, 0, nullptr, nullptr,
	                    CPoint (0., 0.), CSliderBase::kHorizontal | CSliderBase::kLeft);
}

//------------------------------------------------------------------------
bool SliderCreator::apply (CView* view, const UIAttributes& attributes,
                           const IUIDescription* description) const
{
	auto* slider = dynamic_cast<CSlider*> (view);
	if (!slider)
		return false;

	if (const auto* name = attributes.getAttributeValue (kAttrHandleBitmap))
	{
		if (CBitmap* bitmap = description ? description->getBitmap (name->c_str ()) : nullptr)
			slider->setHandle (bitmap);
	}
	CPoint offset;
	if (attributes.getPointAttribute (kAttrBitmapOffset, offset))
		slider->setOffset (offset);

	int32_t drawStyle = slider->getDrawStyle ();
	for (const auto& flag : kDrawStyleFlags)
	{
		if (const auto* value = attributes.getAttributeValue (flag.name))
		{
			if (*value == "true")
				drawStyle |= flag.bit;
			else
				drawStyle &= ~flag.bit;
		}
	}
	slider->setDrawStyle (drawStyle);

	double width;
	if (attributes.getDoubleAttribute (kAttrFrameWidth, width))
		slider->setFrameWidth (width);
	for (const auto& attribute : kColorAttributes)
	{
		CColor color;
		if (readColor (attributes, attribute.name, description, color))
			(slider->*attribute.set) (color);
	}
	return SliderBaseCreator::apply (view, attributes, description);
}

//------------------------------------------------------------------------
bool SliderCreator::getAttributeNames (StringList& attributeNames) const
{
	SliderBaseCreator::getAttributeNames (attributeNames);
	attributeNames.emplace_back (kAttrHandleBitmap);
	attributeNames.emplace_back (kAttrBitmapOffset);
	for (const auto& flag : kDrawStyleFlags)
		attributeNames.emplace_back (flag.name);
	attributeNames.emplace_back (kAttrFrameWidth);
	for (const auto& attribute : kColorAttributes)
		attributeNames.emplace_back (attribute.name);
	return true;
}

//------------------------------------------------------------------------
auto SliderCreator::getAttributeType (const std::string& attributeName) const -> AttrType
{
	if (attributeName == kAttrHandleBitmap)
		return kBitmapType;
	if (attributeName == kAttrBitmapOffset)
		return kPointType;
	for (const auto& flag : kDrawStyleFlags)
	{
		if (attributeName == flag.name)
			return kBooleanType;
	}
	if (attributeName == kAttrFrameWidth)
		return kFloatType;
	for (const auto& attribute : kColorAttributes)
	{
		if (attributeName == attribute.name)
			return kColorType;
	}
	return SliderBaseCreator::getAttributeType (attributeName);
}

//------------------------------------------------------------------------
bool SliderCreator::getAttributeValue (CView* view, const std::string& attributeName,
                                       std::string& stringValue,
                                       const IUIDescription* description) const
{
	auto* slider = dynamic_cast<CSlider*> (view);
	if (!slider)
		return false;
	if (attributeName == kAttrHandleBitmap)
	{
		std::string name;
		if (description && description->lookupBitmapName (slider->getHandle (), name))
			stringValue = name;
		else
			stringValue.clear ();
		return true;
	}
	if (attributeName == kAttrBitmapOffset)
	{
		stringValue = UIAttributes::pointToString (slider->getOffset ());
		return true;
	}
	for (const auto& flag : kDrawStyleFlags)
	{
		if (attributeName == flag.name)
		{
			stringValue = (slider->getDrawStyle () & flag.bit) ? "true" : "false";
			return true;
		}
	}
	if (attributeName == kAttrFrameWidth)
	{
		stringValue = UIAttributes::doubleToString (slider->getFrameWidth ());
		return true;
	}
	for (const auto& attribute : kColorAttributes)
	{
		if (attributeName == attribute.name)
		{
			stringValue = colorToString ((slider->*attribute.get) (), description);
			return true;
		}
	}
	return SliderBaseCreator::getAttributeValue (view, attributeName, stringValue, description);
}

} // namespace UIViewCreator
} // namespace VSTGUI
