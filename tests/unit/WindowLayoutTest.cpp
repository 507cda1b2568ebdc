// The layout description and the layout engine, measured with the fixed-pitch metrics of the
// headless backend (7 pixels a character, 17 a line), so every expected place is worked out by hand.
#include "_CommonEx/GUI/DW_Window.h"

#include <gtest/gtest.h>

namespace {

struct Rect {
    int32_t left, top, width, height;
    bool operator==(const Rect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "{" << r.left << "," << r.top << " " << r.width << "x" << r.height << "}";
}

Rect placed(const DWLayout& layout, int32_t id) {
    const DWLayoutObject* o = layout.findObject(id);
    EXPECT_NE(o, nullptr) << id;
    return o ? Rect{o->rLeft(), o->rTop(), o->rWidth(), o->rHeight()} : Rect{};
}

class WindowLayout : public ::testing::Test {
protected:
    void arrange(DWLayout& layout) { layoutArrange(layout, *measurer, width, height); }
    std::shared_ptr<DWBackend> measurer = dwMakeHeadlessBackend();
    int32_t width = 0, height = 0;
};

}  // namespace

TEST_F(WindowLayout, ButtonRowPushedRightByAFill) {
    DWLayout l;
    setupLayout(l, 1, true);
    l.setWidth(400);
    addHBox(l, 1, 2);
    addFill(l, 2, 3);
    addButton(l, 2, 4, u"OK", kDWButtonAccept, 80);
    addButton(l, 2, 5, u"Cancel", kDWButtonCancel, 80);
    arrange(l);
    // 12 margin, buttons 80 wide and 17 + 12 high, 8 between neighbours; the fill takes the rest.
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 29 + 24);
    EXPECT_EQ(placed(l, 3), (Rect{12, 12, 200, 29}));
    EXPECT_EQ(placed(l, 4), (Rect{220, 12, 80, 29}));
    EXPECT_EQ(placed(l, 5), (Rect{308, 12, 80, 29}));
}

TEST_F(WindowLayout, WithoutFillsRoomGoesToWhatMayGrow) {
    DWLayout l;
    setupLayout(l, 1, false);
    l.setWidth(300);
    addLabel(l, 1, 2, u"abc");  // may grow across
    addButton(l, 1, 3, u"Go");  // may not
    addEdit(l, 1, 4, u"", 0, 50)->setSkipExpand(true);
    arrange(l);
    // natural: label 21, button 64, edit 160 (at least 50); 276 - 21 - 64 - 160 - 16 = 15 extra.
    EXPECT_EQ(placed(l, 2).width, 21 + 15);
    EXPECT_EQ(placed(l, 3), (Rect{12 + 36 + 8, 12, 64, 29}));
    EXPECT_EQ(placed(l, 4).width, 160);
    // Across a row, what does not stretch is centred: the label (17 high) in a 29-high row.
    EXPECT_EQ(placed(l, 2).top, 12 + 6);
}

TEST_F(WindowLayout, ColumnsStretchWhatMayGrowAndKeepButtonsAtTheLeft) {
    DWLayout l;
    setupLayout(l, 1, true);
    addLabel(l, 1, 2, u"A fairly long label");  // 19 characters: 133
    addButton(l, 1, 3, u"OK");
    arrange(l);
    EXPECT_EQ(width, 133 + 24);
    EXPECT_EQ(placed(l, 2), (Rect{12, 12, 133, 17}));
    EXPECT_EQ(placed(l, 3), (Rect{12, 12 + 17 + 8, 64, 29}));
}

TEST_F(WindowLayout, LabelsWrapAtTheirMaximumWidth) {
    DWLayout l;
    setupLayout(l, 1, true);
    addLabel(l, 1, 2, u"aaaa bbbb cccc", 0, 0, 70);             // 10 characters a line
    addLabel(l, 1, 3, u"one\rtwo three\r\nfour", 0, 0, 0);      // its own lines, no limit
    addLabel(l, 1, 4, u"abcdefghijklmnopqrstuvwxy", 0, 0, 70);  // a word too long is broken
    arrange(l);
    EXPECT_EQ(l.findObject(2)->aWidth(), 63);  // "aaaa bbbb" / "cccc"
    EXPECT_EQ(l.findObject(2)->aHeight(), 34);
    EXPECT_EQ(l.findObject(3)->aWidth(), 63);  // "two three"
    EXPECT_EQ(l.findObject(3)->aHeight(), 51);
    EXPECT_EQ(l.findObject(4)->aWidth(), 70);
    EXPECT_EQ(l.findObject(4)->aHeight(), 51);
}

TEST_F(WindowLayout, CollapsedObjectsAndEmptyBoxesTakeNoRoom) {
    DWLayout l;
    setupLayout(l, 1, true);
    addLabel(l, 1, 2, u"first");
    addHBox(l, 1, 3);
    addLabel(l, 3, 4, u"inside")->setCollapsed(true);
    addLabel(l, 1, 5, u"last");
    arrange(l);
    EXPECT_EQ(height, 17 + 8 + 17 + 24);
    EXPECT_EQ(placed(l, 5).top, 12 + 17 + 8);
    EXPECT_EQ(placed(l, 4).width, 0);

    l.findObject(4)->setCollapsed(false);
    arrange(l);
    EXPECT_EQ(height, 3 * 17 + 2 * 8 + 24);
    EXPECT_EQ(placed(l, 4).top, 12 + 17 + 8);
}

TEST_F(WindowLayout, MinimumAndFixedSizesWin) {
    DWLayout l;
    setupLayout(l, 1, true);
    addLabel(l, 1, 2, u"", 0, 250);  // empty: no width, one line high
    addSpace(l, 1, 3, 15, 4);
    addProgressBar(l, 1, 4, 0, 150);
    arrange(l);
    EXPECT_EQ(l.findObject(2)->aWidth(), 250);
    EXPECT_EQ(l.findObject(2)->aHeight(), 17);
    EXPECT_EQ(l.findObject(3)->aWidth(), 15);
    EXPECT_EQ(l.findObject(3)->aHeight(), 4);
    EXPECT_EQ(l.findObject(4)->aWidth(), 150);
    EXPECT_EQ(width, 250 + 24);
}

TEST_F(WindowLayout, TabControlsFitTheirLargestPageAndShowOnlyTheSelectedOne) {
    DWLayout l;
    setupLayout(l, 1, true);
    DWLayoutObject* tabs = addTabControl(l, 1, 2);
    addTab(l, 2, 3, u"One");
    addLabel(l, 3, 4, u"short");
    addTab(l, 2, 5, u"Two");
    addLabel(l, 5, 6, u"a much longer text");  // 126
    addLabel(l, 5, 7, u"second line");
    ASSERT_NE(tabs, nullptr);
    arrange(l);
    EXPECT_EQ(tabs->aWidth(), 126 + 20);
    EXPECT_EQ(tabs->aHeight(), 17 + 8 + 17 + 28 + 20);
    // Pages sit below the tab row, inside the padding.
    EXPECT_EQ(placed(l, 3), (Rect{22, 12 + 28 + 10, 126, 42}));
    EXPECT_EQ(placed(l, 5), placed(l, 3));
    EXPECT_TRUE(layoutObjectShown(l, 4));
    EXPECT_FALSE(layoutObjectShown(l, 6));
    EXPECT_TRUE(layoutObjectShown(l, 6, false));
    tabs->setValue(1);
    EXPECT_FALSE(layoutObjectShown(l, 4));
    EXPECT_TRUE(layoutObjectShown(l, 7));
}

TEST_F(WindowLayout, BuildersRefuseWhatCannotBe) {
    DWLayout l;
    setupLayout(l, 10, true);
    ASSERT_NE(addLabel(l, 10, 11, u"x"), nullptr);
    EXPECT_EQ(addLabel(l, 10, 11, u"again"), nullptr);  // ID in use
    EXPECT_EQ(addLabel(l, 10, 10, u"root"), nullptr);
    EXPECT_EQ(addButton(l, 11, 12, u"in a label"), nullptr);
    EXPECT_EQ(addButton(l, 99, 12, u"no parent"), nullptr);
    EXPECT_EQ(addTab(l, 10, 13, u"tab in a box"), nullptr);
    ASSERT_NE(addTabControl(l, 10, 14), nullptr);
    EXPECT_EQ(addLabel(l, 14, 15, u"beside the tabs"), nullptr);
    EXPECT_NE(addTab(l, 14, 15, u"page"), nullptr);
    // Pointers handed out stay good while the tree grows.
    DWLayoutObject* first = l.findObject(11);
    for (int32_t id = 100; id < 140; ++id) addLabel(l, 10, id, u"more");
    EXPECT_EQ(first, l.findObject(11));
    EXPECT_EQ(first->text(), u"x");
    // Type codes of the description.
    EXPECT_EQ(l.layout().type(), -2);
    EXPECT_EQ(l.findObject(14)->type(), -5);
}
