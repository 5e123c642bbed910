#pragma once

#include "vstguibase.h"
#include <string>

namespace VSTGUI {

enum CTxtFace : int32
{
	kNormalFace = 0,
	kBoldFace = 1 << 1,
	kItalicFace = 1 << 2,
};

class CFontDesc : public CBaseObject
{
public:
	CFontDesc (UTF8StringPtr name = "sans-serif", double size = 12., int32 style = kNormalFace)
	: name (name ? name : ""), size (size), style (style)
	{
	}

	UTF8StringPtr getName () const { return name.c_str (); }
	double getSize () const { return size; }
	int32 getStyle () const { return style; }
	void setSize (double s) { size = s; }
	void setStyle (int32 s) { style = s; }

private:
	std::string name;
	double size;
	int32 style;
};

enum CHoriTxtAlign
{
	kLeftText = 0,
	kCenterText,
	kRightText,
};

} // namespace VSTGUI
