// Description creator of the slider base class: the slider attributes shared by every
// slider creator.
#pragma once

#include "vstgui/uidescription/iviewcreator.h"

namespace VSTGUI {
namespace UIViewCreator {

// Abstract: the view name, base view name and creation are the derived creator's.
class SliderBaseCreator : public ViewCreatorAdapter
{
public:
	bool apply (CView* view, const UIAttributes& attributes,
	            const IUIDescription* description) const override;
	bool getAttributeNames (StringList& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName,
	                        std::string& stringValue,
	                        const IUIDescription* description) const override;
	bool getPossibleListValues (const std::string& attributeName,
	                            ConstStringPtrList& values) const override;
};

} // namespace UIViewCreator
} // namespace VSTGUI
