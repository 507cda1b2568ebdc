// Shared by the window framework's backends; not for the rest of the plug-in.
#pragma once

#include "DW_Window.h"

#include <string>

// Text measured as if every character had the same width: the headless and terminal backends lay
// windows out with it, so their sizes and positions are the same on every machine.
class DWFixedPitchMeasurer : public DWBackend {
public:
    static constexpr int32_t kCharWidth = 7;
    static constexpr int32_t kBoldCharWidth = 8;
    static constexpr int32_t kSmallCharWidth = 6;
    static constexpr int32_t kLineHeight = 17;
    static constexpr int32_t kScreenWidth = 1920;
    static constexpr int32_t kScreenHeight = 1080;

    void textSize(const ucstring& text, bool bold, bool small, int32_t maxWidth, int32_t& width,
                  int32_t& height) const override;
    void imageSize(const ucstring& resourceName, int32_t& width, int32_t& height) const override;
    int32_t lineHeight() const override { return kLineHeight; }
    void workArea(int32_t, int32_t, int32_t& left, int32_t& top, int32_t& width, int32_t& height) const override {
        left = top = 0;
        width = kScreenWidth;
        height = kScreenHeight;
    }
};

// Text of a label or control as one line: line breaks become blanks.
ucstring dwSingleLine(const ucstring& text);
// A button label compared with an answer or typed choice: any case, without "&" and a trailing "...".
ucstring dwButtonKey(const ucstring& label);
// The shown, enabled objects of these types, in the order they appear in the window.
std::vector<const DWLayoutObject*> dwShownObjects(const DWLayout& layout, std::initializer_list<int32_t> types,
                                                  bool enabledOnly = true);
