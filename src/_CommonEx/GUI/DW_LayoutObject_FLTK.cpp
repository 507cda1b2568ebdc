#include "DW_LayoutObject_FLTK.h"

#include "DW_Resources.h"
#include "DW_Window_Private.h"
#include "_Common/Strings/Orb_String.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Secret_Input.H>
#include <FL/fl_draw.H>

#include <cstring>

namespace {

constexpr int kFontSize = 14;
constexpr int kSmallFontSize = 12;

DWLayoutObject* modelOf(DWFLTKControl& c) { return c.window->lockedObject(c.objectID); }

void post(DWFLTKControl& c, DWUserAction::Kind kind, int64_t value = 0, const ucstring& text = {},
          bool applied = true) {
    DWUserAction a;
    a.kind = kind;
    a.objectID = c.objectID;
    a.value = value;
    a.text = text;
    a.applied = applied;
    c.window->postAction(std::move(a));
}

// Runs inside FLTK's event handling (the UI lock is held): the window's state takes the change at
// once, the receiver hears of it when the owning thread delivers the queued action.
void controlCallback(Fl_Widget* widget, void* data) {
    auto& c = *static_cast<DWFLTKControl*>(data);
    DWLayoutObject* o = modelOf(c);
    if (!o) return;
    switch (c.type) {
        case kDWTypeButton:
        case kDWTypeSmallButton: post(c, DWUserAction::kButtonClick); break;
        case kDWTypeLabel: post(c, DWUserAction::kHyperlinkClick); break;
        case kDWTypeCheckBox: {
            const int64_t v = static_cast<Fl_Check_Button*>(widget)->value() ? 1 : 0;
            o->setValue(v);
            post(c, DWUserAction::kCheckBoxChange, v);
            break;
        }
        case kDWTypeEdit:
        case kDWTypeMultiLineEdit: {
            const ucstring text = ucstringFromUTF8CStr(static_cast<Fl_Input_*>(widget)->value());
            o->mutableText() = text;
            post(c, DWUserAction::kEditText, 0, text);
            break;
        }
        case kDWTypeComboBox: {
            const int64_t v = static_cast<Fl_Choice*>(widget)->value();
            o->setValue(v);
            o->mutableText() = v >= 0 && static_cast<size_t>(v) < o->items().size() ? o->items()[v] : ucstring();
            post(c, DWUserAction::kValueChange, v);
            break;
        }
        case kDWTypeListBox: {
            auto* browser = static_cast<Fl_Hold_Browser*>(widget);
            const int64_t v = browser->value() - 1;
            if (v != o->value()) {
                o->setValue(v);
                post(c, DWUserAction::kValueChange, v);
            }
            if (Fl::event_clicks() > 0 && v >= 0) post(c, DWUserAction::kListBoxDoubleClick, v);
            break;
        }
        default: break;
    }
}

// Edit fields that also report each key.
template <class Base>
class KeyReportingInput : public Base {
public:
    KeyReportingInput(int x, int y, int w, int h) : Base(x, y, w, h) {}
    int handle(int event) override {
        const int used = Base::handle(event);
        if (event == FL_KEYBOARD && used && this->user_data())
            post(*static_cast<DWFLTKControl*>(this->user_data()), DWUserAction::kKeyPress, Fl::event_key());
        return used;
    }
};

// A label drawn as a link: blue, underlined, with a hand over it.
class LinkLabel : public Fl_Button {
public:
    LinkLabel(int x, int y, int w, int h) : Fl_Button(x, y, w, h) {
        box(FL_NO_BOX);
        labelcolor(fl_rgb_color(0, 70, 200));
        align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
        clear_visible_focus();
    }
    void draw() override {
        draw_label();
        int tw = 0, th = 0;
        fl_font(labelfont(), labelsize());
        fl_measure(label(), tw, th, 0);
        fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
        const int baseline = y() + (h() + fl_height()) / 2 - fl_descent() + 1;
        fl_line(x() + 3, baseline, x() + 3 + tw, baseline);
    }
    int handle(int event) override {
        if (event == FL_ENTER) window()->cursor(FL_CURSOR_HAND);
        if (event == FL_LEAVE) window()->cursor(FL_CURSOR_DEFAULT);
        return Fl_Button::handle(event);
    }
};

void setLabel(Fl_Widget* w, const std::string& text) {
    if (!w->label() || std::strcmp(w->label(), text.c_str()) != 0) {
        w->copy_label(text.c_str());
        w->redraw();
        if (w->parent()) w->parent()->redraw();  // a label without a box leaves its old text behind
    }
}

void rebuildItems(DWFLTKControl& c, const DWLayoutObject& o) {
    if (c.shownItems == o.items() && !c.menu.empty()) return;
    c.shownItems = o.items();
    c.itemTexts.clear();
    for (const ucstring& item : o.items()) c.itemTexts.push_back(dwFLTKText(dwSingleLine(item), true));
    if (c.type == kDWTypeComboBox) {
        c.menu.assign(c.itemTexts.size() + 1, Fl_Menu_Item{});
        for (size_t i = 0; i < c.itemTexts.size(); ++i) c.menu[i].text = c.itemTexts[i].c_str();
        static_cast<Fl_Choice*>(c.widget)->menu(c.menu.data());
    } else {
        auto* browser = static_cast<Fl_Hold_Browser*>(c.widget);
        browser->clear();
        for (const ucstring& item : o.items()) browser->add(ucstringToUTF8String(dwSingleLine(item)).c_str());
        c.menu.assign(1, Fl_Menu_Item{});  // marks the items as built
    }
}

// A one-line label's text, shortened with "..." when it has grown wider than its place (texts
// change after the window is laid out; the window keeps its size).
std::string fittedLabel(Fl_Widget* w, const DWLayoutObject& o) {
    if (o.maxWidth() > 0 || o.text().find_first_of(u"\r\n") != ucstring::npos || (o.features() & kDWLabelLink))
        return dwFLTKText(o.text(), false);
    std::string text = ucstringToUTF8String(o.text());
    fl_font(w->labelfont(), w->labelsize());
    const int room = w->w() - 6;  // FLTK's padding either side
    auto width = [](const std::string& t) {
        int tw = 0, th = 0;
        fl_measure(t.c_str(), tw, th, 0);
        return tw;
    };
    if (room > 0 && width(text) > room) {
        while (!text.empty()) {
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
            if (!text.empty()) text.pop_back();
            if (width(text + "...") <= room) break;
        }
        text += "...";
    }
    return dwFLTKText(ucstringFromUTF8String(text), false);
}

}  // namespace

std::string dwFLTKText(const ucstring& text, bool ampersand) {
    ucstring lines = stringReplaceAll(text, u"\r\n", u"\n");
    std::string out;
    for (char c : ucstringToUTF8String(lines)) {
        if (c == '\r') c = '\n';
        if (c == '@' || (ampersand && c == '&')) out.push_back(c);
        out.push_back(c);
    }
    return out;
}

Fl_Widget* dwFLTKCreateControl(DWFLTKControl& c, const DWLayoutObject& o) {
    const int x = o.rLeft(), y = o.rTop(), w = o.rWidth(), h = o.rHeight();
    Fl_Widget* widget = nullptr;
    switch (o.type()) {
        case kDWTypeLabel:
            if (o.features() & kDWLabelLink) {
                widget = new LinkLabel(x, y, w, h);
            } else {
                auto* box = new Fl_Box(x, y, w, h);
                box->box(FL_NO_BOX);
                const Fl_Align side = (o.features() & kDWLabelCentred) ? FL_ALIGN_CENTER : FL_ALIGN_LEFT;
                // Only a label with a maximum width wraps; others keep to their lines.
                const Fl_Align wrap = o.maxWidth() > 0 ? FL_ALIGN_WRAP : 0;
                box->align(FL_ALIGN_INSIDE | wrap | FL_ALIGN_CLIP | side);
                widget = box;
            }
            widget->labelfont((o.features() & kDWLabelBold) ? FL_HELVETICA_BOLD : FL_HELVETICA);
            break;
        case kDWTypeButton:
        case kDWTypeSmallButton: widget = new Fl_Button(x, y, w, h); break;
        case kDWTypeCheckBox: widget = new Fl_Check_Button(x, y, w, h); break;
        case kDWTypeEdit:
            if (o.features() & kDWEditPassword)
                widget = new KeyReportingInput<Fl_Secret_Input>(x, y, w, h);
            else
                widget = new KeyReportingInput<Fl_Input>(x, y, w, h);
            widget->when(FL_WHEN_CHANGED);
            if (o.features() & kDWEditReadOnly) static_cast<Fl_Input_*>(widget)->readonly(1);
            break;
        case kDWTypeMultiLineEdit:
            widget = new KeyReportingInput<Fl_Multiline_Input>(x, y, w, h);
            widget->when(FL_WHEN_CHANGED);
            break;
        case kDWTypeComboBox: widget = new Fl_Choice(x, y, w, h); break;
        case kDWTypeProgressBar: {
            auto* bar = new Fl_Progress(x, y, w, h);
            bar->selection_color(fl_rgb_color(60, 120, 210));
            widget = bar;
            break;
        }
        case kDWTypePicture: {
            auto* box = new Fl_Box(x, y, w, h);
            const unsigned char* data = nullptr;
            size_t size = 0;
            if (dwImageResource(o.text(), data, size)) {
                c.image = std::make_unique<Fl_PNG_Image>(nullptr, data, static_cast<int>(size));
                box->image(c.image.get());
            }
            widget = box;
            break;
        }
        case kDWTypeListBox: {
            auto* browser = new Fl_Hold_Browser(x, y, w, h);
            browser->format_char(0);  // item texts are shown as they are
            browser->when(FL_WHEN_CHANGED | FL_WHEN_NOT_CHANGED);
            widget = browser;
            break;
        }
        default: return nullptr;
    }
    c.widget = widget;
    c.objectID = o.objectID();
    c.type = o.type();
    c.features = o.features();
    if (o.type() != kDWTypeLabel) widget->labelfont(FL_HELVETICA);
    widget->labelsize(o.type() == kDWTypeSmallButton ? kSmallFontSize : kFontSize);
    if (o.type() != kDWTypeLabel || (o.features() & kDWLabelLink)) widget->callback(controlCallback, &c);
    widget->user_data(&c);
    dwFLTKPlaceControl(c, o);
    return widget;
}

void dwFLTKPlaceControl(DWFLTKControl& c, const DWLayoutObject& o) {
    if (!c.widget) return;
    int x = o.rLeft(), w = o.rWidth();
    if (c.type == kDWTypeLabel) {
        // FLTK keeps 3 pixels clear on either side of a label's text; the measured width has none.
        x -= 3;
        w += 6;
    }
    if (c.widget->x() != x || c.widget->y() != o.rTop() || c.widget->w() != w || c.widget->h() != o.rHeight())
        c.widget->resize(x, o.rTop(), w, o.rHeight());
}

void dwFLTKUpdateControl(DWFLTKControl& c, const DWLayoutObject& o, bool visible) {
    Fl_Widget* w = c.widget;
    if (!w) return;
    switch (c.type) {
        case kDWTypeLabel: setLabel(w, fittedLabel(w, o)); break;
        case kDWTypeButton:
        case kDWTypeSmallButton: setLabel(w, dwFLTKText(o.text(), true)); break;
        case kDWTypeCheckBox:
            setLabel(w, dwFLTKText(o.text(), true));
            static_cast<Fl_Check_Button*>(w)->value(o.value() ? 1 : 0);
            break;
        case kDWTypeEdit:
        case kDWTypeMultiLineEdit: {
            auto* input = static_cast<Fl_Input_*>(w);
            const std::string text = ucstringToUTF8String(o.text());
            if (std::strcmp(input->value(), text.c_str()) != 0) input->value(text.c_str());
            break;
        }
        case kDWTypeComboBox: {
            rebuildItems(c, o);
            auto* choice = static_cast<Fl_Choice*>(w);
            const int64_t v = o.value();
            if (v >= 0 && static_cast<size_t>(v) < o.items().size()) choice->value(static_cast<int>(v));
            break;
        }
        case kDWTypeListBox: {
            rebuildItems(c, o);
            auto* browser = static_cast<Fl_Hold_Browser*>(w);
            const int64_t v = o.value();
            if (v >= 0 && static_cast<size_t>(v) < o.items().size())
                browser->value(static_cast<int>(v) + 1);
            else
                browser->deselect();
            break;
        }
        case kDWTypeProgressBar: {
            auto* bar = static_cast<Fl_Progress*>(w);
            bar->minimum(static_cast<float>(o.minValue()));
            bar->maximum(static_cast<float>(o.maxValue()));
            // An indeterminate bar (a negative value) shows empty.
            bar->value(static_cast<float>(o.value() < 0 ? o.minValue() : o.value()));
            break;
        }
        default: break;
    }
    const std::string hint = ucstringToUTF8String(o.hint());
    if (hint.empty())
        w->tooltip(nullptr);
    else if (!w->tooltip() || hint != w->tooltip())
        w->copy_tooltip(hint.c_str());
    if (o.enabled() && !w->active()) w->activate();
    if (!o.enabled() && w->active()) w->deactivate();
    if (visible && !w->visible()) w->show();
    if (!visible && w->visible()) w->hide();
}
