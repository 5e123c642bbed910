#pragma once

#include "sliderbasecreator.h"

namespace VSTGUI {
namespace UIViewCreator {

// Makes CSlider views: the slider's own appearance attributes, then the base's.
class SliderCreator : public SliderBaseCreator
{
public:
	UTF8StringPtr getViewName () const override;
	UTF8StringPtr getBaseViewName () const override;
	UTF8StringPtr getDisplayName () const override;
	CView* create (const UIAttributes& attributes,
	               const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes,
	            const IUIDescription* description) const override;
	bool getAttributeNames (StringList& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName,
	                        std::string& stringValue,
	                        const IUIDescription* description) const override;
};

} // namespace UIViewCreator
} // namespace VSTGUI
