// The fonts of the controls, and the faces the system has.
#include "hosts/win32/fonts.h"

namespace hosts::win32 {

namespace {

bool FaceInstalled(const char* face) {
    LOGFONTA lf = {};
    lf.lfHeight = -12;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    OwnedFont font(CreateFontIndirectA(&lf));
    if (!font)
        return false;
    ScreenDC dc;
    char chosen[LF_FACESIZE] = {};
    {
        Selected selected(dc.get(), font.get());
        GetTextFaceA(dc.get(), LF_FACESIZE, chosen);
    }
    return lstrcmpiA(chosen, face) == 0;
}

}  // namespace

bool InstalledFaces::Has(const char* face) {
    for (const auto& [name, installed] : faces_)
        if (name == face)
            return installed;
    faces_.emplace_back(face, FaceInstalled(face));
    return faces_.back().second;
}

HFONT Fonts::For(const forms::Font& font, int dpi, InstalledFaces& faces) {
    for (auto& [f, h] : fonts_)
        if (f.face == font.face && f.points == font.points && f.bold == font.bold)
            return h.get();
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(static_cast<int>(font.points * 100.0f + 0.5f), dpi, 7200);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, font.face.c_str(), LF_FACESIZE);
    // MS Sans Serif is a bitmap face made for a few sizes at 96 dpi, where the dialogs use it as
    // designed. On a scaled display it loses its bold and its spacing: there its TrueType twin,
    // which Windows ships for this very purpose, is used where it exists, and otherwise Arial
    // (or what the font mapper puts in its place), an outline face that scales with its bold.
    if (font.face == "MS Sans Serif" && dpi != 96)
        lstrcpynA(lf.lfFaceName,
                  faces.Has("Microsoft Sans Serif") ? "Microsoft Sans Serif" : "Arial",
                  LF_FACESIZE);
    fonts_.emplace_back(font, OwnedFont(CreateFontIndirectA(&lf)));
    return fonts_.back().second.get();
}

}  // namespace hosts::win32
