// A window described as a tree of numbered layout objects: boxes that line their children up
// horizontally or vertically, tab controls, and the controls themselves. The description is
// toolkit-free; a DynamicWindow (DW_Window.h) builds a real window from it. The layout engine at the
// end measures every object and places it: nothing is positioned by hand.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>
#include <list>

// Object types. Boxes (negative) hold other objects; the rest are controls.
enum DWObjectType : int32_t {
    kDWTypeHBox = -1,
    kDWTypeVBox = -2,
    kDWTypeTabControl = -5,
    kDWTypeTab = -6,
    kDWTypeFill = 1,  // takes the room its box has left over
    kDWTypeSpace = 2,
    kDWTypeButton = 3,
    kDWTypeSmallButton = 4,
    kDWTypeLabel = 5,
    kDWTypeEdit = 6,
    kDWTypeMultiLineEdit = 7,
    kDWTypeCheckBox = 8,
    kDWTypeComboBox = 9,
    kDWTypeProgressBar = 10,
    kDWTypePicture = 11,
    kDWTypeListBox = 12,
};

// Feature bits; their meaning depends on the object's type.
enum : uint16_t {
    kDWButtonAccept = 1,  // the Enter key presses it
    kDWButtonCancel = 2,  // the Escape key presses it; also the "cancelled" answer of a dialog
    kDWButtonCloses = 4,  // a click closes the window after the event has been delivered
    kDWEditPassword = 2,  // the text is masked
    kDWEditReadOnly = 4,  // shown for copying, not for typing
    kDWLabelCentred = 2,
    kDWLabelBold = 8,
    kDWLabelLink = 16,  // drawn as a link; a click is a hyperlinkClick
};

class DWLayoutObject {
public:
    DWLayoutObject() = default;
    DWLayoutObject(int32_t type, int32_t objectID);
    virtual ~DWLayoutObject() = default;
    DWLayoutObject(const DWLayoutObject&) = default;
    DWLayoutObject& operator=(const DWLayoutObject&) = default;

    virtual void setType(int32_t v) { mType = v; }
    virtual int32_t type() const { return mType; }
    virtual void setObjectID(int32_t v) { mObjectID = v; }
    virtual int32_t objectID() const { return mObjectID; }
    virtual ucstring& mutableUserName() { return mUserName; }
    virtual const ucstring& userName() const { return mUserName; }
    virtual void setUserData(int64_t v) { mUserData = v; }
    virtual int64_t userData() const { return mUserData; }
    virtual ucstring& mutableText() { return mText; }
    virtual const ucstring& text() const { return mText; }
    // Check box 0/1, progress, selected combo/list/tab index (-1 none).
    virtual void setValue(int64_t v) { mValue = v; }
    virtual int64_t value() const { return mValue; }
    virtual void setMinValue(int64_t v) { mMinValue = v; }
    virtual int64_t minValue() const { return mMinValue; }
    virtual void setMaxValue(int64_t v) { mMaxValue = v; }
    virtual int64_t maxValue() const { return mMaxValue; }
    virtual void setFeatures(uint16_t v) { mFeatures = v; }
    virtual uint16_t features() const { return mFeatures; }
    virtual ucstringlist& mutableItems() { return mItems; }
    virtual const ucstringlist& items() const { return mItems; }
    virtual void setEnabled(bool v) { mEnabled = v; }
    virtual bool enabled() const { return mEnabled; }
    // An invisible object keeps its room; a collapsed one (below) takes none.
    virtual void setVisible(bool v) { mVisible = v; }
    virtual bool visible() const { return mVisible; }
    // Extra room above and to the left of the object.
    virtual void setTop(int32_t v) { mTop = v; }
    virtual int32_t top() const { return mTop; }
    virtual void setLeft(int32_t v) { mLeft = v; }
    virtual int32_t left() const { return mLeft; }
    // A fixed natural size when above 0.
    virtual void setWidth(int32_t v) { mWidth = v; }
    virtual int32_t width() const { return mWidth; }
    virtual void setHeight(int32_t v) { mHeight = v; }
    virtual int32_t height() const { return mHeight; }
    virtual void setMinWidth(int32_t v) { mMinWidth = v; }
    virtual int32_t minWidth() const { return mMinWidth; }
    virtual void setMinHeight(int32_t v) { mMinHeight = v; }
    virtual int32_t minHeight() const { return mMinHeight; }
    // 0 = no limit; a label wraps its text at its maximum width.
    virtual void setMaxWidth(int32_t v) { mMaxWidth = v; }
    virtual int32_t maxWidth() const { return mMaxWidth; }
    virtual void setMaxHeight(int32_t v) { mMaxHeight = v; }
    virtual int32_t maxHeight() const { return mMaxHeight; }
    // May grow across / down when its box has room to give.
    virtual void setExpandableRight(bool v) { mExpandableRight = v; }
    virtual bool expandableRight() const { return mExpandableRight; }
    virtual void setExpandableDown(bool v) { mExpandableDown = v; }
    virtual bool expandableDown() const { return mExpandableDown; }
    // Kept with the description; boxes decide where objects go.
    virtual void setMoveableRight(bool v) { mMoveableRight = v; }
    virtual bool moveableRight() const { return mMoveableRight; }
    virtual void setMoveableDown(bool v) { mMoveableDown = v; }
    virtual bool moveableDown() const { return mMoveableDown; }
    // For a label: the control it names (terminal prompts use it).
    virtual void setAssociateID(int32_t v) { mAssociateID = v; }
    virtual int32_t associateID() const { return mAssociateID; }
    virtual ucstringlist& mutableContextualMenu() { return mContextualMenu; }
    virtual const ucstringlist& contextualMenu() const { return mContextualMenu; }
    // The tool tip.
    virtual ucstring& mutableHint() { return mHint; }
    virtual const ucstring& hint() const { return mHint; }
    // Keeps its natural size even where its box would stretch it.
    virtual void setSkipExpand(bool v) { mSkipExpand = v; }
    virtual bool skipExpand() const { return mSkipExpand; }
    // Where the layout engine placed it, in window coordinates.
    virtual void setRTop(int32_t v) { mRTop = v; }
    virtual int32_t rTop() const { return mRTop; }
    virtual void setRLeft(int32_t v) { mRLeft = v; }
    virtual int32_t rLeft() const { return mRLeft; }
    virtual void setRWidth(int32_t v) { mRWidth = v; }
    virtual int32_t rWidth() const { return mRWidth; }
    virtual void setRHeight(int32_t v) { mRHeight = v; }
    virtual int32_t rHeight() const { return mRHeight; }
    virtual void setCollapsed(bool v) { mCollapsed = v; }
    virtual bool collapsed() const { return mCollapsed; }
    // The natural size the layout engine measured.
    virtual void setAWidth(int32_t v) { mAWidth = v; }
    virtual int32_t aWidth() const { return mAWidth; }
    virtual void setAHeight(int32_t v) { mAHeight = v; }
    virtual int32_t aHeight() const { return mAHeight; }

    std::list<DWLayoutObject>& mutableChildren() { return mChildren; }
    const std::list<DWLayoutObject>& children() const { return mChildren; }
    bool isContainer() const { return mType < 0; }
    DWLayoutObject* findObject(int32_t objectID);
    const DWLayoutObject* findObject(int32_t objectID) const;

private:
    int32_t mType = 0;
    int32_t mObjectID = 0;
    ucstring mUserName;
    int64_t mUserData = 0;
    ucstring mText;
    int64_t mValue = 0;
    int64_t mMinValue = 0;
    int64_t mMaxValue = 0;
    uint16_t mFeatures = 0;
    ucstringlist mItems;
    bool mEnabled = true;
    bool mVisible = true;
    int32_t mTop = 0;
    int32_t mLeft = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mMinWidth = 0;
    int32_t mMinHeight = 0;
    int32_t mMaxWidth = 0;
    int32_t mMaxHeight = 0;
    bool mExpandableRight = false;
    bool mExpandableDown = false;
    bool mMoveableRight = false;
    bool mMoveableDown = false;
    int32_t mAssociateID = 0;
    ucstringlist mContextualMenu;
    ucstring mHint;
    bool mSkipExpand = false;
    int32_t mRTop = 0;
    int32_t mRLeft = 0;
    int32_t mRWidth = 0;
    int32_t mRHeight = 0;
    bool mCollapsed = false;
    int32_t mAWidth = 0;
    int32_t mAHeight = 0;
    std::list<DWLayoutObject> mChildren;  // a list, so objects keep their addresses while the tree grows
};

class DWLayout {
public:
    DWLayout() = default;
    virtual ~DWLayout() = default;
    DWLayout(const DWLayout&) = default;
    DWLayout& operator=(const DWLayout&) = default;

    virtual DWLayoutObject& mutableLayout() { return mLayout; }
    virtual const DWLayoutObject& layout() const { return mLayout; }
    virtual ucstring& mutableTitle() { return mTitle; }
    virtual const ucstring& title() const { return mTitle; }
    // The window's smallest content size; 0 = its natural size.
    virtual void setWidth(int32_t v) { mWidth = v; }
    virtual int32_t width() const { return mWidth; }
    virtual void setHeight(int32_t v) { mHeight = v; }
    virtual int32_t height() const { return mHeight; }
    // Frames around boxes, to see how a window is put together.
    virtual void setShowBoxLines(bool v) { mShowBoxLines = v; }
    virtual bool showBoxLines() const { return mShowBoxLines; }
    virtual void setResizableRight(bool v) { mResizableRight = v; }
    virtual bool resizableRight() const { return mResizableRight; }
    virtual void setResizableDown(bool v) { mResizableDown = v; }
    virtual bool resizableDown() const { return mResizableDown; }
    virtual void setLiveResize(bool v) { mLiveResize = v; }
    virtual bool liveResize() const { return mLiveResize; }
    // No close box: a click on the title bar's close button is ignored.
    virtual void setHideTitlebarButtons(bool v) { mHideTitlebarButtons = v; }
    virtual bool hideTitlebarButtons() const { return mHideTitlebarButtons; }

    DWLayoutObject* findObject(int32_t objectID) { return mLayout.findObject(objectID); }
    const DWLayoutObject* findObject(int32_t objectID) const { return mLayout.findObject(objectID); }

private:
    DWLayoutObject mLayout;
    ucstring mTitle;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    bool mShowBoxLines = false;
    bool mResizableRight = false;
    bool mResizableDown = false;
    bool mLiveResize = false;
    bool mHideTitlebarButtons = false;
};

// ---- Building a description ------------------------------------------------------------------
// Each builder adds one object under the box (or tab control, for addTab) with the ID `parentID`
// and returns it for further settings; null when the parent is missing or cannot hold it, or the
// ID is already used. Returned pointers stay valid while the layout lives.

// Clears the layout and makes its root box.
DWLayoutObject* setupLayout(DWLayout& layout, int32_t rootID, bool vertical);
DWLayoutObject* addHBox(DWLayout& layout, int32_t parentID, int32_t objectID);
DWLayoutObject* addVBox(DWLayout& layout, int32_t parentID, int32_t objectID);
DWLayoutObject* addFill(DWLayout& layout, int32_t parentID, int32_t objectID);
DWLayoutObject* addSpace(DWLayout& layout, int32_t parentID, int32_t objectID, int32_t width, int32_t height);
DWLayoutObject* addTabControl(DWLayout& layout, int32_t parentID, int32_t objectID);
DWLayoutObject* addTab(DWLayout& layout, int32_t tabControlID, int32_t objectID, const ucstring& title);
DWLayoutObject* addButton(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text,
                          uint16_t features = 0, int32_t minWidth = 0);
DWLayoutObject* addSmallButton(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text,
                               uint16_t features = 0);
DWLayoutObject* addLabel(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text,
                         uint16_t features = 0, int32_t minWidth = 0, int32_t maxWidth = 0);
DWLayoutObject* addEdit(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text,
                        uint16_t features = 0, int32_t minWidth = 0);
DWLayoutObject* addMultiLineEdit(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text,
                                 int32_t minWidth = 0, int32_t minHeight = 0);
DWLayoutObject* addCheckBox(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& text, bool checked);
DWLayoutObject* addComboBox(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstringlist& items,
                            int64_t selected = 0);
DWLayoutObject* addProgressBar(DWLayout& layout, int32_t parentID, int32_t objectID, int64_t value,
                               int32_t minWidth = 0);
// `resourceName` names an image the plug-in carries (DW_Resources.h).
DWLayoutObject* addPicture(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstring& resourceName);
DWLayoutObject* addListBox(DWLayout& layout, int32_t parentID, int32_t objectID, const ucstringlist& items,
                           uint16_t features = 0);

// ---- The layout engine -----------------------------------------------------------------------
// Boxes line their children up with a fixed spacing; a box's leftover room goes to its fills, or
// else shares out among the children that may grow that way; across, a child is stretched when it
// may grow that way, otherwise centred (in a row) or put at the left (in a column). A collapsed
// object, and a box with nothing in it that takes room, takes no room and no spacing. A tab
// control is as large as its largest page. Sizes stay as built when texts change later; only
// collapsing and expanding lay a window out again, and a new text of a label that wraps (one with
// a maximum width).

// What the engine needs from a toolkit: the size of text and images. The rules that turn those
// into control sizes are shared, so every backend lays a window out the same way.
class DWMeasurer {
public:
    virtual ~DWMeasurer() = default;
    // Width and height of text (lines separated by CR or LF); with maxWidth > 0, words wrap there.
    virtual void textSize(const ucstring& text, bool bold, bool small, int32_t maxWidth, int32_t& width,
                          int32_t& height) const = 0;
    // The image's size, or 0 x 0 when there is none.
    virtual void imageSize(const ucstring& resourceName, int32_t& width, int32_t& height) const = 0;
    virtual int32_t lineHeight() const = 0;

    static constexpr int32_t kMargin = 12;      // around the window's content
    static constexpr int32_t kSpacing = 8;      // between neighbours in a box
    static constexpr int32_t kTabHeader = 28;   // the row of tab titles
    static constexpr int32_t kTabPadding = 10;  // inside a tab page
};

// The natural size of an object (and of everything below it) from its content.
void layoutMeasureObject(DWLayoutObject& object, const DWMeasurer& measurer);
// Measures the whole tree and places every object; returns the window's content size, at least
// the layout's width and height and at least `minWidth` x `minHeight`.
void layoutArrange(DWLayout& layout, const DWMeasurer& measurer, int32_t& width, int32_t& height, int32_t minWidth = 0,
                   int32_t minHeight = 0);
// True when the object is on screen: it and every box above it are visible and not collapsed,
// and (unless `honourTabs` is false) every tab above it is the selected one.
bool layoutObjectShown(const DWLayout& layout, int32_t objectID, bool honourTabs = true);
