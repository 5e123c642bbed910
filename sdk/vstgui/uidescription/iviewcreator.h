#pragma once

#include "../lib/vstguifwd.h"
#include <list>
#include <string>

namespace VSTGUI {

class UIAttributes;
class IUIDescription;

// Makes one class of view from an editor description node and reads and writes the
// attributes that class adds to its base view class.
class IViewCreator
{
public:
	enum AttrType
	{
		kUnknownType,
		kBooleanType,
		kIntegerType,
		kFloatType,
		kStringType,
		kColorType,
		kFontType,
		kBitmapType,
		kPointType,
		kRectType,
		kTagType,
		kListType,
		kGradientType,
	};
	using StringList = std::list<std::string>;
	using ConstStringPtrList = std::list<const std::string*>;

	virtual ~IViewCreator () noexcept = default;

	virtual UTF8StringPtr getViewName () const = 0;
	// The class whose creator handles the rest of the attributes; null or empty at the root.
	virtual UTF8StringPtr getBaseViewName () const = 0;
	// A new view with one reference for the caller, or null.
	virtual CView* create (const UIAttributes& attributes,
	                       const IUIDescription* description) const = 0;
	// Applies this class's own attributes; false when the view is not of this class.
	virtual bool apply (CView* view, const UIAttributes& attributes,
	                    const IUIDescription* description) const = 0;
	// Appends this class's own attribute names.
	virtual bool getAttributeNames (StringList& attributeNames) const = 0;
	virtual AttrType getAttributeType (const std::string& attributeName) const = 0;
	virtual bool getAttributeValue (CView* view, const std::string& attributeName,
	                                std::string& stringValue,
	                                const IUIDescription* description) const = 0;
	// Appends the values a list attribute may take.
	virtual bool getPossibleListValues (const std::string& attributeName,
	                                    ConstStringPtrList& values) const = 0;
	virtual bool getAttributeValueRange (const std::string& attributeName, double& minValue,
	                                     double& maxValue) const = 0;
	virtual UTF8StringPtr getDisplayName () const = 0;
};

// An IViewCreator for a class that adds no attributes.
class ViewCreatorAdapter : public IViewCreator
{
public:
	bool apply (CView*, const UIAttributes&, const IUIDescription*) const override { return true; }
	bool getAttributeNames (StringList&) const override { return true; }
	AttrType getAttributeType (const std::string&) const override { return kUnknownType; }
	bool getAttributeValue (CView*, const std::string&, std::string&,
	                        const IUIDescription*) const override
	{
		return false;
	}
	bool getPossibleListValues (const std::string&, ConstStringPtrList&) const override
	{
		return false;
	}
	bool getAttributeValueRange (const std::string&, double&, double&) const override
	{
		return false;
	}
	UTF8StringPtr getDisplayName () const override { return getViewName (); }
};

} // namespace VSTGUI
