#pragma once

#include "../lib/vstguifwd.h"
#include <string>

namespace VSTGUI {

// The named resources of an editor description, as creators and controllers see them.
class IUIDescription
{
public:
	virtual ~IUIDescription () noexcept = default;

	// Null when no bitmap has that name.
	virtual CBitmap* getBitmap (UTF8StringPtr name) const = 0;
	virtual CFontRef getFont (UTF8StringPtr name) const = 0;
	// A colour by name, or a "#rrggbb" / "#rrggbbaa" text.
	virtual bool getColor (UTF8StringPtr name, CColor& color) const = 0;
	// The tag of a named control tag, -1 when there is none.
	virtual int32 getTagForName (UTF8StringPtr name) const = 0;

	// Names of resources, for writing attribute values back.
	virtual bool lookupBitmapName (const CBitmap* bitmap, std::string& name) const = 0;
	virtual bool lookupColorName (const CColor& color, std::string& name) const = 0;
};

} // namespace VSTGUI
