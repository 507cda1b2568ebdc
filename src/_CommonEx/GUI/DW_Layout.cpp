#include "DW_Layout.h"

#include <algorithm>
#include <vector>

DWLayoutObject::DWLayoutObject(int32_t type, int32_t objectID) : mType(type), mObjectID(objectID) {}

DWLayoutObject* DWLayoutObject::findObject(int32_t objectID) {
    if (mObjectID == objectID) return this;
    for (DWLayoutObject& child : mChildren)
        if (DWLayoutObject* found = child.findObject(objectID)) return found;
    return nullptr;
}

const DWLayoutObject* DWLayoutObject::findObject(int32_t objectID) const {
    return const_cast<DWLayoutObject*>(this)->findObject(objectID);
}

// ---- Builders ----------------------------------------------------------------------------------

namespace {

DWLayoutObject* addObject(DWLayout& layout, int32_t parentID, DWLayoutObject object) {
    DWLayoutObject* parent = layout.findObject(parentID);
    if (!parent || layout.findObject(object.objectID())) return nullptr;
    const bool tab = object.type() == kDWTypeTab;
    if (tab ? parent->type() != kDWTypeTabControl
            : parent->type() != kDWTypeHBox && parent->type() != kDWTypeVBox && parent->type() != kDWTypeTab)
        return nullptr;
    parent->mutableChildren().push_back(std::move(object));
    return &parent->mutableChildren().back();
}

DWLayoutObject makeObject(int32_t type, int32_t objectID, const ucstring& text, bool expandRight, bool expandDown) {
    DWLayoutObject o(type, objectID);
    o.mutableText() = text;
    o.setExpandableRight(expandRight);
    o.setExpandableDown(expandDown);
    return o;
}

}  // namespace

DWLayoutObject* setupLayout(DWLayout& layout, int32_t rootID, bool vertical) {
    layout = DWLayout();
    layout.mutableLayout() = makeObject(vertical ? kDWTypeVBox : kDWTypeHBox, rootID, u"", true, true);
    return &layout.mutableLayout();
}

DWLayoutObject* addHBox(DWLayout& layout, int32_t parentID, int32_t objectID) {
    return addObject(layout, parentID, makeObject(kDWTypeHBox, objectID, u"", true, true));
}

DWLayoutObject* addVBox(DWLayout& layout, int32_t parentID, int32_t objectID) {
    return addObject(layout, parentID, makeObject(kDWTypeVBox, objectID, u"", true, true));
}

DWLayoutObject* addFill(DWLayout& layout, int32_t parentID, int32_t objectID) {
    return addObject(layout, parentID, makeObject(kDWTypeFill, objectID, u"", true, true));
}

DWLayoutObject* addSpace(DWLayout& layout, int32_t parentID, int32_t objectID, int32_t width, int32_t height) {
    DWLayoutObject o = makeObject(kDWTypeSpace, objectID, u"", false, false);
    o.setMinWidth(width);
    o.setMaxWidth(width);
    o.setMinHeight(height);
    o.setMaxHeight(height);
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addTabControl(DWLayout& layout, int32_t parentID, int32_t objectID) {
    return addObject(layout, parentID, makeObject(kDWTypeTabControl, objectID, u"", true, true));
}

DWLayoutObject* addTab(DWLayout& layout, int32_t tabControlID, int32_t objectID, const ucstring& title) {
    return addObject(layout, tabControlID, makeObject(kDWTypeTab, objectID, title, true, true));
}

DWLayoutObject* addButton(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text, uint16_t features,
                          int32_t minWidth) {
    DWLayoutObject o = makeObject(kDWTypeButton, objectID, text, false, false);
    o.setFeatures(features);
    o.setMinWidth(minWidth);
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addSmallButton(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text,
                               uint16_t features) {
    DWLayoutObject o = makeObject(kDWTypeSmallButton, objectID, text, false, false);
    o.setFeatures(features);
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addLabel(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text, uint16_t features,
                         int32_t minWidth, int32_t maxWidth) {
    DWLayoutObject o = makeObject(kDWTypeLabel, objectID, text, true, false);
    o.setFeatures(features);
    o.setMinWidth(minWidth);
    o.setMaxWidth(maxWidth);
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addEdit(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text, uint16_t features,
                        int32_t minWidth) {
    DWLayoutObject o = makeObject(kDWTypeEdit, objectID, text, true, false);
    o.setFeatures(features);
    o.setMinWidth(minWidth);
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addMultiLineEdit(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text,
                                 int32_t minWidth, int32_t minHeight) {
    DWLayoutObject o = makeObject(kDWTypeMultiLineEdit, objectID, text, true, true);
    o.setMinWidth(minWidth);
    o.setMinHeight(minHeight);
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addCheckBox(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text, bool checked) {
    DWLayoutObject o = makeObject(kDWTypeCheckBox, objectID, text, false, false);
    o.setValue(checked ? 1 : 0);
    o.setMaxValue(1);
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addComboBox(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstringlist& items,
                            int64_t selected) {
    DWLayoutObject o = makeObject(kDWTypeComboBox, objectID, u"", true, false);
    o.mutableItems() = items;
    o.setValue(items.empty() ? -1 : selected);
    if (selected >= 0 && static_cast<size_t>(selected) < items.size()) o.mutableText() = items[selected];
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addProgressBar(DWLayout& layout, int32_t parentID, int32_t objectID, int64_t value, int32_t minWidth) {
    DWLayoutObject o = makeObject(kDWTypeProgressBar, objectID, u"", true, false);
    o.setValue(value);
    o.setMaxValue(100);
    o.setMinWidth(minWidth);
    return addObject(layout, parentID, std::move(o));
}

DWLayoutObject* addPicture(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& resourceName) {
    return addObject(layout, parentID, makeObject(kDWTypePicture, objectID, resourceName, false, false));
}

DWLayoutObject* addListBox(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstringlist& items,
                           uint16_t features) {
    DWLayoutObject o = makeObject(kDWTypeListBox, objectID, u"", true, true);
    o.mutableItems() = items;
    o.setValue(-1);
    o.setFeatures(features);
    return addObject(layout, parentID, std::move(o));
}

// ---- Layout engine -----------------------------------------------------------------------------

namespace {

bool isBox(int32_t type) { return type == kDWTypeHBox || type == kDWTypeVBox || type == kDWTypeTab; }

// Whether the object takes part in its box's arrangement (measured already).
bool takesRoom(const DWLayoutObject& o) {
    if (o.collapsed()) return false;
    if (!isBox(o.type())) return true;
    for (const DWLayoutObject& c : o.children())
        if (takesRoom(c)) return true;
    return false;
}

void naturalControlSize(const DWLayoutObject& o, const DWMeasurer& m, int32_t& w, int32_t& h) {
    const int32_t line = m.lineHeight();
    int32_t tw = 0, th = 0;
    switch (o.type()) {
        case kDWTypeLabel:
            if (o.text().empty()) {
                w = 0;
                h = line;
            } else {
                m.textSize(o.text(), o.features() & kDWLabelBold, false, o.maxWidth(), w, h);
            }
            break;
        case kDWTypeButton:
            m.textSize(o.text(), false, false, 0, tw, th);
            w = std::max(tw + 24, 64);
            h = std::max(th, line) + 12;
            break;
        case kDWTypeSmallButton:
            m.textSize(o.text(), false, true, 0, tw, th);
            w = tw + 14;
            h = std::max(th, line) + 4;
            break;
        case kDWTypeEdit:
            w = 160;
            h = line + 10;
            break;
        case kDWTypeMultiLineEdit:
            w = 240;
            h = line * 4 + 10;
            break;
        case kDWTypeCheckBox:
            m.textSize(o.text(), false, false, 0, tw, th);
            w = tw + 28;
            h = std::max(th, line) + 6;
            break;
        case kDWTypeComboBox:
            w = 0;
            for (const ucstring& item : o.items()) {
                m.textSize(item, false, false, 0, tw, th);
                w = std::max(w, tw);
            }
            w = std::max(w + 40, 120);
            h = line + 10;
            break;
        case kDWTypeProgressBar:
            w = 100;
            h = line + 2;
            break;
        case kDWTypePicture: m.imageSize(o.text(), w, h); break;
        case kDWTypeListBox: {
            w = 0;
            for (const ucstring& item : o.items()) {
                m.textSize(item, false, false, 0, tw, th);
                w = std::max(w, tw);
            }
            w = std::max(w + 28, 120);
            const int32_t rows = std::clamp<int32_t>(static_cast<int32_t>(o.items().size()), 4, 10);
            h = rows * (line + 2) + 6;
            break;
        }
        default: w = h = 0; break;  // fills; spaces get their size from their limits
    }
}

void clampSize(const DWLayoutObject& o, int32_t& w, int32_t& h) {
    if (o.width() > 0) w = o.width();
    if (o.height() > 0) h = o.height();
    w = std::max(w, o.minWidth());
    h = std::max(h, o.minHeight());
    if (o.maxWidth() > 0) w = std::min(w, o.maxWidth());
    if (o.maxHeight() > 0) h = std::min(h, o.maxHeight());
}

void zeroPlacement(DWLayoutObject& o, int32_t x, int32_t y) {
    o.setRLeft(x);
    o.setRTop(y);
    o.setRWidth(0);
    o.setRHeight(0);
    for (DWLayoutObject& c : o.mutableChildren()) zeroPlacement(c, x, y);
}

void place(DWLayoutObject& o, int32_t x, int32_t y, int32_t w, int32_t h) {
    o.setRLeft(x);
    o.setRTop(y);
    o.setRWidth(w);
    o.setRHeight(h);
    if (o.type() == kDWTypeTabControl) {
        const int32_t pad = DWMeasurer::kTabPadding;
        for (DWLayoutObject& tab : o.mutableChildren())
            place(tab, x + pad, y + DWMeasurer::kTabHeader + pad, std::max(0, w - 2 * pad),
                  std::max(0, h - DWMeasurer::kTabHeader - 2 * pad));
        return;
    }
    if (!isBox(o.type())) return;

    const bool horizontal = o.type() == kDWTypeHBox;
    std::vector<DWLayoutObject*> shown;
    int32_t natural = 0;
    for (DWLayoutObject& c : o.mutableChildren()) {
        if (!takesRoom(c)) {
            zeroPlacement(c, x, y);
            continue;
        }
        shown.push_back(&c);
        natural += horizontal ? c.aWidth() + c.left() : c.aHeight() + c.top();
    }
    if (shown.empty()) return;
    natural += DWMeasurer::kSpacing * static_cast<int32_t>(shown.size() - 1);

    // Room left over goes to the fills, or else to the objects that may grow that way.
    std::vector<DWLayoutObject*> receivers;
    for (DWLayoutObject* c : shown)
        if (c->type() == kDWTypeFill) receivers.push_back(c);
    if (receivers.empty())
        for (DWLayoutObject* c : shown)
            if (!c->skipExpand() && (horizontal ? c->expandableRight() : c->expandableDown())) receivers.push_back(c);
    const int32_t extra = std::max(0, (horizontal ? w : h) - natural);

    int32_t pos = horizontal ? x : y;
    size_t given = 0;
    for (DWLayoutObject* c : shown) {
        int32_t share = 0;
        if (std::find(receivers.begin(), receivers.end(), c) != receivers.end()) {
            ++given;
            const int32_t n = static_cast<int32_t>(receivers.size());
            share = extra / n + (given == receivers.size() ? extra % n : 0);
        }
        if (horizontal) {
            pos += c->left();
            const int32_t cw = c->aWidth() + share;
            const int32_t room = std::max(0, h - c->top());
            const bool stretch = c->expandableDown() && !c->skipExpand();
            const int32_t ch = stretch ? room : std::min(c->aHeight(), room);
            place(*c, pos, y + c->top() + (room - ch) / 2, cw, ch);
            pos += cw + DWMeasurer::kSpacing;
        } else {
            pos += c->top();
            const int32_t ch = c->aHeight() + share;
            const int32_t room = std::max(0, w - c->left());
            const bool stretch = c->expandableRight() && !c->skipExpand();
            const int32_t cw = stretch ? room : std::min(c->aWidth(), room);
            place(*c, x + c->left(), pos, cw, ch);
            pos += ch + DWMeasurer::kSpacing;
        }
    }
}

bool pathTo(const DWLayoutObject& o, int32_t objectID, std::vector<const DWLayoutObject*>& path) {
    path.push_back(&o);
    if (o.objectID() == objectID) return true;
    for (const DWLayoutObject& c : o.children())
        if (pathTo(c, objectID, path)) return true;
    path.pop_back();
    return false;
}

}  // namespace

void layoutMeasureObject(DWLayoutObject& o, const DWMeasurer& m) {
    int32_t w = 0, h = 0;
    if (o.type() == kDWTypeTabControl) {
        int32_t titles = 0;
        for (DWLayoutObject& tab : o.mutableChildren()) {
            layoutMeasureObject(tab, m);
            w = std::max(w, tab.aWidth());
            h = std::max(h, tab.aHeight());
            int32_t tw = 0, th = 0;
            m.textSize(tab.text(), false, false, 0, tw, th);
            titles += tw + 24;
        }
        w = std::max(w + 2 * DWMeasurer::kTabPadding, titles);
        h += DWMeasurer::kTabHeader + 2 * DWMeasurer::kTabPadding;
    } else if (isBox(o.type())) {
        const bool horizontal = o.type() == kDWTypeHBox;
        int32_t count = 0;
        for (DWLayoutObject& c : o.mutableChildren()) {
            layoutMeasureObject(c, m);
            if (!takesRoom(c)) continue;
            ++count;
            if (horizontal) {
                w += c.aWidth() + c.left();
                h = std::max(h, c.aHeight() + c.top());
            } else {
                h += c.aHeight() + c.top();
                w = std::max(w, c.aWidth() + c.left());
            }
        }
        if (count > 1) (horizontal ? w : h) += DWMeasurer::kSpacing * (count - 1);
    } else {
        naturalControlSize(o, m, w, h);
    }
    clampSize(o, w, h);
    o.setAWidth(w);
    o.setAHeight(h);
}

void layoutArrange(DWLayout& layout, const DWMeasurer& measurer, int32_t& width, int32_t& height, int32_t minWidth,
                   int32_t minHeight) {
    DWLayoutObject& root = layout.mutableLayout();
    layoutMeasureObject(root, measurer);
    const int32_t margin = DWMeasurer::kMargin;
    width = std::max({root.aWidth() + 2 * margin, layout.width(), minWidth});
    height = std::max({root.aHeight() + 2 * margin, layout.height(), minHeight});
    place(root, margin, margin, width - 2 * margin, height - 2 * margin);
}

bool layoutObjectShown(const DWLayout& layout, int32_t objectID, bool honourTabs) {
    std::vector<const DWLayoutObject*> path;
    if (!pathTo(layout.layout(), objectID, path)) return false;
    for (size_t i = 0; i < path.size(); ++i) {
        const DWLayoutObject* o = path[i];
        if (!o->visible() || o->collapsed()) return false;
        if (honourTabs && o->type() == kDWTypeTabControl && i + 1 < path.size()) {
            int64_t index = 0;
            for (const DWLayoutObject& tab : o->children()) {
                if (&tab == path[i + 1]) break;
                ++index;
            }
            if (index != o->value()) return false;
        }
    }
    return true;
}
