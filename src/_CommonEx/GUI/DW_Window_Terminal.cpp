// The terminal backend. A window that is not modal (the status window) is one live line at the
// bottom of the terminal, kept there by a scroll region so other output scrolls above it; its
// enabled buttons are shown in brackets and pressed by typing their label (or its start) and Enter
// (unless standard input is the terminal: then what is typed is the program's). A line wider than
// the terminal shortens its texts, never its buttons.
// A modal dialog is asked on the terminal: its texts, then each edit field (masked for passwords),
// each check box, and the button, chosen by number or label. Scripted answers come first.
#include "DW_Window_Private.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Terminal.h>

#include <algorithm>
#include <iterator>

namespace {

using UILock = std::lock_guard<std::recursive_mutex>;

std::string utf8(const ucstring& text) { return ucstringToUTF8String(text); }

std::string progressBar(const DWLayoutObject& o) {
    constexpr int kCells = 20;
    if (o.value() < 0) return "[" + std::string(kCells, '~') + "]";
    const int64_t range = std::max<int64_t>(1, o.maxValue() - o.minValue());
    const int64_t done = std::clamp<int64_t>((o.value() - o.minValue()) * kCells / range, 0, kCells);
    return "[" + std::string(static_cast<size_t>(done), '#') + std::string(static_cast<size_t>(kCells - done), '.') +
           "]";
}

// One piece of the live line; texts may be shortened to fit, the rest is kept whole.
struct LinePart {
    std::string text;
    bool shortenable = false;
    bool progress = false;
};

void composeLine(const DWLayout& layout, const DWLayoutObject& o, std::vector<LinePart>& parts) {
    if (layoutObjectShown(layout, o.objectID())) {
        switch (o.type()) {
            case kDWTypeLabel:
            case kDWTypeEdit:
                if (!o.text().empty()) parts.push_back({utf8(dwSingleLine(o.text())), true});
                break;
            case kDWTypeProgressBar: parts.push_back({progressBar(o), false, true}); break;
            case kDWTypeButton:
            case kDWTypeSmallButton:
                parts.push_back({(o.enabled() ? "[" : "(") + utf8(o.text()) + (o.enabled() ? "]" : ")")});
                break;
            case kDWTypeCheckBox: parts.push_back({(o.value() ? "[x] " : "[ ] ") + utf8(o.text())}); break;
            default: break;
        }
    }
    for (const DWLayoutObject& c : o.children()) composeLine(layout, c, parts);
}

// Characters of UTF-8 text.
int columnsOf(const std::string& text) {
    int count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

// At most `columns` characters of UTF-8 text.
std::string fitColumns(const std::string& text, int columns) {
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++count > columns) return text.substr(0, i);
    }
    return text;
}

std::string joinParts(const std::vector<LinePart>& parts) {
    std::string line;
    for (const LinePart& p : parts) line += (line.empty() ? "" : "  ") + p.text;
    return line;
}

// The parts as one line of at most `columns` characters, the buttons whole while there is room for
// them: without room beside them for the progress bar it goes; then the texts give way, the
// longest first, ending in "..." (a text too short for that goes); what is still too long is cut.
std::string fitLine(std::vector<LinePart> parts, int columns) {
    std::vector<LinePart> fixed;
    std::copy_if(parts.begin(), parts.end(), std::back_inserter(fixed),
                 [](const LinePart& p) { return !p.shortenable; });
    if (columnsOf(joinParts(fixed)) > columns) std::erase_if(parts, [](const LinePart& p) { return p.progress; });
    constexpr int kEllipsis = 3;
    const int excess = columnsOf(joinParts(parts)) - columns;
    if (excess > 0) {
        // The most characters a text may keep so that the line fits; a longer one is cut to it.
        const auto saved = [&](int cap) {
            int n = 0;
            for (const LinePart& p : parts) {
                const int width = columnsOf(p.text);
                if (p.shortenable && width > cap) n += cap > kEllipsis ? width - cap : width + 2;
            }
            return n;
        };
        int cap = 0;
        for (const LinePart& p : parts)
            if (p.shortenable) cap = std::max(cap, columnsOf(p.text));
        while (cap > 0 && saved(cap) < excess) --cap;
        for (LinePart& p : parts)
            if (p.shortenable && columnsOf(p.text) > cap)
                p.text = cap > kEllipsis ? fitColumns(p.text, cap - kEllipsis) + "..." : std::string();
        std::erase_if(parts, [](const LinePart& p) { return p.text.empty(); });
    }
    return fitColumns(joinParts(parts), columns);
}

class TerminalBackend;

class TerminalView : public DWView {
public:
    TerminalView(DynamicWindow& window, TerminalBackend& backend) : mWindow(window), mBackend(backend) {}
    ~TerminalView() override;
    bool build() override { return true; }
    void show() override;
    void hide() override;
    void objectChanged(int32_t) override;
    void windowChanged() override { objectChanged(0); }
    void layoutChanged() override { objectChanged(0); }
    void focusChanged(int32_t) override {}
    void modalStep() override;
    DynamicWindow& window() { return mWindow; }

private:
    void cancel();
    bool askEdits(const DWLayout& layout);
    bool askCheckBoxes(const DWLayout& layout);
    bool askButton(const DWLayout& layout);

    DynamicWindow& mWindow;
    TerminalBackend& mBackend;
    bool mLive = false;
    bool mIntroduced = false;
    bool mCancelTried = false;
};

class TerminalBackend : public DWFixedPitchMeasurer {
public:
    DWBackendKind kind() const override { return DWBackendKind::Terminal; }
    std::unique_ptr<DWView> createView(DynamicWindow& window) override {
        return std::make_unique<TerminalView>(window, *this);
    }

    // The live windows, most recent last; only that one is drawn. All with the UI lock held.
    void beginLive(TerminalView* view) {
        if (mLive.empty()) {
            int columns;
            platform::terminalSize(columns, mRows);
            mRegion = mRows >= 3;
            // Room for the line, then every row above it scrolls on its own.
            if (mRegion) platform::terminalWrite("\n\0337\033[1;" + std::to_string(mRows - 1) + "r\0338\033[1A");
        }
        mLive.push_back(view);
        mDrawn.clear();
        redraw();
    }

    void endLive(TerminalView* view) {
        mLive.erase(std::remove(mLive.begin(), mLive.end(), view), mLive.end());
        if (!mLive.empty()) {
            redraw();
            return;
        }
        if (mRegion)
            platform::terminalWrite("\0337\033[r\033[" + std::to_string(mRows) + ";1H\033[2K\0338");
        else
            platform::terminalWrite("\r\033[2K");
        mDrawn.clear();
    }

    void redraw() {
        if (mLive.empty()) return;
        const DWLayout& layout = mLive.back()->window().lockedLayout();
        std::vector<LinePart> parts;
        composeLine(layout, layout.layout(), parts);
        int columns, rows;
        platform::terminalSize(columns, rows);
        const std::string line = fitLine(std::move(parts), std::max(1, columns - 1));
        if (line == mDrawn) return;  // progress reports arrive far more often than the line changes
        mDrawn = line;
        if (mRegion)
            platform::terminalWrite("\0337\033[" + std::to_string(mRows) + ";1H\033[2K" + line + "\0338");
        else
            platform::terminalWrite("\r\033[2K" + line);
    }

    // A line typed while a live window offers buttons presses the one it names.
    void pump() override {
        DynamicWindow* window = nullptr;
        std::vector<std::pair<ucstring, int32_t>> buttons;
        {
            UILock lock(dwUIMutex());
            if (mLive.empty()) return;
            window = &mLive.back()->window();
            for (const DWLayoutObject* o : dwShownObjects(window->lockedLayout(), {kDWTypeButton, kDWTypeSmallButton}))
                buttons.emplace_back(dwButtonKey(o->text()), o->objectID());
        }
        if (buttons.empty()) return;
        std::string typed;
        if (!platform::terminalPollLine(typed)) return;
        const ucstring key = dwButtonKey(ucstringFromUTF8String(typed));
        if (key.empty()) return;
        for (const auto& [label, id] : buttons) {
            if (stringStartsWith(label, key)) {
                window->postButtonClick(id);
                return;
            }
        }
    }

private:
    std::vector<TerminalView*> mLive;
    std::string mDrawn;
    int mRows = 24;
    bool mRegion = false;
};

TerminalView::~TerminalView() {
    if (mLive) mBackend.endLive(this);
}

void TerminalView::show() {
    if (mWindow.isModal()) {
        mIntroduced = false;
        mCancelTried = false;
        return;
    }
    if (!mLive) {
        mLive = true;
        mBackend.beginLive(this);
    }
}

void TerminalView::hide() {
    if (mLive) {
        mLive = false;
        mBackend.endLive(this);
    }
}

void TerminalView::objectChanged(int32_t) {
    if (mLive) mBackend.redraw();
}

void TerminalView::cancel() {
    mCancelTried = true;
    dwPostCancel(mWindow);
}

void TerminalView::modalStep() {
    if (mWindow.hasPendingActions()) return;
    const DWLayout layout = mWindow.layoutState();
    if (!mIntroduced) {
        mIntroduced = true;
        std::string text = "\n";
        if (!layout.title().empty()) text += "== " + utf8(layout.title()) + " ==\n";
        for (const DWLayoutObject* o : dwShownObjects(layout, {kDWTypeLabel}, false)) {
            if (o->associateID() || o->text().empty()) continue;  // prompts are shown with their control
            ucstring body = o->text();
            stringReplaceAllInPlace(body, u"\r\n", u"\n");
            stringReplaceAllInPlace(body, u"\r", u"\n");
            stringReplaceAllInPlace(body, u"\n", u"\n  ");
            text += "  " + utf8(body) + "\n";
        }
        platform::terminalWrite(text);
    }
    DWAnswer answer;
    if (dwTakeAnswer(answer)) {
        std::string shown = "  > " + utf8(answer.button);
        if (answer.hasText) {
            const auto edits = dwShownObjects(layout, {kDWTypeEdit, kDWTypeMultiLineEdit});
            const bool masked = !edits.empty() && (edits.front()->features() & kDWEditPassword);
            shown += ": " + (masked ? std::string("****") : utf8(answer.text));
        }
        platform::terminalWrite(shown + "\n");
        if (!dwPostAnswer(mWindow, answer)) dwPostCancel(mWindow);
        return;
    }
    if (mCancelTried) {
        mWindow.dwClose();
        return;
    }
    if (!askEdits(layout) || !askCheckBoxes(layout) || !askButton(layout)) cancel();
}

bool TerminalView::askEdits(const DWLayout& layout) {
    for (const DWLayoutObject* o : dwShownObjects(layout, {kDWTypeEdit, kDWTypeMultiLineEdit})) {
        if (o->features() & kDWEditReadOnly) continue;
        const bool masked = o->features() & kDWEditPassword;
        ucstring prompt = masked ? u"Password" : u"Text";
        for (const DWLayoutObject* l : dwShownObjects(layout, {kDWTypeLabel}, false))
            if (l->associateID() == o->objectID()) prompt = dwSingleLine(l->text());
        std::string question = "  " + utf8(stringTrimRight(prompt));
        if (!masked && !o->text().empty()) question += " [" + utf8(dwSingleLine(o->text())) + "]";
        std::string line;
        if (!platform::terminalReadLine(question + (stringEndsWith(question, ":") ? " " : ": "), line, masked))
            return false;
        // An empty answer keeps what the field holds; a password is always what was typed.
        if (masked || !line.empty()) mWindow.postEditText(o->objectID(), ucstringFromUTF8String(line));
    }
    return true;
}

bool TerminalView::askCheckBoxes(const DWLayout& layout) {
    for (const DWLayoutObject* o : dwShownObjects(layout, {kDWTypeCheckBox})) {
        const bool checked = o->value() != 0;
        for (;;) {
            std::string line;
            if (!platform::terminalReadLine(
                    "  " + utf8(dwSingleLine(o->text())) + " (y/n) [" + (checked ? "y" : "n") + "]: ", line, false))
                return false;
            const std::string word = stringNormalize(line);
            if (word.empty()) break;
            if (word == "Y" || word == "YES" || word == "N" || word == "NO") {
                const bool wanted = word[0] == 'Y';
                if (wanted != checked) mWindow.postCheckBoxChange(o->objectID(), wanted);
                break;
            }
        }
    }
    return true;
}

bool TerminalView::askButton(const DWLayout& layout) {
    const auto buttons = dwShownObjects(layout, {kDWTypeButton, kDWTypeSmallButton});
    if (buttons.empty()) return false;
    const DWLayoutObject* fallback = nullptr;
    std::string menu;
    for (size_t i = 0; i < buttons.size(); ++i) {
        menu += "  " + std::to_string(i + 1) + ") " + utf8(buttons[i]->text());
        if (!fallback && (buttons[i]->features() & kDWButtonAccept)) fallback = buttons[i];
    }
    if (fallback) menu += "  [Enter: " + utf8(fallback->text()) + "]";
    for (;;) {
        std::string line;
        if (!platform::terminalReadLine(menu + "\n  Choose: ", line, false)) return false;
        const ucstring typed = ucstringFromUTF8String(line);
        const DWLayoutObject* chosen = nullptr;
        if (stringTrim(typed).empty()) {
            chosen = fallback;
        } else if (stringIsNumeric(typed)) {
            const int64_t n = stringToInteger(typed);
            if (n >= 1 && static_cast<size_t>(n) <= buttons.size()) chosen = buttons[n - 1];
        } else {
            const ucstring key = dwButtonKey(typed);
            for (const DWLayoutObject* b : buttons)
                if (dwButtonKey(b->text()) == key) chosen = b;
            if (!chosen) {
                for (const DWLayoutObject* b : buttons) {
                    if (!stringStartsWith(dwButtonKey(b->text()), key)) continue;
                    if (chosen) {  // the start of more than one label
                        chosen = nullptr;
                        break;
                    }
                    chosen = b;
                }
            }
        }
        if (chosen) {
            mWindow.postButtonClick(chosen->objectID());
            return true;
        }
    }
}

}  // namespace

std::shared_ptr<DWBackend> dwMakeTerminalBackend() { return std::make_shared<TerminalBackend>(); }
