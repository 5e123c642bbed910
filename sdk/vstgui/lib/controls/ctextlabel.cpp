#include "ctextlabel.h"

namespace VSTGUI {

CTextLabel::CTextLabel (const CRect& size, UTF8StringPtr txt, CBitmap* background)
: CParamDisplay (size, background), text (txt)
{
}

void CTextLabel::setText (const UTF8String& newText)
{
	if (text == newText)
		return;
	text = newText;
	invalid ();
}

} // namespace VSTGUI
