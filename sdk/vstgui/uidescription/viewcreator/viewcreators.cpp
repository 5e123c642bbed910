// Creators of the library's views, and their registration with the view factory.
#include "slidercreator.h"

#include "../iuidescription.h"
#include "../uiattributes.h"
#include "../uiviewcreator.h"
#include "../uiviewfactory.h"
#include "../../lib/cviewcontainer.h"
#include "../../lib/controls/cbuttons.h"
#include "../../lib/controls/ctextlabel.h"

namespace VSTGUI {
namespace UIViewCreator {

namespace {

// Largest view side a description may ask for.
constexpr CCoord kMaxViewSide = 16384.;

bool readColor (const UIAttributes& attributes, const char* name,
                const IUIDescription* description, CColor& color)
{
	const auto* value = attributes.getAttributeValue (name);
	return value && description && description->getColor (value->c_str (), color);
}

// A creator of class V whose base class is Base; apply is the class's own.
template <class V>
class Creator : public ViewCreatorAdapter
{
public:
	Creator (UTF8StringPtr name, UTF8StringPtr base) : name (name), base (base) {}
	UTF8StringPtr getViewName () const override { return name; }
	UTF8StringPtr getBaseViewName () const override { return base; }
	CView* create (const UIAttributes&, const IUIDescription*) const override
	{
		return new V (CRect (0., 0., 0., 0.));
	}
	bool apply (CView* view, const UIAttributes& attributes,
	            const IUIDescription* description) const override
	{
		auto* v = dynamic_cast<V*> (view);
		return v && applyTo (*v, attributes, description);
	}

private:
	bool applyTo (V& view, const UIAttributes& attributes, const IUIDescription* description) const;

	UTF8StringPtr name;
	UTF8StringPtr base;
};

//------------------------------------------------------------------------
template <>
bool Creator<CView>::applyTo (CView& view, const UIAttributes& attributes,
                              const IUIDescription* description) const
{
	CRect r (view.getViewSize ());
	CPoint p;
	if (attributes.getPointAttribute (kAttrOrigin, p) && std::abs (p.x) <= kMaxViewSide &&
	    std::abs (p.y) <= kMaxViewSide)
		r.moveTo (p);
	if (attributes.getPointAttribute (kAttrSize, p) && p.x >= 0. && p.y >= 0. &&
	    p.x <= kMaxViewSide && p.y <= kMaxViewSide)
		r.setSize (p);
	view.setViewSize (r);
	view.setMouseableArea (r);

	bool flag;
	if (attributes.getBooleanAttribute (kAttrTransparent, flag))
		view.setTransparency (flag);
	if (attributes.getBooleanAttribute (kAttrMouseEnabled, flag))
		view.setMouseEnabled (flag);
	if (const auto* name = attributes.getAttributeValue (kAttrBitmap))
	{
		if (CBitmap* bitmap = description ? description->getBitmap (name->c_str ()) : nullptr)
			view.setBackground (bitmap);
	}
	return true;
}

//------------------------------------------------------------------------
// CControl is abstract: only its attributes are applied, for the classes based on it.
class ControlCreator : public ViewCreatorAdapter
{
public:
	UTF8StringPtr getViewName () const override { return "CControl"; }
	UTF8StringPtr getBaseViewName () const override { return "CView"; }
	CView* create (const UIAttributes&, const IUIDescription*) const override { return nullptr; }
	bool apply (CView* view, const UIAttributes& attributes,
	            const IUIDescription* description) const override
	{
		auto* control = dynamic_cast<CControl*> (view);
		if (!control)
			return false;
		if (const auto* name = attributes.getAttributeValue (kAttrControlTag))
			control->setTag (description ? description->getTagForName (name->c_str ()) : -1);
		double v;
		if (attributes.getDoubleAttribute (kAttrMinValue, v))
			control->setMin (static_cast<float> (v));
		if (attributes.getDoubleAttribute (kAttrMaxValue, v))
			control->setMax (static_cast<float> (v));
		if (attributes.getDoubleAttribute (kAttrDefaultValue, v))
			control->setDefaultValue (static_cast<float> (v));
		if (attributes.getDoubleAttribute (kAttrWheelIncValue, v))
			control->setWheelInc (static_cast<float> (v));
		control->bounceValue ();
		return true;
	}
};

//------------------------------------------------------------------------
template <>
bool Creator<CViewContainer>::applyTo (CViewContainer& view, const UIAttributes& attributes,
                                       const IUIDescription* description) const
{
	CColor color;
	if (readColor (attributes, kAttrBackgroundColor, description, color))
		view.setBackgroundColor (color);
	return true;
}

//------------------------------------------------------------------------
template <>
bool Creator<CParamDisplay>::applyTo (CParamDisplay& view, const UIAttributes& attributes,
                                      const IUIDescription* description) const
{
	if (const auto* name = attributes.getAttributeValue (kAttrFont))
		view.setFont (description ? description->getFont (name->c_str ()) : nullptr);
	CColor color;
	if (readColor (attributes, kAttrFontColor, description, color))
		view.setFontColor (color);
	if (readColor (attributes, kAttrBackColor, description, color))
		view.setBackColor (color);
	if (const auto* align = attributes.getAttributeValue (kAttrTextAlignment))
	{
		if (*align == "left")
			view.setHoriAlign (kLeftText);
		else if (*align == "center")
			view.setHoriAlign (kCenterText);
		else if (*align == "right")
			view.setHoriAlign (kRightText);
	}
	return true;
}

//------------------------------------------------------------------------
template <>
bool Creator<CTextLabel>::applyTo (CTextLabel& view, const UIAttributes& attributes,
                                   const IUIDescription*) const
{
	if (const auto* title = attributes.getAttributeValue (kAttrTitle))
		view.setText (title->c_str ());
	return true;
}

//------------------------------------------------------------------------
template <>
bool Creator<COnOffButton>::applyTo (COnOffButton&, const UIAttributes&,
                                     const IUIDescription*) const
{
	return true;
}

} // namespace

//------------------------------------------------------------------------
void registerViewCreators ()
{
	// Explicit, because a static library drops objects that only register themselves.
	static const bool registered = [] {
		static const Creator<CView> view ("CView", nullptr);
		static const ControlCreator control;
		static const Creator<CViewContainer> container ("CViewContainer", "CView");
		static const Creator<CParamDisplay> paramDisplay ("CParamDisplay", "CControl");
		static const Creator<CTextLabel> textLabel ("CTextLabel", "CParamDisplay");
		static const Creator<COnOffButton> onOffButton ("COnOffButton", "CControl");
		static const SliderCreator slider;
		for (const IViewCreator* c : std::initializer_list<const IViewCreator*> {
		         &view, &control, &container, &paramDisplay, &textLabel, &onOffButton, &slider})
			UIViewFactory::registerViewCreator (*c);
		return true;
	}();
	(void)registered;
}

} // namespace UIViewCreator
} // namespace VSTGUI
