// DynamicWindow on the headless backend: its state, user actions from other threads, modal runs
// with scripted answers.
#include "_CommonEx/GUI/DW_Window.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Writes down every event it receives, with the thread it arrived on.
class Recorder : public DWEvents {
public:
    struct Event {
        std::string what;
        int32_t id;
        int64_t value;
        platform::ThreadId thread;
    };
    void windowShow(DynamicWindow&) override { add("show", 0, 0); }
    bool windowCloseBoxClick(DynamicWindow&) override {
        add("close", 0, 0);
        return allowClose;
    }
    void buttonClick(DynamicWindow&, int32_t id) override { add("button", id, 0); }
    void checkBoxChange(DynamicWindow&, int32_t id, bool checked) override { add("check", id, checked); }
    void comboBoxChange(DynamicWindow&, int32_t id, int64_t index) override { add("combo", id, index); }
    void editChange(DynamicWindow&, int32_t id) override { add("edit", id, 0); }
    void add(const std::string& what, int32_t id, int64_t value) {
        events.push_back({what, id, value, platform::currentThreadId()});
    }
    std::vector<Event> events;
    bool allowClose = true;
};

DWLayout sampleLayout() {
    DWLayout l;
    setupLayout(l, 1, true);
    l.mutableTitle() = u"Sample";
    addLabel(l, 1, 2, u"Hello");
    addEdit(l, 1, 3, u"start");
    addCheckBox(l, 1, 4, u"Check me", false);
    addComboBox(l, 1, 5, {u"zero", u"one", u"two"}, 0);
    addListBox(l, 1, 6, {u"a", u"b", u"c"});
    addHBox(l, 1, 7);
    addFill(l, 7, 8);
    addButton(l, 7, 9, u"Apply", 0);
    addButton(l, 7, 10, u"OK", kDWButtonAccept | kDWButtonCloses);
    addButton(l, 7, 11, u"Cancel", kDWButtonCancel | kDWButtonCloses);
    return l;
}

class DynamicWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        dwSetBackend(DWBackendKind::Headless);
        dwClearAnswers();
        dwSetModalHook({});
    }
    void TearDown() override {
        dwClearAnswers();
        dwSetModalHook({});
    }
    // What another thread does, waited for.
    template <class F>
    static void fromAnotherThread(F f) {
        std::thread t(f);
        t.join();
    }
};

}  // namespace

TEST_F(DynamicWindowTest, HoldsItsStateAndCentresOnTheScreen) {
    DynamicWindow w;
    Recorder r;
    ASSERT_TRUE(w.buildWindow(sampleLayout(), &r));
    EXPECT_FALSE(w.buildWindow(sampleLayout(), &r));  // once only
    EXPECT_TRUE(w.isBuilt());
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(w.backendKind(), DWBackendKind::Headless);
    w.dwShow();
    EXPECT_TRUE(w.isOpen());
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0].what, "show");

    int32_t left, top, width, height;
    w.getWindowBounds(left, top, width, height);
    EXPECT_GT(width, 0);
    EXPECT_EQ(left, (1920 - width) / 2);
    EXPECT_EQ(top, (1080 - height) / 2);
    w.positionWindow(5, -1);
    w.getWindowBounds(left, top, width, height);
    EXPECT_EQ(left, 5);
    EXPECT_EQ(top, (1080 - height) / 2);

    EXPECT_TRUE(w.updateLabelText(2, u"Changed"));
    EXPECT_FALSE(w.updateLabelText(99, u"nowhere"));
    w.updateWindowTitle(u"New title");
    EXPECT_EQ(w.title(), u"New title");
    ucstring text;
    EXPECT_TRUE(w.copyEditText(3, text));
    EXPECT_EQ(text, u"start");
    EXPECT_TRUE(w.updateEditText(3, u"typed"));
    EXPECT_TRUE(w.copyEditText(3, text));
    EXPECT_EQ(text, u"typed");
    EXPECT_TRUE(w.updateLayoutObjectValue(4, 7));  // a check box holds 0 or 1
    int64_t value = -1;
    EXPECT_TRUE(w.getLayoutObjectValue(4, value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(w.disableLayoutObject(9));
    DWLayoutObject o;
    ASSERT_TRUE(w.objectState(9, o));
    EXPECT_FALSE(o.enabled());
    ASSERT_TRUE(w.objectState(2, o));
    EXPECT_EQ(o.text(), u"Changed");
    EXPECT_TRUE(w.updateFocus(3));
    EXPECT_EQ(w.focusedObject(), 3);
    w.dwClose();
    EXPECT_FALSE(w.isOpen());
}

TEST_F(DynamicWindowTest, CombosAndListsKeepTheirSelectionInLine) {
    DynamicWindow w;
    ASSERT_TRUE(w.buildWindow(sampleLayout(), nullptr));
    ucstring text;
    EXPECT_TRUE(w.updateLayoutObjectValue(5, 2));
    EXPECT_TRUE(w.copyComboBoxText(5, text));
    EXPECT_EQ(text, u"two");
    EXPECT_TRUE(w.removeComboBoxItem(5, 0));  // before the selection: it moves up
    int64_t value = 0;
    w.getLayoutObjectValue(5, value);
    EXPECT_EQ(value, 1);
    w.copyComboBoxText(5, text);
    EXPECT_EQ(text, u"two");
    EXPECT_TRUE(w.removeComboBoxItem(5, 1));  // the selected one: the one before is taken
    w.getLayoutObjectValue(5, value);
    EXPECT_EQ(value, 0);
    w.copyComboBoxText(5, text);
    EXPECT_EQ(text, u"one");
    EXPECT_FALSE(w.removeComboBoxItem(5, 5));
    EXPECT_TRUE(w.addComboBoxItem(5, u"three"));
    DWLayoutObject o;
    w.objectState(5, o);
    EXPECT_EQ(o.items(), (ucstringlist{u"one", u"three"}));

    EXPECT_EQ(w.getListBoxItemCount(6), 3);
    EXPECT_EQ(w.getListBoxItemCount(99), -1);
    ucstringlist items;
    EXPECT_TRUE(w.copyListBoxItems(6, items, true));
    EXPECT_TRUE(items.empty());  // nothing selected yet
    w.updateLayoutObjectValue(6, 1);
    w.copyListBoxItems(6, items, true);
    EXPECT_EQ(items, (ucstringlist{u"b"}));
    w.copyListBoxItems(6, items, false);
    EXPECT_EQ(items, (ucstringlist{u"a", u"b", u"c"}));
}

TEST_F(DynamicWindowTest, ActionsFromAnotherThreadArriveWhenTheOwnerPumps) {
    DynamicWindow w;
    Recorder r;
    ASSERT_TRUE(w.buildWindow(sampleLayout(), &r));
    w.dwShow();
    r.events.clear();
    fromAnotherThread([&] {
        w.postCheckBoxChange(4, true);
        w.postEditText(3, u"from far");
        w.postValueChange(5, 2);
        w.postButtonClick(9);
        dwPumpMessages();  // that thread owns no window: nothing is delivered there
    });
    EXPECT_TRUE(r.events.empty());
    EXPECT_TRUE(w.hasPendingActions());
    platform::pumpMessages();  // the framework is the platform's message pump
    ASSERT_EQ(r.events.size(), 4u);
    EXPECT_EQ(r.events[0].what, "check");
    EXPECT_EQ(r.events[0].value, 1);
    EXPECT_EQ(r.events[1].what, "edit");
    EXPECT_EQ(r.events[2].what, "combo");
    EXPECT_EQ(r.events[2].value, 2);
    EXPECT_EQ(r.events[3].what, "button");
    for (const auto& e : r.events) EXPECT_EQ(e.thread, platform::currentThreadId());
    ucstring text;
    w.copyEditText(3, text);
    EXPECT_EQ(text, u"from far");
    w.copyComboBoxText(5, text);
    EXPECT_EQ(text, u"two");
    EXPECT_TRUE(w.isOpen());  // "Apply" does not close
}

TEST_F(DynamicWindowTest, WhatCannotBeReachedCannotBeClicked) {
    DWLayout l = sampleLayout();
    l.findObject(2)->setCollapsed(true);
    DynamicWindow w;
    Recorder r;
    ASSERT_TRUE(w.buildWindow(l, &r));
    w.dwShow();
    r.events.clear();
    w.disableLayoutObject(9);
    w.postButtonClick(9);   // disabled
    w.postButtonClick(2);   // collapsed
    w.postButtonClick(42);  // no such object
    dwPumpMessages();
    EXPECT_TRUE(r.events.empty());
    w.enableLayoutObject(9);
    w.postButtonClick(9);
    w.postButtonClick(10);  // closes after its event
    dwPumpMessages();
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[1].id, 10);
    EXPECT_FALSE(w.isOpen());
}

TEST_F(DynamicWindowTest, CloseBoxAsksTheReceiverAndCanBeHidden) {
    DynamicWindow w;
    Recorder r;
    ASSERT_TRUE(w.buildWindow(sampleLayout(), &r));
    w.dwShow();
    r.allowClose = false;
    w.postCloseBoxClick();
    dwPumpMessages();
    EXPECT_TRUE(w.isOpen());
    EXPECT_EQ(r.events.back().what, "close");
    r.allowClose = true;
    w.postCloseBoxClick();
    dwPumpMessages();
    EXPECT_FALSE(w.isOpen());

    DWLayout noCloseBox = sampleLayout();
    noCloseBox.setHideTitlebarButtons(true);
    DynamicWindow fixed;
    Recorder r2;
    ASSERT_TRUE(fixed.buildWindow(noCloseBox, &r2));
    fixed.dwShow();
    fixed.postCloseBoxClick();
    dwPumpMessages();
    EXPECT_TRUE(fixed.isOpen());
    EXPECT_EQ(r2.events.size(), 1u);  // only the show
}

TEST_F(DynamicWindowTest, ModalRunsTakeScriptedAnswers) {
    dwQueueAnswer({u"apply", u"", false});          // any case; does not close
    dwQueueAnswer({u"10", u"typed answer", true});  // by ID, with a text for the first edit field
    DynamicWindow w;
    Recorder r;
    ASSERT_TRUE(w.buildWindow(sampleLayout(), &r));
    w.dwShow(true);
    EXPECT_FALSE(w.isOpen());
    EXPECT_FALSE(w.isModal());
    std::vector<int32_t> buttons;
    for (const auto& e : r.events)
        if (e.what == "button") buttons.push_back(e.id);
    EXPECT_EQ(buttons, (std::vector<int32_t>{9, 10}));
    ucstring text;
    w.copyEditText(3, text);
    EXPECT_EQ(text, u"typed answer");
    EXPECT_EQ(dwAnswerCount(), 0u);
}

TEST_F(DynamicWindowTest, WithoutAnswersAModalWindowIsCancelled) {
    {
        DynamicWindow w;
        Recorder r;
        ASSERT_TRUE(w.buildWindow(sampleLayout(), &r));
        w.dwShow(true);  // the Escape button
        EXPECT_EQ(r.events.back().what, "button");
        EXPECT_EQ(r.events.back().id, 11);
    }
    {
        DWLayout l;
        setupLayout(l, 1, true);
        addButton(l, 1, 2, u"OK", kDWButtonAccept | kDWButtonCloses);
        DynamicWindow w;
        Recorder r;
        ASSERT_TRUE(w.buildWindow(l, &r));
        w.dwShow(true);  // no Escape button: the close box
        EXPECT_EQ(r.events.back().what, "close");
    }
    {
        // Nothing closes it: nobody is there to try anything else, so it is closed.
        DWLayout l;
        setupLayout(l, 1, true);
        addButton(l, 1, 2, u"Stay", kDWButtonCancel);
        DynamicWindow w;
        Recorder r;
        r.allowClose = false;
        ASSERT_TRUE(w.buildWindow(l, &r));
        w.dwShow(true);
        EXPECT_FALSE(w.isOpen());
    }
    {
        // An answer naming no button cancels too.
        dwQueueAnswer({u"Maybe", u"", false});
        DynamicWindow w;
        Recorder r;
        ASSERT_TRUE(w.buildWindow(sampleLayout(), &r));
        w.dwShow(true);
        EXPECT_EQ(r.events.back().id, 11);
    }
}

TEST_F(DynamicWindowTest, TheModalHookActsOnTheOpenDialog) {
    DynamicWindow w;
    Recorder r;
    ASSERT_TRUE(w.buildWindow(sampleLayout(), &r));
    bool hooked = false;
    dwSetModalHook([&](DynamicWindow& dialog) {
        hooked = true;
        EXPECT_EQ(&dialog, &w);
        EXPECT_TRUE(dialog.isModal());
        dialog.postCheckBoxChange(4, true);
        dialog.postAction({DWUserAction::kAcceptKey, 0, 0, {}, false});  // Enter
    });
    w.dwShow(true);
    EXPECT_TRUE(hooked);
    EXPECT_EQ(r.events.back().id, 10);
    int64_t checked = 0;
    w.getLayoutObjectValue(4, checked);
    EXPECT_EQ(checked, 1);
}

TEST_F(DynamicWindowTest, AnswersFromTheEnvironmentFormat) {
    const auto answers = dwParseAnswers("OK:line one\\nline two\nCancel\n\n  Yes :a:b\\\\c\\x\n");
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0].button, u"OK");
    EXPECT_TRUE(answers[0].hasText);
    EXPECT_EQ(answers[0].text, u"line one\nline two");
    EXPECT_EQ(answers[1].button, u"Cancel");
    EXPECT_FALSE(answers[1].hasText);
    EXPECT_EQ(answers[2].button, u"Yes");
    EXPECT_EQ(answers[2].text, u"a:b\\cx");  // the first colon separates; escapes kept apart
    EXPECT_EQ(dwParseAnswers("OK:\xC3\xA9t\xC3\xA9")[0].text, u"\u00E9t\u00E9");
    EXPECT_EQ(dwParseAnswers("OK:")[0].text, u"");
    EXPECT_TRUE(dwParseAnswers("OK:")[0].hasText);
}

TEST_F(DynamicWindowTest, ButtonLabelsMatchAnswersLoosely) {
    DWLayout l;
    setupLayout(l, 1, true);
    addButton(l, 1, 2, u"&Save...", kDWButtonCloses);
    DynamicWindow w;
    Recorder r;
    ASSERT_TRUE(w.buildWindow(l, &r));
    EXPECT_TRUE(dwPostAnswer(w, {u" save ", u"", false}));
    EXPECT_FALSE(dwPostAnswer(w, {u"sav", u"", false}));
    EXPECT_FALSE(dwPostAnswer(w, {u"", u"", false}));
}
