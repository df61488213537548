#pragma once

#include "SCC_Convertor.h"
#include "SCC_Event.h"
#include "SCC_Notifier.h"
#include "SCC_Variant.h"

/// Turns a palette colour index into the RGB value (red in the low byte) that the main draw
/// area currently shows for it, so that properties storing colours as palette indices display
/// real colours. When the application changes its palette it calls NotifyPaletteChange(); every
/// live palette convertor then notifies its own listeners with code 4, which makes each property
/// using it report a change.
///
/// Every palette convertor is hooked on the process-wide palette-change event s_Notifier from
/// construction to destruction. Copies are hooked in the same way and take over the model's
/// listeners (the convertor's transfer rule).
///
/// The conversion runs in direction 0 (index to RGB), unlike most convertors, whose forward
/// direction is 1; direction 1 is not supported (see Convert).
class TESSAR_EXPORT UI_PaletteColorConvertor : public SCC_Convertor {
public:
    UI_PaletteColorConvertor();
    /// Hooked on the palette-change event like any palette convertor, and taking over the model's
    /// listeners (see the class comment).
    ///@{
    UI_PaletteColorConvertor(UI_PaletteColorConvertor& model);
    UI_PaletteColorConvertor& operator=(UI_PaletteColorConvertor& model);
    ///@}
    ~UI_PaletteColorConvertor() override;

    /// Notifies the palette-change event with code 4 and a null argument.
    static void NotifyPaletteChange();
    /// The palette hook's reaction: code 4 is passed on to this convertor's listeners with its
    /// data; other codes are ignored. Returns 0.
    int OnEvent(int code, int* data);

    /// Direction 0: value read as an int palette index; the result holds the long RGB value of
    /// UI_DrawArea::GetMainDrawArea()->GetCurrentPaletteColorRGB(index). Without a main draw
    /// area "UI_PaletteColorConvertor: no main draw area" is reported and the result is the
    /// empty variant. Any other direction reports "The code is not implemented. Hollin" and
    /// returns value unchanged. A value that is not a number throws as SCC_Variant's int
    /// conversion does.
    SCC_Variant Convert(SCC_Variant value, int direction) override;

    /// The palette-change event shared by all palette convertors; the library's first
    /// process-wide object.
    static SCC_Notifier s_Notifier;

private:
    void AttachToPalette();

    SCC_ObjectEventHook<UI_PaletteColorConvertor, int> m_paletteHook;
};
