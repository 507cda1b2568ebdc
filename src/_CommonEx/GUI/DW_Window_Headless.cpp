// The headless backend: no screen at all. Windows keep their state for whoever reads it, and modal
// dialogs take the scripted answers, or are cancelled when none is left.
#include "DW_Resources.h"
#include "DW_Window_Private.h"
#include "Orb_Debug.h"

#include <algorithm>

namespace {

int32_t characters(const ucstring& text, size_t from, size_t to) {
    int32_t n = 0;
    for (size_t i = from; i < to; ++i)
        if (text[i] < 0xDC00 || text[i] > 0xDFFF) ++n;  // a surrogate pair is one character
    return n;
}

// Lines of `line` when words wrap at `maxChars` characters (0: no wrapping).
int32_t wrappedLines(const ucstring& line, int32_t maxChars, int32_t& widest) {
    const int32_t total = characters(line, 0, line.size());
    if (maxChars <= 0 || total <= maxChars) {
        widest = std::max(widest, total);
        return 1;
    }
    int32_t lines = 0, current = 0;
    size_t i = 0;
    while (i < line.size()) {
        size_t end = line.find(u' ', i);
        if (end == ucstring::npos) end = line.size();
        int32_t word = characters(line, i, end);
        // A word too long for a line is broken.
        while (word > maxChars) {
            if (current > 0) ++lines, widest = std::max(widest, current), current = 0;
            ++lines;
            widest = std::max(widest, maxChars);
            word -= maxChars;
        }
        const int32_t needed = current == 0 ? word : current + 1 + word;
        if (needed > maxChars && current > 0) {
            ++lines;
            widest = std::max(widest, current);
            current = word;
        } else {
            current = needed;
        }
        i = end + 1;
    }
    if (current > 0 || lines == 0) ++lines, widest = std::max(widest, current);
    return lines;
}

class HeadlessView : public DWView {
public:
    explicit HeadlessView(DynamicWindow& window) : mWindow(window) {}
    bool build() override { return true; }
    void show() override { mCancelTried = false; }
    void hide() override {}
    void objectChanged(int32_t) override {}
    void windowChanged() override {}
    void layoutChanged() override {}
    void focusChanged(int32_t) override {}
    void modalStep() override {
        if (mWindow.hasPendingActions()) return;  // the loop carries them out first
        DWAnswer answer;
        if (dwTakeAnswer(answer)) {
            if (!dwPostAnswer(mWindow, answer)) {
                if (debugMode())
                    debugOutput(__FILE__, __LINE__, u"No button '" + answer.button + u"' to answer; cancelling.");
                dwPostCancel(mWindow);
            }
            return;
        }
        if (mCancelTried) {
            mWindow.dwClose();  // the way out did not close it: nobody is there to try another
            return;
        }
        mCancelTried = true;
        dwPostCancel(mWindow);
    }

private:
    DynamicWindow& mWindow;
    bool mCancelTried = false;
};

class HeadlessBackend : public DWFixedPitchMeasurer {
public:
    DWBackendKind kind() const override { return DWBackendKind::Headless; }
    std::unique_ptr<DWView> createView(DynamicWindow& window) override {
        return std::make_unique<HeadlessView>(window);
    }
    void pump() override {}
};

}  // namespace

void DWFixedPitchMeasurer::textSize(const ucstring& text, bool bold, bool small, int32_t maxWidth, int32_t& width,
                                    int32_t& height) const {
    const int32_t charWidth = small ? kSmallCharWidth : bold ? kBoldCharWidth : kCharWidth;
    const int32_t maxChars = maxWidth > 0 ? std::max(1, maxWidth / charWidth) : 0;
    int32_t lines = 0, widest = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        if (end == ucstring::npos) end = text.size();
        lines += wrappedLines(text.substr(start, end - start), maxChars, widest);
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ++end;
        start = end + 1;
    }
    width = widest * charWidth;
    height = lines * kLineHeight;
}

void DWFixedPitchMeasurer::imageSize(const ucstring& resourceName, int32_t& width, int32_t& height) const {
    if (!dwImageResourceSize(resourceName, width, height)) width = height = 32;
}

std::shared_ptr<DWBackend> dwMakeHeadlessBackend() { return std::make_shared<HeadlessBackend>(); }
